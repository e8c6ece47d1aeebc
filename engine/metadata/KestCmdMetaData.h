// What is known about one command type: whether a default command of it is created, and its
// item records by item kind.
#pragma once

#include "engine/KestCmdEngineExport.h"
#include "engine/metadata/KestCmdItemMetaData.h"

#include <array>
#include <functional>
#include <initializer_list>

/// One command record. It points at item records that it does not own (the pool owns them).
class KEST_CMD_ENGINE_API KestCmdMetaData {
  public:
    using ItemTable = std::array<const KestCmdItemMetaData*, KestCmdItemDefs::item_kind_count>;

    /// Stores each record of `items` in the slot of its item kind; a kind given twice keeps the
    /// later record.
    KestCmdMetaData(KestCmdDefs::Cmd cmdKey,
                    std::initializer_list<std::reference_wrapper<const KestCmdItemMetaData>> items,
                    bool createDefault);
    KestCmdMetaData(const KestCmdMetaData& other);
    KestCmdMetaData& operator=(const KestCmdMetaData& other);
    KestCmdMetaData& operator=(KestCmdMetaData&& other);
    ~KestCmdMetaData();

    KestCmdDefs::Cmd GetKey() const { return _cmd_key; }
    /// True if the default rules create one command of this type in a job that has none.
    bool GetCreateDefault() const { return _create_default; }
    /// Entry i is the record of item kind i, or null.
    const ItemTable& GetMetaData() const { return _item_meta; }

  private:
    friend class KestCmdInfoPool;

    KestCmdDefs::Cmd _cmd_key;
    bool _create_default;
    ItemTable _item_meta{};
};
