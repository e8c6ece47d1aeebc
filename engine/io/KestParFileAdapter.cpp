#include "engine/io/KestParFileAdapter.h"

#include "engine/defaults/KestCmdContainerDefaultRules.h"
#include "engine/io/KestParKeys.h"
#include "engine/io/detail/KestParItemProcessors.h"
#include "utilities/KestFileUtil.h"
#include "utilities/ZUL_Exception.h"
#include "utilities/detail/KestParScanner.h"

#include <stdexcept>

using namespace KestCmdItemDefs;
using namespace KestParItemProcessors;
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

KestParFileAdapter::KestParFileAdapter(const std::wstring& file_name, const KestCmdIoConfig& config)
    : _file_name(file_name), _enum_map(config.enum_map) {
    for (const auto& [type, name] : config.cmd_names) {
        _cmd_name_map.emplace(name, type);
    }
    _implicit_references.emplace(KestCmdDefs::STOP,
                                 ImplicitReference{KestCmdDefs::OPTIMIZE, KestCmdItemDefs::STOP});
    _reverse_references.emplace(
        KestCmdDefs::OPT_PARAM,
        ReverseReference{KestCmdItemDefs::OPT_PARAM, KestCmdDefs::OPTIMIZE, REFERENCE});
    for (const auto& [kind, name] : config.item_names) {
        if (_item_processors.contains(name)) {
            continue;
        }
        const CmdItem bound = kind;
        if (kind == KestCmdItemDefs::FILE || kind == ADD_FILE) {
            _item_processors.emplace(
                name, [bound](KestCmd& cmd, const KestParSubCommand& line, const EnumMap& enums) {
                    process_as_given(bound, cmd, line, enums);
                });
        } else if (kind == REFERENCE) {
            _item_processors.emplace(name, &process_reference);
        } else {
            _item_processors.emplace(
                name, [bound](KestCmd& cmd, const KestParSubCommand& line, const EnumMap& enums) {
                    process_upper(bound, cmd, line, enums);
                });
        }
    }
    // These keys act whatever the configuration says.
    _item_processors.assign(KestParKeys::le_value, &process_le_value);
    _item_processors.assign(KestParKeys::ge_value, &process_ge_value);
    _item_processors.assign(KestParKeys::list_begin, &process_list);

    const Cmd update = KestCmdDefs::DV_UPDATE_PARAM;
    _defaults.AddDefaultValueRule(
        copy_from_opt_param(KestCmdDefs::DV, false, VALUE, VALUE, DT_REAL, false));
    _defaults.AddDefaultValueRule(
        copy_from_opt_param(update, true, STRATEGY, STRATEGY, DT_ENUM, true));
    _defaults.AddDefaultValueRule(copy_from_opt_param(update, true, MIN, MIN, DT_REAL, true));
    _defaults.AddDefaultValueRule(copy_from_opt_param(update, true, MAX, MAX, DT_REAL, true));
    _defaults.AddDefaultValueRule(
        copy_from_opt_param(update, true, KestCmdItemDefs::DV_UPDATE_PARAM, VALUE, DT_REAL, true));
    _defaults.AddDefaultValueRule(
        copy_from_opt_param(update, true, UPDATE_TYPE, UPDATE_TYPE, DT_ENUM, true));
    _defaults.AddDefaultValueRule(copy_from_opt_param(update, true, LOWER, LOWER, DT_ENUM, true));
    _defaults.AddDefaultValueRule(copy_from_opt_param(update, true, UPPER, UPPER, DT_ENUM, true));
    _defaults.AddDefaultValueRule(
        {KestCmdDefs::OPTIMIZE,
         [](KestCmd& cmd, const KestCmdContainer& container, const EnumMap&) {
             Rule_AddReferenceToFirstCmd(cmd, container, KestCmdItemDefs::DV_UPDATE_PARAM,
                                         KestCmdDefs::DV_UPDATE_PARAM);
         },
         false});
    for (const Rule& rule : config.default_value_rules) {
        _defaults.AddDefaultValueRule(rule);
    }
    for (KestCmdContainerDefaults::ContainerManipulator manipulator :
         config.container_manipulator_rules) {
        _defaults.AddContainerManipulatorRule(manipulator);
    }

    _cmd_creators.emplace(KestCmdDefs::DRESP, Creator{&create_dresp_cmd, true});
    _cmd_creators.emplace(KestCmdDefs::DV, Creator{&create_dv_cmd, false});
}

KestParFileAdapter::KestParFileAdapter(const KestParFileAdapter& other) = default;
KestParFileAdapter::KestParFileAdapter(KestParFileAdapter&& other) noexcept = default;
KestParFileAdapter::~KestParFileAdapter() = default;

void KestParFileAdapter::Parse(KestCmdContainer& container) const {
    {
        // Line by line over the text read in one go: no more than one line's tokens are held
        // (a whole block's only where the command depends on its lines), and the text goes
        // before completion, which needs memory of its own.
        const std::string text = KestFileUtil::read_all(_file_name);
        KestParScanner scanner(text, false); // the processors split what they need
        KestParCommand block;
        KestParSubCommand line;
        while (scanner.NextKeyword(block)) {
            const Cmd type = MatchCmdName(block.keyword);
            const auto found = _cmd_creators.find(type);
            if (found != _cmd_creators.end() && found->second.reads_lines) {
                scanner.ReadLines(block);
                ReadBlock(block, type, container);
                continue;
            }
            KestCmd& cmd = CreateCmd(block.keyword, type, block.subCommands, container, _enum_map);
            while (scanner.NextItem(line)) {
                ReadLine(line, cmd);
            }
        }
    }
    Complete(container);
}

void KestParFileAdapter::Complete(KestCmdContainer& container) const {
    ResolveImplicitReferences(container);
    ResolveReverseReferences(container);
    container.CreateReferences();
    _defaults.ApplyRules(container, _enum_map);
}

void KestParFileAdapter::Read(const KestParFile& file, KestCmdContainer& container,
                              std::vector<KestCmd*>* created) const {
    for (const KestParCommand& block : file) {
        KestCmd& cmd = ReadBlock(block, MatchCmdName(block.keyword), container);
        if (created != nullptr) {
            created->push_back(&cmd);
        }
    }
}

KestCmd& KestParFileAdapter::ReadBlock(const KestParCommand& block, Cmd type,
                                       KestCmdContainer& container) const {
    KestCmd& cmd = CreateCmd(block.keyword, type, block.subCommands, container, _enum_map);
    for (const KestParSubCommand& line : block.subCommands) {
        ReadLine(line, cmd);
    }
    return cmd;
}

void KestParFileAdapter::ReadLine(const KestParSubCommand& line, KestCmd& cmd) const {
    if (line.kind == 0) {
        return;
    }
    try {
        MatchCmdItemName(line.key)(cmd, line, _enum_map);
    } catch (const std::length_error& too_long) {
        // A value too large to hold (an integer list of billions of scattered values): say
        // where it stands instead of failing without a trace.
        throw ZUL_Failure(ZUL_Code(), "[KestParFileAdapter] ",
                          KestFileUtil::display_path(_file_name) + ":" + std::to_string(line.line) +
                              ": " + too_long.what());
    }
}

Cmd KestParFileAdapter::MatchCmdName(const std::string& keyword) const {
    const Cmd* found = _cmd_name_map.find(keyword);
    return found != nullptr ? *found : KestCmdDefs::CMD_PLACEHOLDER;
}

const KestParFileAdapter::ItemProcessor&
KestParFileAdapter::MatchCmdItemName(const std::string& key) const {
    static const ItemProcessor unmatched(&process_unmatched);
    const ItemProcessor* found = _item_processors.find(key);
    return found != nullptr ? *found : unmatched;
}

KestCmd& KestParFileAdapter::CreateCmd(const std::string& keyword, Cmd type,
                                       const std::vector<KestParSubCommand>& lines,
                                       KestCmdContainer& container, const EnumMap& enums) const {
    const auto found = _cmd_creators.find(type);
    const CmdCreator creator =
        found != _cmd_creators.end() ? found->second.create : &create_plain_cmd;
    return creator(keyword, type, lines, container, enums);
}
