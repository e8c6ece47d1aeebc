#include "engine/io/KestCmdIo.h"

#include "utilities/KestText.h"

using namespace KestCmdItemDefs;

KestCmdIoConfig::KestCmdIoConfig(AddValues values) {
    if (values == DEFAULT_VALUES) {
        KestCmdIo::prepare_cmd_settings_with_defaults(*this);
    }
}

KestCmdIoConfig::KestCmdIoConfig(const KestCmdIoConfig& other) = default;

KestCmdIoConfig::KestCmdIoConfig(KestCmdIoConfig&& other) noexcept : KestCmdIoConfig(NO_VALUES) {
    *this = std::move(other);
}

KestCmdIoConfig& KestCmdIoConfig::operator=(const KestCmdIoConfig& other) = default;

KestCmdIoConfig& KestCmdIoConfig::operator=(KestCmdIoConfig&& other) noexcept {
    if (this != &other) {
        cmd_names = std::move(other.cmd_names);
        item_names = std::move(other.item_names);
        enum_map = std::move(other.enum_map);
        default_value_rules = std::move(other.default_value_rules);
        container_manipulator_rules = std::move(other.container_manipulator_rules);
        threads = other.threads;
        bytes_per_thread = other.bytes_per_thread;
        other.cmd_names.clear();
        other.item_names.clear();
        other.enum_map.clear();
        other.default_value_rules.clear();
        other.container_manipulator_rules.clear();
    }
    return *this;
}

KestCmdIoConfig::~KestCmdIoConfig() = default;

KestCmdIoAdapter& KestCmdIoAdapter::operator=(const KestCmdIoAdapter&) {
    return *this;
}
KestCmdIoAdapter& KestCmdIoAdapter::operator=(KestCmdIoAdapter&&) noexcept {
    return *this;
}

namespace KestCmdIo {

void prepare_cmd_settings_with_defaults(KestCmdIoConfig& config) {
    const auto& cmd_names = KestCmdDefs::get_default_cmd_names();
    config.cmd_names.reserve(config.cmd_names.size() + cmd_names.size());
    for (int i = 0; i < KestCmdDefs::cmd_type_count; ++i) {
        config.cmd_names.emplace_back(static_cast<KestCmdDefs::Cmd>(i), cmd_names[i]);
    }
    config.item_names.reserve(config.item_names.size() + default_item_names.size());
    for (int i = 0; i < item_kind_count; ++i) {
        config.item_names.emplace_back(static_cast<CmdItem>(i), default_item_names[i]);
    }
    config.enum_map = create_enum_map();
}

void cmd_value_processor(CmdItem item, KestCmd& command, const std::string& value,
                         const EnumMap& enums) {
    command.AddAutoItem(item, value, enums);
}

void cmd_value_to_upper_processor(CmdItem item, KestCmd& command, const std::string& value,
                                  const EnumMap& enums) {
    command.AddAutoItem(item, KestText::to_upper_copy(value), enums);
}

} // namespace KestCmdIo
