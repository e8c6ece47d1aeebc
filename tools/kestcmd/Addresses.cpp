#include "Addresses.h"

#include <array>

namespace kestcmd {

namespace {

bool starts_with(const std::string& text, const std::string& start) {
    return text.compare(0, start.size(), start) == 0;
}

// The addresses of the items of `cmd` read from the text, each `head` (a command and its dot)
// followed by a key.
void add_keys(const Job& job, const KestCmd& cmd, const std::string& head,
              std::vector<std::string>& addresses) {
    for (int k = 0; k < KestCmdItemDefs::item_kind_count; ++k) {
        const auto kind = static_cast<KestCmdItemDefs::CmdItem>(k);
        for (std::size_t i = 0; i < cmd.ItemCount(kind); ++i) {
            if (job.positions().Find(cmd, kind, i)) {
                addresses.push_back(head + KestCmdItemDefs::default_item_names[kind] +
                                    (i == 0 ? std::string() : '[' + std::to_string(i) + ']'));
            }
        }
    }
}

} // namespace

std::vector<std::string> complete_address(const Job& job, const std::string& prefix) {
    const std::string wanted = KestText::to_upper_copy(prefix);
    const KestSourceMap& positions = job.positions();
    std::array<std::size_t, KestCmdDefs::cmd_type_count> seen{};
    std::vector<std::string> addresses;
    for (std::size_t i = 0; i < positions.CommandCount(); ++i) {
        const KestCmd& cmd = positions.Command(i);
        // The name as the text spells it: the reader upper-cases it, addresses compare it so.
        const auto name_span = positions.Find(cmd, KestCmdItemDefs::ID_NAME, 0);
        const std::string name =
            name_span ? job.document.Slice(name_span->value, name_span->value_end) : std::string();
        const std::string by_type = KestCmdDefs::get_default_cmd_names()[cmd.GetType()] + '[' +
                                    std::to_string(seen[cmd.GetType()]++) + "].";
        for (const std::string& head : {name.empty() ? std::string() : name + '.', by_type}) {
            const std::string upper_head = KestText::to_upper_copy(head);
            if (head.empty()) {
                continue; // a command without a name
            }
            if (starts_with(wanted, upper_head)) {
                std::vector<std::string> keys;
                add_keys(job, cmd, head, keys);
                for (std::string& key : keys) {
                    if (starts_with(KestText::to_upper_copy(key), wanted)) {
                        addresses.push_back(std::move(key));
                    }
                }
            } else if (starts_with(upper_head, wanted)) {
                addresses.push_back(head);
            }
        }
    }
    return addresses;
}

} // namespace kestcmd
