#include "engine/io/KestParCheck.h"

#include "engine/io/KestParKeys.h"
#include "utilities/KestText.h"

#include <algorithm>
#include <map>
#include <set>

using namespace KestCmdItemDefs;

namespace {

// The Levenshtein distance between `a` and `b`, counted only up to `limit` + 1.
std::size_t edit_distance(const std::string& a, const std::string& b, std::size_t limit) {
    const std::size_t gap = a.size() > b.size() ? a.size() - b.size() : b.size() - a.size();
    if (gap > limit) {
        return limit + 1;
    }
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) {
        row[j] = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        std::size_t smallest = row[0];
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
            smallest = std::min(smallest, row[j]);
        }
        if (smallest > limit) {
            return limit + 1;
        }
    }
    return std::min(row[b.size()], limit + 1);
}

// The known text closest to `text` within two edits (other than `text` itself), or nothing.
std::string closest(const std::string& text, const std::vector<std::string>& known) {
    std::size_t best = 3;
    std::string found;
    for (const std::string& candidate : known) {
        const std::size_t d = edit_distance(text, candidate, 2);
        if (d < best && candidate != text) {
            best = d;
            found = candidate;
        }
    }
    return found;
}

// "; did you mean 'X'?" for a suggestion, or nothing.
std::string did_you_mean(const std::string& suggestion) {
    return suggestion.empty() ? std::string() : "; did you mean '" + suggestion + "'?";
}

// The first ID_NAME text of `cmd`, or the empty text.
std::string name_of(const KestCmd& cmd) {
    return cmd.HasItem(ID_NAME) ? cmd.Item(ID_NAME, 0).GetString() : std::string();
}

// `text` for a one-line message: control characters are shown as \xNN.
std::string shown(const std::string& text) {
    static const char* const hex = "0123456789ABCDEF";
    std::string out;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            out += "\\x";
            out += hex[byte >> 4];
            out += hex[byte & 0xF];
        } else {
            out += c;
        }
    }
    return out;
}

// True if the values of `key` name a command (DRESP = r1).
bool names_a_command(const std::string& key) {
    for (int kind = 0; kind < item_kind_count; ++kind) {
        if (default_item_names[kind] == key &&
            KestCmdDefs::named_type(static_cast<CmdItem>(kind)) != KestCmdDefs::CMD_PLACEHOLDER) {
            return true;
        }
    }
    return false;
}

std::vector<std::string> known_keywords() {
    const auto& names = KestCmdDefs::get_default_cmd_names();
    return {names.begin(), names.end()};
}

std::vector<std::string> known_keys() {
    std::vector<std::string> keys(default_item_names.begin(), default_item_names.end());
    keys.insert(keys.end(), KestParKeys::fixed_keys.begin(), KestParKeys::fixed_keys.end());
    return keys;
}

} // namespace

namespace {

// A problem of the text from `from` to `to`.
KestParDiagnostic at(KestTextPosition from, KestTextPosition to, std::string code,
                     std::string message, std::string suggestion = std::string()) {
    return {from,
            to,
            std::move(code),
            std::move(message) + did_you_mean(suggestion),
            std::move(suggestion),
            {}};
}

} // namespace

std::vector<KestParDiagnostic> check_par_document(const KestParDocument& document) {
    std::vector<KestParDiagnostic> found;
    const auto& cmd_names = KestCmdDefs::get_default_cmd_names();
    const std::vector<std::string> keywords = known_keywords();
    const std::vector<std::string> keys = known_keys();
    const std::set<std::string> known_key_set(keys.begin(), keys.end());

    std::set<std::string> names;
    std::vector<std::string> name_list;
    for (const KestCmd& cmd : document.Job()) {
        if (cmd.HasItem(ID_NAME) && names.insert(name_of(cmd)).second) {
            name_list.push_back(name_of(cmd));
        }
    }

    const KestSourceMap& positions = document.Positions();
    // The keyword line of the first command of each type and name, and where its name stands.
    std::map<std::pair<int, std::string>, std::pair<std::size_t, KestTextPosition>> first_of_name;
    for (std::size_t c = 0; c < positions.CommandCount(); ++c) {
        const KestCmd& cmd = positions.Command(c);
        const KestTextPosition start = positions.Find(cmd)->keyword;
        const std::string raw_keyword(
            KestText::trim_end(document.Line(start.line).substr(start.column - 1)));
        const KestTextPosition keyword_end{start.line, start.column + raw_keyword.size()};
        const std::string keyword = KestText::to_upper_copy(raw_keyword);
        if (cmd.GetType() == KestCmdDefs::CMD_PLACEHOLDER &&
            keyword != cmd_names[KestCmdDefs::CMD_PLACEHOLDER]) {
            found.push_back(
                at(start, keyword_end, "unknown-keyword",
                   "unknown block keyword '" + shown(raw_keyword) + "', read as CMD_PLACEHOLDER",
                   closest(keyword, keywords)));
        }
        if (!cmd.HasItem(ID_NAME)) {
            found.push_back(
                at(start, keyword_end, "missing-name",
                   "block '" + shown(raw_keyword) + "' has no ID_NAME; nothing can refer to it"));
        } else {
            const auto name = positions.Find(cmd, ID_NAME, 0);
            const auto key = std::make_pair(static_cast<int>(cmd.GetType()), name_of(cmd));
            const auto first =
                first_of_name.emplace(key, std::make_pair(start.line, name ? name->value : start));
            if (!first.second) {
                KestParDiagnostic twice =
                    at(name ? name->value : start, name ? name->value_end : keyword_end,
                       "duplicate-name",
                       "a " + cmd_names[cmd.GetType()] + " named '" + shown(key.second) +
                           "' already stands at line " + std::to_string(first.first->second.first) +
                           "; only the first is ever linked");
                twice.related = first.first->second.second;
                found.push_back(std::move(twice));
            }
        }
        std::size_t last_line = 0;
        for (const KestSourceMap::ItemPlace& place : positions.Items(c)) {
            // A line that made several items (LE_VALUE gives VALUE and TYPE) is looked at once.
            const KestItemSpan& span = place.span;
            if (span.key.line == last_line) {
                continue;
            }
            last_line = span.key.line;
            const KestParSyntax& syntax = document.Syntax();
            const std::string value = syntax.Value(span.key.line);
            const std::string raw_key(syntax.Bytes(syntax.Key(span.key.line)));
            if (syntax.Line(span.key.line).kind == KestLineKind::bare) {
                found.push_back(
                    at(span.key, span.value_end, "missing-equals",
                       "line without '=' (a forgotten END_?) is read as PLACEHOLDER = " +
                           shown(value)));
                continue;
            }
            if (raw_key.empty()) {
                found.push_back(at(span.key, span.value_end, "missing-key",
                                   "line without a key before its '=' is read as PLACEHOLDER = " +
                                       shown(value)));
                continue;
            }
            const std::string key = KestText::to_upper_copy(raw_key);
            const bool operator_type = key == KestParKeys::operator_key &&
                                       keyword == cmd_names[KestParKeys::operator_block];
            if (known_key_set.count(key) == 0 && !operator_type) {
                found.push_back(
                    at(span.key, {span.key.line, span.key.column + raw_key.size()}, "unknown-key",
                       "unknown key '" + raw_key + "', its value is read as PLACEHOLDER",
                       closest(key, keys)));
            } else if (names_a_command(key)) {
                const std::string upper = KestText::to_upper_copy(value);
                if (names.count(upper) == 0) {
                    found.push_back(at(span.value, span.value_end, "unknown-name",
                                       key + " = " + shown(value) + " names no command of the job",
                                       closest(upper, name_list)));
                }
            }
        }
    }
    std::stable_sort(
        found.begin(), found.end(),
        [](const KestParDiagnostic& a, const KestParDiagnostic& b) { return a.start < b.start; });
    return found;
}
