#include "engine/io/KestParCheck.h"

#include "engine/io/KestParKeys.h"
#include "utilities/KestText.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <string_view>
#include <tuple>
#include <unordered_map>
#include <unordered_set>

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

// The first ID_NAME text of `cmd` (empty for none), without a copy where the item keeps it;
// `made` keeps the others.
std::string_view name_view(const KestCmd& cmd, std::deque<std::string>& made) {
    if (!cmd.HasItem(ID_NAME)) {
        return {};
    }
    const KestCmdItem& name = cmd.Item(ID_NAME, 0);
    const std::optional<std::string_view> kept = name.KeptText();
    return kept ? *kept : made.emplace_back(name.GetString());
}

// The names of a job's commands, and the commands that have the type and name of an earlier one.
// A name is looked for in a table of the names' hashes and sizes, sorted once, and compared with
// each name of that hash and size: the answer is exact, and the table takes 16 bytes a named
// command, where sets of the names took a hundred and more.
class JobNames {
  public:
    explicit JobNames(const KestCmdContainer& job) {
        std::size_t count = 0;
        for (int t = 0; t < KestCmdDefs::cmd_type_count; ++t) {
            count += job.GetNumberOfCommands(static_cast<KestCmdDefs::Cmd>(t));
        }
        FindFirsts(job, count);
        _names.reserve(count);
        for (const KestCmd& cmd : job) {
            if (cmd.HasItem(ID_NAME)) {
                const std::string_view name = name_view(cmd, _made);
                _names.push_back({key(name), name.data()});
            }
        }
        std::sort(_names.begin(), _names.end(),
                  [](const Named& a, const Named& b) { return a.key < b.key; });
    }

    /// Whether a command of the job has the name `text`.
    bool Has(std::string_view text) const {
        const std::uint64_t k = key(text);
        auto at = std::lower_bound(_names.begin(), _names.end(), k,
                                   [](const Named& n, std::uint64_t v) { return n.key < v; });
        for (; at != _names.end() && at->key == k; ++at) {
            if (std::string_view(at->text, text.size()) == text) {
                return true;
            }
        }
        return false;
    }
    /// The first command of the type and name of `cmd`, when that is another one.
    const KestCmd* FirstOf(const KestCmd& cmd) const {
        const auto found = _first.find(&cmd);
        return found != _first.end() ? found->second : nullptr;
    }

  private:
    /// A name's hash (its 24 high bits) and size (the 40 low ones, a terabyte).
    struct Named {
        std::uint64_t key;
        const char* text;
    };
    static std::uint64_t key(std::string_view name) {
        return std::hash<std::string_view>()(name) >> 40 << 40 | name.size();
    }

    // The commands of one type and name, in the order they were made (that of the text), are
    // found in a table by hash, type and place; each after the first of them gets it in _first.
    void FindFirsts(const KestCmdContainer& job, std::size_t count) {
        struct Placed {
            std::uint32_t hash;
            std::uint32_t place; ///< among the commands of its type
            std::uint8_t type;
        };
        const auto command = [&job](const Placed& p) -> const KestCmd& {
            return job.GetCommand(static_cast<KestCmdDefs::Cmd>(p.type), p.place);
        };
        std::vector<Placed> placed;
        placed.reserve(count);
        for (int t = 0; t < KestCmdDefs::cmd_type_count; ++t) {
            const auto type = static_cast<KestCmdDefs::Cmd>(t);
            for (std::size_t i = 0; i < job.GetNumberOfCommands(type); ++i) {
                const KestCmd& cmd = job.GetCommand(type, i);
                if (cmd.HasItem(ID_NAME)) {
                    placed.push_back({static_cast<std::uint32_t>(key(name_view(cmd, _made)) >> 40),
                                      static_cast<std::uint32_t>(i), static_cast<std::uint8_t>(t)});
                }
            }
        }
        std::sort(placed.begin(), placed.end(), [](const Placed& a, const Placed& b) {
            return std::tie(a.hash, a.type, a.place) < std::tie(b.hash, b.type, b.place);
        });
        for (std::size_t i = 1; i < placed.size(); ++i) {
            for (std::size_t j = i;
                 j-- > 0 && placed[j].hash == placed[i].hash && placed[j].type == placed[i].type;) {
                if (name_view(command(placed[j]), _made) == name_view(command(placed[i]), _made)) {
                    // The earlier one is the first of the name, or has it in _first already.
                    const KestCmd* earlier = &command(placed[j]);
                    const auto first = _first.find(earlier);
                    _first.emplace(&command(placed[i]),
                                   first != _first.end() ? first->second : earlier);
                    break;
                }
            }
        }
    }

    std::vector<Named> _names;
    std::unordered_map<const KestCmd*, const KestCmd*> _first; ///< only for the later ones
    std::deque<std::string> _made;
};

// The names of the job, each once, in the order of the job: the candidates of "did you mean".
std::vector<std::string> name_list(const KestCmdContainer& job) {
    std::vector<std::string> list;
    std::unordered_set<std::string> seen;
    for (const KestCmd& cmd : job) {
        if (cmd.HasItem(ID_NAME) && seen.insert(name_of(cmd)).second) {
            list.push_back(name_of(cmd));
        }
    }
    return list;
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
    // Each known key, and whether its values name commands.
    std::unordered_map<std::string, bool> known_keys_naming;
    for (const std::string& key : keys) {
        known_keys_naming.emplace(key, names_a_command(key));
    }

    JobNames names(document.Job());
    std::vector<std::string> candidates; // made when a name names nothing

    const KestSourceMap& positions = document.Positions();
    for (std::size_t c = 0; c < positions.CommandCount(); ++c) {
        const KestCmd& cmd = positions.Command(c);
        const KestTextPosition start = positions.Span(c).keyword;
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
        } else if (const KestCmd* earlier = names.FirstOf(cmd)) {
            // The keyword line of the first command of this type and name, and where its name
            // stands.
            const KestTextPosition earlier_start = positions.Find(*earlier)->keyword;
            const auto earlier_name = positions.Find(*earlier, ID_NAME, 0);
            const auto name = positions.Find(cmd, ID_NAME, 0);
            KestParDiagnostic twice = at(
                name ? name->value : start, name ? name->value_end : keyword_end, "duplicate-name",
                "a " + cmd_names[cmd.GetType()] + " named '" + shown(name_of(cmd)) +
                    "' already stands at line " + std::to_string(earlier_start.line) +
                    "; only the first is ever linked");
            twice.related = earlier_name ? earlier_name->value : earlier_start;
            found.push_back(std::move(twice));
        }
        std::size_t last_line = 0;
        positions.ForEachItem(c, [&](const KestSourceMap::ItemPlace& place) {
            // A line that made several items (LE_VALUE gives VALUE and TYPE) is looked at once.
            const KestItemSpan& span = place.span;
            if (span.key.line == last_line) {
                return;
            }
            last_line = span.key.line;
            const std::string_view line = document.Line(span.key.line);
            const std::size_t equals = line.find('=');
            const std::string value = document.Slice(span.value, span.value_end);
            const std::string raw_key(
                equals == std::string_view::npos
                    ? std::string_view()
                    : KestText::trim_end(
                          line.substr(span.key.column - 1, equals - (span.key.column - 1))));
            if (raw_key.empty()) {
                found.push_back(
                    at(span.key, span.value_end, "missing-equals",
                       "line without '=' (a forgotten END_?) is read as PLACEHOLDER = " +
                           shown(value)));
                return;
            }
            const std::string key = KestText::to_upper_copy(raw_key);
            const bool operator_type = key == KestParKeys::operator_key &&
                                       keyword == cmd_names[KestParKeys::operator_block];
            const auto known = known_keys_naming.find(key);
            if (known == known_keys_naming.end() && !operator_type) {
                found.push_back(
                    at(span.key, {span.key.line, span.key.column + raw_key.size()}, "unknown-key",
                       "unknown key '" + raw_key + "', its value is read as PLACEHOLDER",
                       closest(key, keys)));
            } else if (known != known_keys_naming.end() && known->second) {
                const std::string upper = KestText::to_upper_copy(value);
                if (!names.Has(upper)) {
                    if (candidates.empty()) {
                        candidates = name_list(document.Job());
                    }
                    found.push_back(at(span.value, span.value_end, "unknown-name",
                                       key + " = " + shown(value) + " names no command of the job",
                                       closest(upper, candidates)));
                }
            }
        });
    }
    std::stable_sort(
        found.begin(), found.end(),
        [](const KestParDiagnostic& a, const KestParDiagnostic& b) { return a.start < b.start; });
    return found;
}
