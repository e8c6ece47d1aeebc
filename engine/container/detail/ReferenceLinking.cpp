#include "engine/container/detail/ReferenceLinking.h"

#include "engine/container/detail/NameIndex.h"
#include "engine/model/KestCmd.h"

using namespace KestCmdItemDefs;

// Linking changes no ID_NAME item, so the names are fixed for the whole walk and one index of
// them, built first, answers every item as a search of all commands would.
void link_references(const std::vector<KestCmd*>& commands) {
    NameIndex by_name(commands.size());
    std::string scratch;
    for (const KestCmd* cmd : commands) {
        if (cmd->HasItem(ID_NAME)) {
            by_name.add_first(text_of(cmd->Item(ID_NAME, 0), scratch), cmd);
        }
    }
    for (KestCmd* cmd : commands) {
        for (int kind = ID_NAME + 1; kind < item_kind_count; ++kind) {
            const auto items = static_cast<CmdItem>(kind);
            for (std::size_t i = 0; i < cmd->ItemCount(items); ++i) {
                KestCmdItem& item = cmd->Item(items, i);
                if (const KestCmd* target = by_name.find(text_of(item, scratch))) {
                    item.AddReference(*target);
                }
            }
        }
    }
}
