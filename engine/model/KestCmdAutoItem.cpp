#include "engine/model/KestCmdAutoItem.h"

#include "utilities/KestFormatUtil.h"
#include "utilities/KestStringUtil.h"

#include <cstdlib>

using namespace KestCmdItemDefs;

namespace {

// A number text as a double: integer texts convert exactly, other decimal texts by correct
// rounding. False if the text is no number. The whole text counts, embedded zero bytes included.
bool read_number(const std::string& text, double& value) {
    if (KestFormatUtil::is_int(text.data(), text.size())) {
        value = std::atoi(text.c_str());
        return true;
    }
    if (KestFormatUtil::is_double(text.data(), text.size())) {
        value = KestFormatUtil::str_to_double(text.c_str(), nullptr);
        return true;
    }
    return false;
}

} // namespace

KestCmdAutoItem::KestCmdAutoItem(const std::string& value, const EnumMap& enums) : _text(value) {
    KestStringUtil::Trim(_text);
    _has[DT_STRING] = true;

    if (KestFormatUtil::is_int(_text.data(), _text.size())) {
        _integer = std::atoi(_text.c_str());
        _has[DT_INTEGER] = true;
    }
    _has[DT_REAL] = read_number(_text, _real);

    const bool quoted =
        KestStringUtil::is_quoted_str(_text, '"') || KestStringUtil::is_quoted_str(_text, '\'');
    std::vector<std::string> parts;
    const std::size_t part_count = KestStringUtil::Split(_text, ",", parts);

    if (!quoted && part_count == 3) {
        _has[DT_VECTOR3D] = true;
        for (std::size_t i = 0; i < 3; ++i) {
            double component = 0.0;
            if (!read_number(parts[i], component)) {
                _has[DT_VECTOR3D] = false;
            }
            _vector[i] = component;
        }
    }

    const auto found = enums.find(value);
    if (found != enums.end()) {
        _enum = found->second;
        _has[DT_ENUM] = true;
    }

    if (part_count != 0) {
        _list = std::move(parts);
        for (std::string& element : _list) {
            KestStringUtil::Trim(element);
        }
        _has[DT_LIST] = true;
    }

    // A malformed list is not an error, only no reading. A quoted text never reads as a list
    // (its quote is no number). The list is read once; a read that logged a step warning is
    // repeated so that the warning is logged for the trial and the real read, as callers of
    // is_lumo_list followed by parse_lumo_list see it.
    if (!quoted) {
        const LumoListText::ReadResult result = _lumo_list.TryRead(_text);
        if (result.error == LumoListText::ReadResult::none) {
            if (result.warned) {
                _lumo_list.TryRead(_text);
            }
            _has[DT_LUMO_LIST] = true;
        } else {
            _lumo_list.clear();
        }
    }
}

KestCmdAutoItem::KestCmdAutoItem(const KestCmdAutoItem& other) = default;
KestCmdAutoItem& KestCmdAutoItem::operator=(const KestCmdAutoItem& other) = default;
KestCmdAutoItem::~KestCmdAutoItem() = default;

bool KestCmdAutoItem::HasString() const {
    return _has[DT_STRING];
}
std::string KestCmdAutoItem::GetString() const {
    return _text;
}
bool KestCmdAutoItem::HasInteger() const {
    return _has[DT_INTEGER];
}
int KestCmdAutoItem::GetInteger() const {
    return _integer;
}
bool KestCmdAutoItem::HasReal() const {
    return _has[DT_REAL];
}
double KestCmdAutoItem::GetReal() const {
    return _real;
}
bool KestCmdAutoItem::HasVector3d() const {
    return _has[DT_VECTOR3D];
}
KestMatrix<3, 1, double> KestCmdAutoItem::GetVector3d() const {
    return _vector;
}
bool KestCmdAutoItem::HasEnum() const {
    return _has[DT_ENUM];
}
EnumValue KestCmdAutoItem::GetEnum() const {
    return _enum;
}
bool KestCmdAutoItem::HasList() const {
    return _has[DT_LIST];
}
std::vector<std::string> KestCmdAutoItem::GetList() const {
    return _list;
}
bool KestCmdAutoItem::HasLumoList() const {
    return _has[DT_LUMO_LIST];
}
LumoList<int> KestCmdAutoItem::GetLumoList() const {
    return _lumo_list;
}
bool KestCmdAutoItem::HasReference() const {
    return _has[DT_REFERENCE] && _reference != nullptr;
}
const KestCmd* KestCmdAutoItem::GetReference() const {
    return _reference;
}

bool KestCmdAutoItem::HasType(DataType type) const {
    return type >= 0 && type < data_type_count && _has[static_cast<std::size_t>(type)];
}

void KestCmdAutoItem::AddReference(const KestCmd& target) {
    _reference = &target;
    _has[DT_REFERENCE] = true;
}

std::unique_ptr<KestCmdItem> KestCmdAutoItem::Clone() const {
    return std::make_unique<KestCmdAutoItem>(*this);
}
