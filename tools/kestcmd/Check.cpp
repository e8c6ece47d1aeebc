#include "Check.h"

#include <algorithm>
#include <map>
#include <set>

using namespace KestCmdItemDefs;

namespace kestcmd {

namespace {

// " did you mean 'X'?" for the known text closest to `text` within two edits, or nothing.
std::string suggestion(const std::string& text, const std::vector<std::string>& known) {
    std::size_t best = 3;
    std::string found;
    for (const std::string& candidate : known) {
        const std::size_t d = edit_distance(text, candidate, 2);
        if (d < best && candidate != text) {
            best = d;
            found = candidate;
        }
    }
    return found.empty() ? std::string() : "; did you mean '" + found + "'?";
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

std::vector<Diagnostic> check_job(const Job& job) {
    std::vector<Diagnostic> found;
    const auto& cmd_names = KestCmdDefs::get_default_cmd_names();
    const std::vector<std::string> keywords = known_keywords();
    const std::vector<std::string> keys = known_keys();
    const std::set<std::string> known_key_set(keys.begin(), keys.end());

    std::set<std::string> names;
    std::vector<std::string> name_list;
    for (const KestCmd& cmd : job.completed) {
        if (cmd.HasItem(ID_NAME) && names.insert(name_of(cmd)).second) {
            name_list.push_back(name_of(cmd));
        }
    }

    const auto& blocks = job.tokens->commands();
    std::map<std::pair<int, std::string>, std::size_t> first_of_name;
    for (std::size_t b = 0; b < blocks.size(); ++b) {
        const KestParCommand& block = blocks[b];
        const KestCmd& cmd = *job.completed_blocks[b];
        const std::string keyword = KestText::to_upper_copy(block.keyword);
        if (cmd.GetType() == KestCmdDefs::CMD_PLACEHOLDER &&
            keyword != cmd_names[KestCmdDefs::CMD_PLACEHOLDER]) {
            found.push_back({block.line, "unknown-keyword",
                             "unknown block keyword '" + shown(block.keyword) +
                                 "', read as CMD_PLACEHOLDER" + suggestion(keyword, keywords)});
        }
        if (!cmd.HasItem(ID_NAME)) {
            found.push_back(
                {block.line, "missing-name",
                 "block '" + shown(block.keyword) + "' has no ID_NAME; nothing can refer to it"});
        } else {
            const auto key = std::make_pair(static_cast<int>(cmd.GetType()), name_of(cmd));
            const auto first = first_of_name.emplace(key, block.line);
            if (!first.second) {
                found.push_back({block.line, "duplicate-name",
                                 "a " + cmd_names[cmd.GetType()] + " named '" + shown(key.second) +
                                     "' already stands at line " +
                                     std::to_string(first.first->second) +
                                     "; only the first is ever linked"});
            }
        }
        for (const KestParSubCommand& line : block.subCommands) {
            if (line.kind == 0) {
                continue;
            }
            const std::string key = KestText::to_upper_copy(line.key);
            if (line.key.empty()) {
                found.push_back({line.line, "missing-equals",
                                 "line without '=' (a forgotten END_?) is read as PLACEHOLDER = " +
                                     shown(line.getValueLine())});
                continue;
            }
            const bool operator_type = key == KestParKeys::operator_key &&
                                       keyword == cmd_names[KestParKeys::operator_block];
            if (known_key_set.count(key) == 0 && !operator_type) {
                found.push_back({line.line, "unknown-key",
                                 "unknown key '" + line.key +
                                     "', its value is read as PLACEHOLDER" +
                                     suggestion(key, keys)});
            } else if (names_a_command(key)) {
                const std::string value = KestText::to_upper_copy(line.getValueLine());
                if (names.count(value) == 0) {
                    found.push_back({line.line, "unknown-name",
                                     key + " = " + shown(line.getValueLine()) +
                                         " names no command of the job" +
                                         suggestion(value, name_list)});
                }
            }
        }
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const Diagnostic& a, const Diagnostic& b) { return a.line < b.line; });
    return found;
}

} // namespace kestcmd
