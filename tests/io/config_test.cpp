#include "engine/io/KestCmdIo.h"
#include "engine/io/KestCmdIoConfig.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using namespace KestCmdItemDefs;

namespace {

bool empty(const KestCmdIoConfig& config) {
    return config.cmd_names.empty() && config.item_names.empty() && config.enum_map.empty() &&
           config.default_value_rules.empty() && config.container_manipulator_rules.empty();
}

// Checks that `config` holds the standard keyword map and the default pairs `copies` times
// over, behind `front` pairs of its own.
void expect_defaults(const KestCmdIoConfig& config, std::size_t copies, std::size_t front = 0) {
    EXPECT_EQ(config.enum_map, create_enum_map());
    const auto& cmd_names = KestCmdDefs::get_default_cmd_names();
    ASSERT_EQ(config.cmd_names.size(), front + copies * cmd_names.size());
    ASSERT_EQ(config.item_names.size(), front + copies * default_item_names.size());
    for (std::size_t i = front; i < config.cmd_names.size(); ++i) {
        const std::size_t type = (i - front) % cmd_names.size();
        EXPECT_EQ(config.cmd_names[i], std::make_pair(KestCmdDefs::Cmd(type), cmd_names[type]));
    }
    for (std::size_t i = front; i < config.item_names.size(); ++i) {
        const std::size_t kind = (i - front) % default_item_names.size();
        EXPECT_EQ(config.item_names[i], std::make_pair(CmdItem(kind), default_item_names[kind]));
    }
}

void create_stop(KestCmdContainer& container, const EnumMap&) {
    container.CreateCommand(KestCmdDefs::STOP);
}

} // namespace

TEST(IoConfig, PrepareAppendsTheDefaultsBehindExistingPairsAndReplacesTheEnumMap) {
    EXPECT_TRUE(empty(KestCmdIoConfig(KestCmdIoConfig::NO_VALUES)));
    const KestCmdIoConfig standard;
    expect_defaults(standard, 1);
    EXPECT_TRUE(standard.default_value_rules.empty() &&
                standard.container_manipulator_rules.empty());

    KestCmdIoConfig twice;
    twice.enum_map["EXTRA"] = EV_UNSET;
    twice.enum_map.erase("YES");
    KestCmdIo::prepare_cmd_settings_with_defaults(twice);
    expect_defaults(twice, 2);

    // A caller's alias stays ahead of the defaults, so that a reader finds it first; the rules
    // are left as they are.
    KestCmdIoConfig aliased(KestCmdIoConfig::NO_VALUES);
    aliased.cmd_names.emplace_back(KestCmdDefs::DV, "DESIGN");
    aliased.item_names.emplace_back(ID_NAME, "ALIAS");
    aliased.container_manipulator_rules.push_back(&create_stop);
    KestCmdIo::prepare_cmd_settings_with_defaults(aliased);
    EXPECT_EQ(aliased.cmd_names.front(), std::make_pair(KestCmdDefs::DV, std::string("DESIGN")));
    EXPECT_EQ(aliased.item_names.front(), std::make_pair(ID_NAME, std::string("ALIAS")));
    expect_defaults(aliased, 1, 1);
    EXPECT_EQ(aliased.container_manipulator_rules.size(), 1u);
}

TEST(IoConfig, MovesEmptyTheSource) {
    KestCmdIoConfig source;
    source.default_value_rules.push_back({KestCmdDefs::DV, nullptr, false});
    source.container_manipulator_rules.push_back(&create_stop);
    KestCmdIoConfig moved(std::move(source));
    EXPECT_TRUE(empty(source));
    KestCmdIoConfig assigned;
    assigned = std::move(moved);
    EXPECT_TRUE(empty(moved));
    KestCmdIoConfig& self = assigned;
    assigned = std::move(self);
    expect_defaults(assigned, 1);
    EXPECT_EQ(assigned.default_value_rules.size(), 1u);
    EXPECT_EQ(assigned.container_manipulator_rules.size(), 1u);
}
