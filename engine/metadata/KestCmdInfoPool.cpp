#include "engine/metadata/KestCmdInfoPool.h"

#include <unordered_map>

using namespace KestCmdItemDefs;
using KestCmdDefs::Cmd;

KestCmdInfoPool::KestCmdInfoPool() {
    DefineCmdMetaData();
}

KestCmdInfoPool::KestCmdInfoPool(const KestCmdInfoPool& other) {
    *this = other;
}

KestCmdInfoPool& KestCmdInfoPool::operator=(const KestCmdInfoPool& other) {
    if (this == &other) {
        return *this;
    }
    // Copy every record and re-point the command records at the copies.
    std::vector<std::unique_ptr<KestCmdItemMetaData>> items;
    std::unordered_map<const KestCmdItemMetaData*, const KestCmdItemMetaData*> copy_of;
    for (const auto& item : other._owned_items) {
        items.push_back(std::make_unique<KestCmdItemMetaData>(*item));
        copy_of[item.get()] = items.back().get();
    }
    std::array<std::unique_ptr<KestCmdMetaData>, KestCmdDefs::cmd_type_count> records;
    for (std::size_t t = 0; t < records.size(); ++t) {
        if (other._cmd_records[t]) {
            records[t] = std::make_unique<KestCmdMetaData>(*other._cmd_records[t]);
            for (const KestCmdItemMetaData*& entry : records[t]->_item_meta) {
                entry = entry != nullptr ? copy_of.at(entry) : nullptr;
            }
        }
    }
    _owned_items = std::move(items);
    _cmd_records = std::move(records);
    for (std::size_t t = 0; t < _cmd_meta.size(); ++t) {
        _cmd_meta[t] = _cmd_records[t].get();
    }
    return *this;
}

KestCmdInfoPool::~KestCmdInfoPool() = default;

std::vector<const KestCmdItemMetaData*> KestCmdInfoPool::GetItemMetaData() const {
    std::vector<const KestCmdItemMetaData*> items;
    for (const auto& item : _owned_items) {
        items.push_back(item.get());
    }
    return items;
}

const KestCmdItemMetaData&
KestCmdInfoPool::AddItemMetaData(std::unique_ptr<KestCmdItemMetaData> record) {
    _owned_items.push_back(std::move(record));
    return *_owned_items.back();
}

void KestCmdInfoPool::SetCmdMetaData(std::unique_ptr<KestCmdMetaData> record) {
    const Cmd type = record->GetKey();
    _cmd_records[type] = std::move(record);
    _cmd_meta[type] = _cmd_records[type].get();
}

void KestCmdInfoPool::DefineCmdMetaData() {
    const auto text = [this](CmdItem kind, const char* value) -> const KestCmdItemMetaData& {
        return AddItemMetaData(std::make_unique<KestCmdItemMetaData>(kind, value, "", 1));
    };
    const auto define =
        [this](Cmd type, bool create_default,
               std::initializer_list<std::reference_wrapper<const KestCmdItemMetaData>> items) {
            SetCmdMetaData(std::make_unique<KestCmdMetaData>(type, items, create_default));
        };
    const std::string default_update_param =
        "__DEFAULT_" + KestCmdDefs::get_default_cmd_names()[KestCmdDefs::DV_UPDATE_PARAM];

    // Elements of a braced list are evaluated in order, so the item records are created in
    // the order listed.
    define(KestCmdDefs::CONSTRAINT, false, {text(COEFFICIENT, "1000")});
    define(KestCmdDefs::DV_UPDATE_PARAM, true, {text(VALUE, "0.25"), text(STRATEGY, "CSA")});
    define(KestCmdDefs::DRESP, false,
           {text(UPDATE_TYPE, "RECEIVED"), text(UPDATE_ID, "DEFAULT"), text(LOADCASE, "1")});
    define(KestCmdDefs::OPERATOR, false,
           {text(UPDATE_TYPE, "CALCULATED"), text(UPDATE_ID, "DEFAULT")});
    define(KestCmdDefs::OPTIMIZE, false,
           {AddItemMetaData(std::make_unique<KestCmdItemMetaData>(KestCmdItemDefs::DV_UPDATE_PARAM,
                                                                  KestCmdDefs::DV_UPDATE_PARAM,
                                                                  default_update_param))});
    define(KestCmdDefs::SCALING_CURVE, false, {text(UPDATE_ID, "DEFAULT")});
    define(KestCmdDefs::FILTER, false, {text(TARGET, "0.5")});
}
