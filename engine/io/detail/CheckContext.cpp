#include "engine/io/detail/CheckContext.h"

#include "utilities/KestText.h"

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

void CheckContext::Add(KestParDiagnostic finding) {
    if (settings.ignore.count(finding.code) == 0) {
        found.push_back(std::move(finding));
    }
}

KestParFix CheckContext::Replace(KestTextPosition start, KestTextPosition end,
                                 const std::string& text) {
    return {"Replace with '" + shown(text) + "'", start, end, text};
}

CheckContext::Names& CheckContext::NamesOf(const std::vector<KestCmdDefs::Cmd>& targets) {
    std::unique_ptr<Names>& names = _names[targets];
    if (!names) {
        names = std::make_unique<Names>();
        // In iteration order, as linking takes names: the first command of a name counts.
        for (const KestCmd& cmd : document.Job()) {
            if (cmd.HasItem(ID_NAME) &&
                std::find(targets.begin(), targets.end(), cmd.GetType()) != targets.end() &&
                names->first.emplace(cmd.Item(ID_NAME, 0).GetString(), &cmd).second) {
                names->commands.push_back(&cmd);
            }
        }
    }
    return *names;
}

const KestCmd* CheckContext::Named(const std::vector<KestCmdDefs::Cmd>& targets,
                                   const std::string& name) {
    const Names& names = NamesOf(targets);
    const auto found = names.first.find(name);
    return found == names.first.end() ? nullptr : found->second;
}

const KestCmd* CheckContext::ClosestName(const std::vector<KestCmdDefs::Cmd>& targets,
                                         const std::string& name) {
    Names& names = NamesOf(targets);
    if (!names.index) {
        std::vector<std::string> texts;
        texts.reserve(names.commands.size());
        for (const KestCmd* cmd : names.commands) {
            texts.push_back(cmd->Item(ID_NAME, 0).GetString());
        }
        names.index.emplace(std::move(texts));
    }
    const std::size_t found = names.index->Closest(KestText::to_upper_copy(name));
    return found == SuggestionIndex::none ? nullptr : names.commands[found];
}

} // namespace KestCheckDetail
