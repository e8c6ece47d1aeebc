// The container: all commands of one job, grouped by command type in creation order, with
// look-ups that fall back instead of failing, reference creation and queries.
#pragma once

#include "engine/KestCmdAssert.h"
#include "engine/KestCmdEngineExport.h"
#include "engine/model/KestCmd.h"
#include "engine/vocabulary/KestCmdDefs.h"
#include "engine/vocabulary/KestCmdItemDefs.h"

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

class KestCmdContainerIterator;

/// Owns the commands of a job. Commands keep their address for the container's whole life;
/// none is ever removed. Look-ups past the end fall back to the first command of the type, or
/// to the shared empty command `s_DefaultCmd` when the type has none.
class KEST_CMD_ENGINE_API KestCmdContainer {
  public:
    using CmdList = std::vector<KestCmd*>;

    KestCmdContainer();
    /// Takes over the commands of `other`, which is left empty.
    KestCmdContainer(KestCmdContainer&& other) noexcept;
    /// Destroys the commands held, then takes over those of `other`, which is left empty. Moving
    /// a container onto itself changes nothing.
    KestCmdContainer& operator=(KestCmdContainer&& other) noexcept;
    KestCmdContainer(const KestCmdContainer&) = delete;
    KestCmdContainer& operator=(const KestCmdContainer&) = delete;
    virtual ~KestCmdContainer();

    /// Creates a command of `type` without items at the end of its type's list.
    KestCmd& CreateCommand(KestCmdDefs::Cmd type);
    /// Takes over the commands of `other`, each after the commands of its type here, as if they
    /// had been created here after these; `other` is left empty. The commands keep their
    /// addresses.
    void Append(KestCmdContainer&& other);

    std::size_t GetNumberOfCommands(KestCmdDefs::Cmd type) const {
        return _commands[TypeIndex(type)].size();
    }
    bool HasCommand(KestCmdDefs::Cmd type) const { return !_commands[TypeIndex(type)].empty(); }

    /// The command at `index` of `type`; past the end the first command of `type`; for a type
    /// without commands `s_DefaultCmd`, which every container shares and callers must not change.
    KestCmd& GetCommand(KestCmdDefs::Cmd type, std::size_t index) {
        return _GetCommand(type, index);
    }
    const KestCmd& GetCommand(KestCmdDefs::Cmd type, std::size_t index) const {
        return _GetCommand(type, index);
    }

    /// The commands of `type` in creation order.
    CmdList::const_iterator GetCommandBegin(KestCmdDefs::Cmd type) const {
        return _commands[TypeIndex(type)].begin();
    }
    CmdList::const_iterator GetCommandEnd(KestCmdDefs::Cmd type) const {
        return _commands[TypeIndex(type)].end();
    }

    /// All commands: types in increasing order, each in creation order.
    KestCmdContainerIterator begin() const;
    KestCmdContainerIterator end() const;

    /// Links every item (of every kind but ID_NAME) whose text equals the first ID_NAME text of a
    /// command to the first such command in iteration order, by calling its AddReference. Auto
    /// items gain a reference reading, reference items are re-pointed, string items ignore it.
    /// Takes time linear in the number of items and commands.
    void CreateReferences();

    /// The commands of `type` whose first item of kind `item` has the text `value`, in creation
    /// order.
    std::vector<KestCmd*> Filter(KestCmdDefs::Cmd type, KestCmdItemDefs::CmdItem item,
                                 const std::string& value);
    std::vector<const KestCmd*> Filter(KestCmdDefs::Cmd type, KestCmdItemDefs::CmdItem item,
                                       const std::string& value) const;

    /// True if the first command of `type` has an item of kind `item` whose first item offers a
    /// reading of `dataType`. Later commands and items are not examined.
    bool HasCommandWithType(KestCmdDefs::Cmd type, KestCmdItemDefs::CmdItem item,
                            KestCmdItemDefs::DataType dataType) const;
    /// HasCommandWithType with DT_REFERENCE.
    bool HasCommandWithReference(KestCmdDefs::Cmd type, KestCmdItemDefs::CmdItem item) const;

  private:
    friend class KestCmdContainerIterator;

    KestCmd& _GetCommand(KestCmdDefs::Cmd type, std::size_t index) const;
    /// `type` as an index of `_commands`; it must be a command type.
    static std::size_t TypeIndex(KestCmdDefs::Cmd type) {
        KEST_ASSERT(type >= 0 && type < KestCmdDefs::cmd_type_count);
        return static_cast<std::size_t>(type);
    }
    void DestroyCommands() noexcept;

    /// Commands live in blocks of `block_size`, in creation order: one allocation per block
    /// instead of one per command, and destruction walks memory in the order it was filled.
    /// Only the last block and blocks that came with Append may be partly used.
    static constexpr std::size_t block_size = 64;
    struct CmdBlock;
    std::vector<std::unique_ptr<CmdBlock>> _blocks;

    std::array<CmdList, KestCmdDefs::cmd_type_count> _commands;

    /// The empty CMD_PLACEHOLDER command that look-ups fall back to.
    static KestCmd s_DefaultCmd;
};

// Iteration needs the complete iterator type; included here so that a range-for over a
// container works with this header alone.
#include "engine/container/KestCmdContainerIterator.h"
