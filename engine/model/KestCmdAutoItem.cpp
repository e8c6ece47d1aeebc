#include "engine/model/KestCmdAutoItem.h"

#include "engine/model/detail/KestItemPool.h"
#include "engine/model/detail/PerThread.h"
#include "utilities/KestFormatUtil.h"
#include "utilities/KestStringUtil.h"
#include "utilities/KestText.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
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

static_assert(sizeof(void*) != 8 || sizeof(KestCmdAutoItem) == 32,
              "an auto item takes 32 bytes: jobs hold millions of them");

bool is_quoted(std::string_view text) {
    return KestStringUtil::is_quoted_str(text, '"') || KestStringUtil::is_quoted_str(text, '\'');
}

// The 3-vector of an unquoted text of three comma-separated parts: each part that is a number
// gives its component, any other part 0 and clears the flag. Other texts give the zero vector
// and no flag.
bool read_vector(std::string_view text, KestMatrix<3, 1, double>& vector) {
    if (is_quoted(text) || std::count(text.begin(), text.end(), ',') != 2) {
        return false;
    }
    bool all_numbers = true;
    std::size_t begin = 0;
    for (std::size_t i = 0; i < 3; ++i) {
        const std::size_t end = i < 2 ? text.find(',', begin) : text.size();
        double component = 0.0;
        if (!read_number(text.substr(begin, end - begin), component)) {
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
bool reads_as_lumo_list(std::string_view text) {
    // A list starts with a number, after white space; any other first character fails the read
    // at once, so names and keywords are answered without reading.
    const std::string_view trimmed = KestText::trim(text);
    if (!trimmed.empty() && trimmed.front() != '-' && trimmed.front() != '+' &&
        (trimmed.front() < '0' || trimmed.front() > '9')) {
        return false;
    }
    using Limits = std::numeric_limits<int>;
    std::vector<LumoRunSet::Run>& runs = KestPerThread::object<std::vector<LumoRunSet::Run>>();
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

KestCmdAutoItem::KestCmdAutoItem(const std::string& value, const EnumMap& enums) {
    Keep(KestText::trim(value));
    try {
        const std::string_view text = Text();
        // The whole text counts, embedded zero bytes included; an integer text is also a real.
        if (KestFormatUtil::is_int(text.data(), text.size())) {
            Set(DT_INTEGER);
            Set(DT_REAL);
        } else if (KestFormatUtil::is_double(text.data(), text.size())) {
            Set(DT_REAL);
        }

        KestMatrix<3, 1, double> vector;
        if (read_vector(text, vector)) {
            Set(DT_VECTOR3D);
        }

        const auto found = enums.find(value);
        if (found != enums.end()) {
            _enum = found->second;
            Set(DT_ENUM);
        }

        if (!text.empty()) {
            Set(DT_LIST);
        }

        // A malformed list is not an error, only no reading. A quoted text never reads as a
        // list (its quote is no number).
        if (!is_quoted(text) && reads_as_lumo_list(text)) {
            Set(DT_LUMO_LIST);
        }
    } catch (...) {
        Release(); // the destructor does not run for an item whose constructor threw
        throw;
    }
}

KestCmdAutoItem::KestCmdAutoItem(const KestCmdAutoItem& other)
    : KestCmdItem(other), _reference(other._reference), _readings(other._readings),
      _enum(other._enum) {
    Keep(other.Text());
}

KestCmdAutoItem& KestCmdAutoItem::operator=(const KestCmdAutoItem& other) {
    if (this != &other) {
        KestCmdAutoItem copy(other); // may throw; this item is then unchanged
        Release();
        std::memcpy(_text, copy._text, sizeof _text);
        _near = copy._near;
        copy._near = 0; // the text is this item's now
        _reference = copy._reference;
        _enum = copy._enum;
        _readings = copy._readings;
    }
    return *this;
}

KestCmdAutoItem::~KestCmdAutoItem() {
    Release();
}

void KestCmdAutoItem::Keep(std::string_view text) {
    if (text.size() <= sizeof _text) {
        std::memcpy(_text, text.data(), text.size());
        _near = static_cast<std::uint8_t>(text.size());
        return;
    }
    const std::size_t size = text.size();
    char* bytes =
        static_cast<char*>(KestItemPool::allocate(sizeof size + size, alignof(std::size_t)));
    std::memcpy(bytes, &size, sizeof size);
    std::memcpy(bytes + sizeof size, text.data(), size);
    std::memcpy(_text, &bytes, sizeof bytes);
    _near = far;
}

const char* KestCmdAutoItem::Far() const {
    const char* bytes = nullptr;
    std::memcpy(&bytes, _text, sizeof bytes);
    return bytes;
}

std::size_t KestCmdAutoItem::FarSize() const {
    std::size_t size = 0;
    std::memcpy(&size, Far(), sizeof size);
    return size;
}

void KestCmdAutoItem::Release() noexcept {
    if (_near == far) {
        KestItemPool::deallocate(const_cast<char*>(Far()), sizeof(std::size_t) + FarSize());
        _near = 0;
    }
}

// A bit of `_readings` per reading but the text (every auto item has one) and DT_RESERVED
// (none has it): DT_ENUM takes the bit of DT_RESERVED.
bool KestCmdAutoItem::Has(DataType type) const {
    if (type == DT_STRING) {
        return true;
    }
    const int bit = type == DT_ENUM ? DT_RESERVED : type == DT_RESERVED ? 8 : type;
    return (_readings >> bit & 1u) != 0;
}

void KestCmdAutoItem::Set(DataType type) {
    _readings = static_cast<std::uint8_t>(_readings | 1u << (type == DT_ENUM ? DT_RESERVED : type));
}

bool KestCmdAutoItem::HasString() const {
    return Has(DT_STRING);
}
std::string KestCmdAutoItem::GetString() const {
    return std::string(Text());
}
bool KestCmdAutoItem::HasInteger() const {
    return Has(DT_INTEGER);
}
int KestCmdAutoItem::GetInteger() const {
    return Has(DT_INTEGER) ? std::atoi(std::string(Text()).c_str()) : 0;
}
bool KestCmdAutoItem::HasReal() const {
    return Has(DT_REAL);
}
double KestCmdAutoItem::GetReal() const {
    if (!Has(DT_REAL)) {
        return 0.0;
    }
    // Correct rounding gives integer texts their exact value too, and keeps the sign of "-0".
    return KestFormatUtil::str_to_double(std::string(Text()).c_str(), nullptr);
}
bool KestCmdAutoItem::HasVector3d() const {
    return Has(DT_VECTOR3D);
}

KestMatrix<3, 1, double> KestCmdAutoItem::GetVector3d() const {
    KestMatrix<3, 1, double> vector;
    read_vector(Text(), vector);
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
    KestText::split_pieces(Text(), parts);
    return parts;
}

bool KestCmdAutoItem::HasLumoList() const {
    return Has(DT_LUMO_LIST);
}

LumoList<int> KestCmdAutoItem::GetLumoList() const {
    LumoList<int> list;
    if (Has(DT_LUMO_LIST)) {
        // read before, warnings included: no second report
        list.TryRead(std::string(Text()), false);
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
    Set(DT_REFERENCE);
}

std::unique_ptr<KestCmdItem> KestCmdAutoItem::Clone() const {
    return std::make_unique<KestCmdAutoItem>(*this);
}
