// The rules the parameter-file reader completes a job with: the standard rules, then those that
// fill DV and DV_UPDATE_PARAM commands from the OPT_PARAM that the first OPTIMIZE names.
#include "engine/defaults/KestCmdContainerDefaultRules.h"
#include "engine/defaults/KestCmdContainerDefaults.h"

using namespace KestCmdItemDefs;
using namespace KestCmdContainerDefaultRules;
using KestCmdDefs::Cmd;

namespace {

using Rule = KestCmdContainerDefaults::DefaultValueRule;

// A rule that copies `from` of the OPT_PARAM command the first OPTIMIZE names into `to`.
Rule copy_from_opt_param(Cmd cmd, bool create_default, CmdItem from, CmdItem to, DataType data_type,
                         bool replace) {
    return {cmd,
            [=](KestCmd& target, const KestCmdContainer& container, const EnumMap& enums) {
                Rule_CopyTypeToCmd(target, container, KestCmdDefs::OPTIMIZE,
                                   KestCmdItemDefs::OPT_PARAM, from, to, data_type, enums, replace);
            },
            create_default};
}

} // namespace

KestCmdContainerDefaults reader_default_rules() {
    KestCmdContainerDefaults defaults;
    const Cmd update = KestCmdDefs::DV_UPDATE_PARAM;
    defaults.AddDefaultValueRule(
        copy_from_opt_param(KestCmdDefs::DV, false, VALUE, VALUE, DT_REAL, false));
    defaults.AddDefaultValueRule(
        copy_from_opt_param(update, true, STRATEGY, STRATEGY, DT_ENUM, true));
    defaults.AddDefaultValueRule(copy_from_opt_param(update, true, MIN, MIN, DT_REAL, true));
    defaults.AddDefaultValueRule(copy_from_opt_param(update, true, MAX, MAX, DT_REAL, true));
    defaults.AddDefaultValueRule(
        copy_from_opt_param(update, true, KestCmdItemDefs::DV_UPDATE_PARAM, VALUE, DT_REAL, true));
    defaults.AddDefaultValueRule(
        copy_from_opt_param(update, true, UPDATE_TYPE, UPDATE_TYPE, DT_ENUM, true));
    defaults.AddDefaultValueRule(copy_from_opt_param(update, true, LOWER, LOWER, DT_ENUM, true));
    defaults.AddDefaultValueRule(copy_from_opt_param(update, true, UPPER, UPPER, DT_ENUM, true));
    defaults.AddDefaultValueRule(
        {KestCmdDefs::OPTIMIZE,
         [](KestCmd& cmd, const KestCmdContainer& container, const EnumMap&) {
             Rule_AddReferenceToFirstCmd(cmd, container, KestCmdItemDefs::DV_UPDATE_PARAM,
                                         KestCmdDefs::DV_UPDATE_PARAM);
         },
         false});
    return defaults;
}
