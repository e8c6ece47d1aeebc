#include "engine/io/KestCmdIo.h"
#include "engine/io/KestCmdIoConfig.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

using namespace KestCmdItemDefs;
using test_support::texts;
using namespace std::string_literals;

namespace {

void expect_empty(const KestCmdIoConfig& config) {
    EXPECT_TRUE(config.cmd_names.empty());
    EXPECT_TRUE(config.item_names.empty());
    EXPECT_TRUE(config.enum_map.empty());
    EXPECT_TRUE(config.default_value_rules.empty());
    EXPECT_TRUE(config.container_manipulator_rules.empty());
}

// Checks that `config` holds the default pairs `copies` times over, behind `front` own pairs.
void expect_default_names(const KestCmdIoConfig& config, std::size_t copies,
                          std::size_t front = 0) {
    ASSERT_EQ(config.cmd_names.size(), front + copies * KestCmdDefs::cmd_type_count);
    ASSERT_EQ(config.item_names.size(), front + copies * item_kind_count);
    for (std::size_t i = front; i < config.cmd_names.size(); ++i) {
        const int type = static_cast<int>((i - front) % KestCmdDefs::cmd_type_count);
        EXPECT_EQ(config.cmd_names[i].first, type) << i;
        EXPECT_EQ(config.cmd_names[i].second, KestCmdDefs::get_default_cmd_names()[type]) << i;
    }
    for (std::size_t i = front; i < config.item_names.size(); ++i) {
        const int kind = static_cast<int>((i - front) % item_kind_count);
        EXPECT_EQ(config.item_names[i].first, kind) << i;
        EXPECT_EQ(config.item_names[i].second, default_item_names[kind]) << i;
    }
}

void create_stop(KestCmdContainer& container, const EnumMap&) {
    container.CreateCommand(KestCmdDefs::STOP);
}

} // namespace

TEST(IoConfig, NoValuesIsEmptyAndDefaultHoldsTheStandardNamesAndEnumMap) {
    expect_empty(KestCmdIoConfig(KestCmdIoConfig::NO_VALUES));
    const KestCmdIoConfig config;
    expect_default_names(config, 1);
    // The placeholder names are listed like all others.
    EXPECT_EQ(config.cmd_names.back().second + config.item_names.back().second,
              "CMD_PLACEHOLDERPLACEHOLDER");
    EXPECT_EQ(config.enum_map.size(), 98u);
    EXPECT_EQ(config.enum_map, create_enum_map());
    EXPECT_TRUE(config.default_value_rules.empty());
    EXPECT_TRUE(config.container_manipulator_rules.empty());
}

TEST(IoConfig, PrepareAppendsBehindExistingPairsAndReplacesTheEnumMap) {
    KestCmdIoConfig twice;
    twice.enum_map["EXTRA"] = EV_UNSET;
    twice.enum_map.erase("YES");
    KestCmdIo::prepare_cmd_settings_with_defaults(twice);
    expect_default_names(twice, 2);
    EXPECT_EQ(twice.enum_map, create_enum_map());

    // A caller's alias stays ahead of the defaults, so that a reader finds it first; the rules
    // are left as they are.
    KestCmdIoConfig aliased(KestCmdIoConfig::NO_VALUES);
    aliased.cmd_names.emplace_back(KestCmdDefs::DV, "DESIGN");
    aliased.item_names.emplace_back(ID_NAME, "ALIAS");
    aliased.container_manipulator_rules.push_back(&create_stop);
    KestCmdIo::prepare_cmd_settings_with_defaults(aliased);
    EXPECT_EQ(aliased.cmd_names.front(), std::make_pair(KestCmdDefs::DV, std::string("DESIGN")));
    EXPECT_EQ(aliased.item_names.front(), std::make_pair(ID_NAME, std::string("ALIAS")));
    expect_default_names(aliased, 1, 1);
    EXPECT_EQ(aliased.container_manipulator_rules.size(), 1u);
    EXPECT_TRUE(aliased.default_value_rules.empty());
}

TEST(IoConfig, ValueProcessorsAppendOneAutoItemPerCall) {
    const EnumMap enums = create_enum_map();
    KestCmd cmd(KestCmdDefs::DRESP);
    cmd.AddStringItem(TYPE, "kept");
    KestCmdIo::cmd_value_processor(TYPE, cmd, "abc_1", enums);
    KestCmdIo::cmd_value_processor(TYPE, cmd, "2.5", enums);
    EXPECT_EQ(texts(cmd, TYPE), (std::vector<std::string>{"kept", "abc_1", "2.5"}));
    EXPECT_EQ(cmd.Item(TYPE, 2).GetReal(), 2.5);

    const std::string value = "volume_9";
    KestCmdIo::cmd_value_to_upper_processor(TYPE, cmd, value, enums);
    KestCmdIo::cmd_value_to_upper_processor(TYPE, cmd, "max", enums);
    EXPECT_EQ(value, "volume_9");
    EXPECT_EQ(texts(cmd, TYPE),
              (std::vector<std::string>{"kept", "abc_1", "2.5", "VOLUME_9", "MAX"}));
    // The upper-cased text is what gets typed, so it finds its keyword.
    EXPECT_EQ(cmd.Item(TYPE, 4).GetEnum(), enums.at("MAX"));

    // Bytes past an embedded zero byte are kept as they are, and the item keeps the whole text.
    KestCmdIo::cmd_value_to_upper_processor(VALUE, cmd, "ab\0cd"s, enums);
    EXPECT_EQ(cmd.Item(VALUE, 0).GetString(), "AB\0cd"s);
}

TEST(IoConfig, CopiesAreDeepAndMovesEmptyTheSource) {
    auto source = std::make_unique<KestCmdIoConfig>();
    // The rule captures heap state of its own, which the copy must own too.
    const std::string name = std::string(64, 'n') + "_named_by_rule";
    source->default_value_rules.push_back(
        {KestCmdDefs::DV,
         [name](KestCmd& cmd, const KestCmdContainer&, const EnumMap&) {
             cmd.AddStringItem(ID_NAME, name);
         },
         false});
    source->container_manipulator_rules.push_back(&create_stop);
    const KestCmdIoConfig copy(*source);
    KestCmdIoConfig assigned(KestCmdIoConfig::NO_VALUES);
    assigned = *source;
    source.reset();

    KestCmdContainer container;
    for (const KestCmdIoConfig* config : {&copy, &std::as_const(assigned)}) {
        expect_default_names(*config, 1);
        EXPECT_EQ(config->enum_map, create_enum_map());
        ASSERT_EQ(config->default_value_rules.size(), 1u);
        EXPECT_EQ(config->container_manipulator_rules, std::vector{&create_stop});
        KestCmd cmd(KestCmdDefs::DV);
        config->default_value_rules[0].apply(cmd, container, config->enum_map);
        EXPECT_EQ(texts(cmd, ID_NAME), std::vector<std::string>{name});
    }

    KestCmdIoConfig moved(std::move(assigned));
    expect_empty(assigned);
    KestCmdIoConfig move_assigned(KestCmdIoConfig::NO_VALUES);
    move_assigned = std::move(moved);
    expect_empty(moved);
    EXPECT_EQ(move_assigned.cmd_names.size() + move_assigned.enum_map.size(), 21u + 98u);
    EXPECT_EQ(move_assigned.default_value_rules.size(), 1u);
}
