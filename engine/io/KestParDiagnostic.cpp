#include "engine/io/KestParDiagnostic.h"

#include <array>

namespace {

constexpr std::array<std::pair<KestSeverity, const char*>, 3> severity_names{{
    {KestSeverity::error, "error"},
    {KestSeverity::warning, "warning"},
    {KestSeverity::information, "information"},
}};

} // namespace

const char* severity_name(KestSeverity severity) {
    for (const auto& [known, name] : severity_names) {
        if (known == severity) {
            return name;
        }
    }
    return "warning";
}

std::optional<KestSeverity> severity_named(std::string_view name) {
    for (const auto& [known, known_name] : severity_names) {
        if (name == known_name) {
            return known;
        }
    }
    return std::nullopt;
}

const std::vector<KestParCheckCode>& check_codes() {
    using S = KestSeverity;
    static const std::vector<KestParCheckCode> codes{
        {"unreadable", S::error, "the reader refuses the text"},
        {"unknown-keyword", S::warning,
         "a block keyword that is no command type (the block is read as CMD_PLACEHOLDER)"},
        {"unclosed-block", S::warning, "a block still open at the end of the text (no END_)"},
        {"missing-equals", S::error,
         "a line without '=' inside a block (often a forgotten END_ before a block keyword)"},
        {"unknown-key", S::warning,
         "a key that is no item kind (its value is read as PLACEHOLDER)"},
        {"missing-key", S::warning,
         "a line with nothing before its '=' (its value is read as PLACEHOLDER)"},
        {"key-not-allowed", std::nullopt, "a key that the block's schema does not list"},
        {"repeated-key", std::nullopt, "a key given again where it may be given once"},
        {"required-key", std::nullopt, "a key that the block's schema requires is not given"},
        {"missing-name", S::information, "a command without ID_NAME, which nothing can name"},
        {"duplicate-name", S::warning,
         "a second command of a type with the same ID_NAME (only the first is ever linked)"},
        {"unknown-name", std::nullopt, "a value that should name a command names none"},
        {"wrong-type", std::nullopt, "a value names a command of a type the key does not name"},
        {"wrong-reading", std::nullopt, "a value without the reading its key has"},
        {"bad-integer-list", std::nullopt, "a value that should be an integer list is none"},
        {"unknown-value", std::nullopt, "a keyword value outside the key's set"},
        {"out-of-range", std::nullopt, "a number outside the key's bounds"},
        {"zero-step", S::warning, "an integer-list range with step 0 (it adds its start alone)"},
        {"descending-range", S::warning,
         "an integer-list range whose step points away from its end (it adds its start alone)"},
    };
    return codes;
}
