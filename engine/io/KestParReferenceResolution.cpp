// Links that a parameter file states by context (a lone STOP belongs to the lone OPTIMIZE) or
// from the wrong side (an OPT_PARAM names its OPTIMIZE), added after all blocks are read.
#include "engine/io/detail/KestParReaderTables.h"
#include "utilities/KestText.h"

using namespace KestCmdItemDefs;

namespace {

// Appends to `owner` an `item` reference to `target`, unless the owner already holds one of
// that kind to the target itself, or an unlinked item of that kind that prints as the new one
// would (the target's first name, or the empty text): that is the reference as written and read
// again, and a job must not gain a line each time. A reference to another command does not
// count even when it prints alike: two nameless targets each get their own.
void add_reference_once(KestCmd& owner, CmdItem item, const KestCmd& target) {
    const std::string printed =
        target.HasItem(ID_NAME) ? target.Item(ID_NAME, 0).GetString() : std::string();
    for (const auto& existing : owner.Items(item)) {
        if (existing && (existing->HasReference() ? existing->GetReference() == &target
                                                  : existing->GetString() == printed)) {
            return;
        }
    }
    owner.AddItem(item, target);
}

} // namespace

void KestParFileAdapter::ResolveImplicitReferences(KestCmdContainer& container) const {
    for (const auto& [referenced, link] : _tables->implicit_references) {
        const auto type = static_cast<KestCmdDefs::Cmd>(referenced);
        if (container.GetNumberOfCommands(type) == 1 &&
            container.GetNumberOfCommands(link.owner) == 1) {
            add_reference_once(container.GetCommand(link.owner, 0), link.item,
                               container.GetCommand(type, 0));
        }
    }
}

void KestParFileAdapter::ResolveReverseReferences(KestCmdContainer& container) const {
    for (const auto& [referring, link] : _tables->reverse_references) {
        const auto type = static_cast<KestCmdDefs::Cmd>(referring);
        for (auto it = container.GetCommandBegin(type); it != container.GetCommandEnd(type); ++it) {
            const KestCmd& cmd = **it;
            if (!cmd.HasItem(link.name_item)) {
                continue;
            }
            const std::string name =
                KestText::to_upper_copy(cmd.Item(link.name_item, 0).GetString());
            for (KestCmd* owner : container.Filter(link.owner, ID_NAME, name)) {
                add_reference_once(*owner, link.item, cmd);
            }
        }
    }
}
