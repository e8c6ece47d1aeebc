// The registry of meta data: which command types have defaults, which items they fill and
// which command a default reference names.
#pragma once

#include "engine/KestCmdEngineExport.h"
#include "engine/metadata/KestCmdItemMetaData.h"
#include "engine/metadata/KestCmdMetaData.h"

#include <array>
#include <memory>
#include <vector>

/// Holds one command record for each command type with defaults (the other types have none) and
/// the item records they point to. Read-only after construction. A copy holds copies of all
/// records, so each pool releases only its own.
class KEST_CMD_ENGINE_API KestCmdInfoPool {
  public:
    using CmdTable = std::array<const KestCmdMetaData*, KestCmdDefs::cmd_type_count>;

    KestCmdInfoPool();
    KestCmdInfoPool(const KestCmdInfoPool& other);
    KestCmdInfoPool& operator=(const KestCmdInfoPool& other);
    ~KestCmdInfoPool();

    /// Entry t is the record of command type t, or null.
    const CmdTable& GetMetaData() const { return _cmd_meta; }
    /// Every item record, in the order of creation.
    std::vector<const KestCmdItemMetaData*> GetItemMetaData() const;

  private:
    void DefineCmdMetaData();
    const KestCmdItemMetaData& AddItemMetaData(std::unique_ptr<KestCmdItemMetaData> record);
    void SetCmdMetaData(std::unique_ptr<KestCmdMetaData> record);

    CmdTable _cmd_meta{};
    std::array<std::unique_ptr<KestCmdMetaData>, KestCmdDefs::cmd_type_count> _cmd_records;
    std::vector<std::unique_ptr<KestCmdItemMetaData>> _owned_items;
};
