// The standard rule set: one rule checking volume responses, then one rule per item record of
// the meta data pool.
#include "engine/defaults/KestCmdContainerDefaultRules.h"
#include "engine/defaults/KestCmdContainerDefaults.h"
#include "engine/metadata/KestCmdInfoPool.h"

using namespace KestCmdItemDefs;
using namespace KestCmdContainerDefaultRules;

KestCmdContainerDefaults::KestCmdContainerDefaults() {
    // A volume response is computed, not received.
    _value_rules.push_back(
        {KestCmdDefs::DRESP,
         [](KestCmd& cmd, const KestCmdContainer& container, const EnumMap& enums) {
             Rule_AddValueIfEnumPresent(cmd, container, TYPE, EV_VOLUME, UPDATE_TYPE, "CALCULATED",
                                        enums);
         },
         false});

    const KestCmdInfoPool pool;
    for (const KestCmdMetaData* record : pool.GetMetaData()) {
        if (record == nullptr) {
            continue;
        }
        for (const KestCmdItemMetaData* item : record->GetMetaData()) {
            if (item == nullptr) {
                continue;
            }
            const CmdItem kind = item->item_kind;
            const std::string value = item->default_value;
            if (item->data_type == DT_REFERENCE && !item->ref_cmds.empty()) {
                const KestCmdDefs::Cmd target = item->ref_cmds.front();
                _value_rules.push_back(
                    {record->GetKey(),
                     [kind, target, value](KestCmd& cmd, const KestCmdContainer& container,
                                           const EnumMap&) {
                         Rule_AddReference(cmd, container, kind, target, value);
                     },
                     record->GetCreateDefault()});
            } else if (!value.empty()) {
                _value_rules.push_back(
                    {record->GetKey(),
                     [kind, value](KestCmd& cmd, const KestCmdContainer& container,
                                   const EnumMap& enums) {
                         Rule_AddValueIfNotPresent(cmd, container, kind, value, enums);
                     },
                     record->GetCreateDefault()});
            }
        }
    }
}
