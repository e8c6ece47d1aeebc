#include "engine/model/KestCmdAutoItem.h"

#include "utilities/KestFormatUtil.h"
#include "utilities/KestStringUtil.h"
#include "utilities/KestText.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <string_view>

using namespace KestCmdItemDefs;

namespace {

// A number text as a double: integer texts convert exactly, other decimal texts by correct
// rounding. False if the text is no number. The whole text counts, embedded zero bytes included.
bool read_number(std::string_view text, double& value) {
    if (KestFormatUtil::is_int(text.data(), text.size())) {
        value = std::atoi(std::string(text).c_str());
        return true;
    }
    if (KestFormatUtil::is_double(text.data(), text.size())) {
        value = KestFormatUtil::str_to_double(std::string(text).c_str(), nullptr);
        return true;
    }
    return false;
}

bool is_quoted(const std::string& text) {
    return KestStringUtil::is_quoted_str(text, '"') || KestStringUtil::is_quoted_str(text, '\'');
}

// The 3-vector of an unquoted text of three comma-separated parts: each part that is a number
// gives its component, any other part 0 and clears the flag. Other texts give the zero vector
// and no flag.
bool read_vector(const std::string& text, KestMatrix<3, 1, double>& vector) {
    if (is_quoted(text) || std::count(text.begin(), text.end(), ',') != 2) {
        return false;
    }
    bool all_numbers = true;
    std::size_t begin = 0;
    for (std::size_t i = 0; i < 3; ++i) {
        const std::size_t end = i < 2 ? text.find(',', begin) : text.size();
        double component = 0.0;
        if (!read_number(std::string_view(text).substr(begin, end - begin), component)) {
            all_numbers = false;
        }
        vector[i] = component;
        begin = end + 1;
    }
    return all_numbers;
}

// Whether `text` reads as a LumoList<int> without failure, as its TryRead says, including the
// std::length_error of a list too large to hold. The runs read are only merged into a list when
// they could need merging (they are not ascending and apart, or too many), so typing a common
// list allocates nothing. A read that logged a step warning is repeated so that the warning is
// logged for the trial and the real read, as callers of is_lumo_list followed by
// parse_lumo_list see it.
bool reads_as_lumo_list(const std::string& text) {
    // A list starts with a number, after white space; any other first character fails the read
    // at once, so names and keywords are answered without reading.
    const std::string_view trimmed = KestText::trim(text);
    if (!trimmed.empty() && trimmed.front() != '-' && trimmed.front() != '+' &&
        (trimmed.front() < '0' || trimmed.front() > '9')) {
        return false;
    }
    using Limits = std::numeric_limits<int>;
    thread_local std::vector<LumoRunSet::Run> runs;
    runs.clear();
    const LumoListText::ReadResult result =
        LumoListText::read(text, Limits::min(), Limits::max(), 1, runs);
    if (result.error != LumoListText::ReadResult::none) {
        return false;
    }
    // Merging can only fail by needing more than max_runs runs. It cannot when the runs are
    // ascending and apart (they stay as they are), nor when there are no more values than
    // max_runs (no set needs more runs than values).
    constexpr auto most = static_cast<std::int64_t>(LumoRunSet::max_runs);
    bool apart = runs.size() <= LumoRunSet::max_runs;
    std::int64_t values = 0;
    for (std::size_t i = 0; i < runs.size() && (apart || values <= most); ++i) {
        values += runs[i].count;
        apart = apart && runs[i].count > 0 &&
                (i == 0 || (runs[i - 1].count > 0 && runs[i - 1].last() < runs[i].first));
    }
    if (!apart && values > most) {
        LumoRunSet().insert_all(runs); // throws when the values cannot be held
    }
    if (result.warned) {
        runs.clear();
        LumoListText::read(text, Limits::min(), Limits::max(), 1, runs);
    }
    if (runs.capacity() > 1024) {
        runs = {}; // a huge list's buffer is not kept for the thread's life
    }
    return true;
}

} // namespace

KestCmdAutoItem::KestCmdAutoItem(const std::string& value, const EnumMap& enums)
    : _text(KestText::trim(value)) {
    Set(DT_STRING, true);

    // The whole text counts, embedded zero bytes included; an integer text is also a real.
    if (KestFormatUtil::is_int(_text.data(), _text.size())) {
        Set(DT_INTEGER, true);
        Set(DT_REAL, true);
    } else if (KestFormatUtil::is_double(_text.data(), _text.size())) {
        Set(DT_REAL, true);
    }

    KestMatrix<3, 1, double> vector;
    Set(DT_VECTOR3D, read_vector(_text, vector));

    const auto found = enums.find(value);
    if (found != enums.end()) {
        _enum = found->second;
        Set(DT_ENUM, true);
    }

    Set(DT_LIST, !_text.empty());

    // A malformed list is not an error, only no reading. A quoted text never reads as a list
    // (its quote is no number).
    Set(DT_LUMO_LIST, !is_quoted(_text) && reads_as_lumo_list(_text));
}

KestCmdAutoItem::KestCmdAutoItem(const KestCmdAutoItem& other) = default;
KestCmdAutoItem& KestCmdAutoItem::operator=(const KestCmdAutoItem& other) = default;
KestCmdAutoItem::~KestCmdAutoItem() = default;

void KestCmdAutoItem::Set(DataType type, bool on) {
    const auto bit = static_cast<std::uint16_t>(1u << type);
    _has = static_cast<std::uint16_t>(on ? (_has | bit) : (_has & ~bit));
}

bool KestCmdAutoItem::HasString() const {
    return Has(DT_STRING);
}
std::string KestCmdAutoItem::GetString() const {
    return _text;
}
bool KestCmdAutoItem::HasInteger() const {
    return Has(DT_INTEGER);
}
int KestCmdAutoItem::GetInteger() const {
    return Has(DT_INTEGER) ? std::atoi(_text.c_str()) : 0;
}
bool KestCmdAutoItem::HasReal() const {
    return Has(DT_REAL);
}
double KestCmdAutoItem::GetReal() const {
    if (!Has(DT_REAL)) {
        return 0.0;
    }
    // Correct rounding gives integer texts their exact value too, and keeps the sign of "-0".
    return KestFormatUtil::str_to_double(_text.c_str(), nullptr);
}
bool KestCmdAutoItem::HasVector3d() const {
    return Has(DT_VECTOR3D);
}

KestMatrix<3, 1, double> KestCmdAutoItem::GetVector3d() const {
    KestMatrix<3, 1, double> vector;
    read_vector(_text, vector);
    return vector;
}

bool KestCmdAutoItem::HasEnum() const {
    return Has(DT_ENUM);
}
EnumValue KestCmdAutoItem::GetEnum() const {
    return _enum;
}
bool KestCmdAutoItem::HasList() const {
    return Has(DT_LIST);
}

std::vector<std::string> KestCmdAutoItem::GetList() const {
    std::vector<std::string> parts;
    KestText::split_pieces(_text, parts);
    return parts;
}

bool KestCmdAutoItem::HasLumoList() const {
    return Has(DT_LUMO_LIST);
}

LumoList<int> KestCmdAutoItem::GetLumoList() const {
    LumoList<int> list;
    if (Has(DT_LUMO_LIST)) {
        list.TryRead(_text, false); // read before, warnings included: no second report
    }
    return list;
}

bool KestCmdAutoItem::HasReference() const {
    return Has(DT_REFERENCE) && _reference != nullptr;
}
const KestCmd* KestCmdAutoItem::GetReference() const {
    return _reference;
}

bool KestCmdAutoItem::HasType(DataType type) const {
    return type >= 0 && type < data_type_count && Has(type);
}

void KestCmdAutoItem::AddReference(const KestCmd& target) {
    _reference = &target;
    Set(DT_REFERENCE, true);
}

std::unique_ptr<KestCmdItem> KestCmdAutoItem::Clone() const {
    return std::make_unique<KestCmdAutoItem>(*this);
}
