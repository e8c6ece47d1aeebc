#include "engine/metadata/KestCmdMetaData.h"

KestCmdMetaData::KestCmdMetaData(
    KestCmdDefs::Cmd cmdKey,
    std::initializer_list<std::reference_wrapper<const KestCmdItemMetaData>> items,
    bool createDefault)
    : _cmd_key(cmdKey), _create_default(createDefault) {
    for (const KestCmdItemMetaData& record : items) {
        _item_meta[record.item_kind] = &record;
    }
}

KestCmdMetaData::KestCmdMetaData(const KestCmdMetaData& other) = default;
KestCmdMetaData& KestCmdMetaData::operator=(const KestCmdMetaData& other) = default;

KestCmdMetaData& KestCmdMetaData::operator=(KestCmdMetaData&& other) {
    return *this = static_cast<const KestCmdMetaData&>(other);
}

KestCmdMetaData::~KestCmdMetaData() = default;
