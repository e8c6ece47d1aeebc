#include "engine/io/detail/CheckContext.h"

#include <algorithm>

namespace KestCheckDetail {

using KestCmdItemDefs::ID_NAME;

KestSeverity severity_of(KestSchemaSource source) {
    return source == KestSchemaSource::format ? KestSeverity::error : KestSeverity::warning;
}

std::string shown(std::string_view text) {
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

std::string a_type(KestCmdDefs::Cmd type) {
    const std::string& name = KestCmdDefs::get_default_cmd_names()[type];
    return (std::string("AEIOU").find(name.front()) == std::string::npos ? "a " : "an ") + name;
}

std::string type_list(const std::vector<KestCmdDefs::Cmd>& targets) {
    std::string out;
    for (std::size_t i = 0; i < targets.size(); ++i) {
        out += i == 0 ? a_type(targets[i])
                      : (i + 1 == targets.size() ? " or " : ", ") +
                            KestCmdDefs::get_default_cmd_names()[targets[i]];
    }
    return out;
}

bool CheckContext::Add(KestParDiagnostic finding) {
    if (settings.ignore.count(finding.code) != 0) {
        return false;
    }
    found.push_back(std::move(finding));
    return true;
}

KestParFix CheckContext::Replace(KestTextPosition start, KestTextPosition end,
                                 const std::string& text) {
    return {"Replace with '" + shown(text) + "'", start, end, text};
}

void CheckContext::SuggestLater(const std::vector<KestCmdDefs::Cmd>& targets, std::string name,
                                KestTextPosition start, KestTextPosition end) {
    _pending.push_back({found.size() - 1, &targets, std::move(name), start, end});
}

void CheckContext::Suggest() {
    // One index per set of target types, of the names of their commands in the order of the
    // text (a name given twice once), built when a finding first asks.
    struct Index {
        std::vector<std::uint32_t> commands; ///< the named commands' places in the positions
        std::optional<SuggestionIndex> names;
    };
    std::map<std::vector<KestCmdDefs::Cmd>, Index> indexes;
    for (const Pending& pending : _pending) {
        const std::vector<KestCmdDefs::Cmd>& targets = *pending.targets;
        Index& index = indexes[targets];
        if (!index.names) {
            // The names as the job holds them (upper case, as references name them), in the
            // order of the text.
            std::vector<std::string> texts;
            const KestSourceMap& positions = document.Positions();
            for (std::size_t c = 0; c < positions.CommandCount(); ++c) {
                const KestCmd& cmd = positions.Command(c);
                if (cmd.HasItem(ID_NAME) &&
                    std::find(targets.begin(), targets.end(), cmd.GetType()) != targets.end()) {
                    index.commands.push_back(static_cast<std::uint32_t>(c));
                    texts.push_back(cmd.Item(ID_NAME, 0).GetString());
                }
            }
            index.names.emplace(std::move(texts));
        }
        const std::size_t closest = index.names->Closest(pending.name);
        if (closest == SuggestionIndex::none) {
            continue;
        }
        const std::string written = places.WrittenName(index.commands[closest]);
        KestParDiagnostic& finding = found[pending.finding];
        finding.message += "; did you mean '" + shown(written) + "'?";
        finding.fix = Replace(pending.start, pending.end, written);
    }
}

const KestCmd* CheckContext::Named(const std::vector<KestCmdDefs::Cmd>& targets,
                                   const std::string& name) {
    const auto known = _first_named.find(targets);
    auto& first = known != _first_named.end() ? known->second : _first_named[targets];
    if (known == _first_named.end()) {
        // In iteration order, as linking takes names: the first command of a name counts.
        for (const KestCmd& cmd : document.Job()) {
            if (cmd.HasItem(ID_NAME) &&
                std::find(targets.begin(), targets.end(), cmd.GetType()) != targets.end()) {
                first.emplace(cmd.Item(ID_NAME, 0).GetString(), &cmd);
            }
        }
    }
    const auto found_name = first.find(name);
    return found_name == first.end() ? nullptr : found_name->second;
}

} // namespace KestCheckDetail
