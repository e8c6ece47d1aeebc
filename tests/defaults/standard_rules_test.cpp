#include "engine/container/KestCmdContainerIterator.h"
#include "engine/defaults/KestCmdContainerDefaults.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using namespace KestCmdItemDefs;
using KestCmdDefs::Cmd;
using test_support::texts;

namespace {

// The number of commands and of items in a whole container.
std::pair<std::size_t, std::size_t> size_of(const KestCmdContainer& container) {
    std::pair<std::size_t, std::size_t> n{0, 0};
    for (const KestCmd& cmd : container) {
        ++n.first;
        for (int k = 0; k < item_kind_count; ++k) {
            n.second += cmd.Items(static_cast<CmdItem>(k)).size();
        }
    }
    return n;
}

} // namespace

TEST(StandardRules, TwelveRulesInAFixedOrder) {
    const KestCmdContainerDefaults defaults;
    const std::vector<std::pair<Cmd, bool>> expected{
        {KestCmdDefs::DRESP, false},          {KestCmdDefs::DRESP, false},
        {KestCmdDefs::DRESP, false},          {KestCmdDefs::DRESP, false},
        {KestCmdDefs::OPERATOR, false},       {KestCmdDefs::OPERATOR, false},
        {KestCmdDefs::CONSTRAINT, false},     {KestCmdDefs::OPTIMIZE, false},
        {KestCmdDefs::DV_UPDATE_PARAM, true}, {KestCmdDefs::DV_UPDATE_PARAM, true},
        {KestCmdDefs::SCALING_CURVE, false},  {KestCmdDefs::FILTER, false}};
    std::vector<std::pair<Cmd, bool>> actual;
    for (const auto& rule : defaults.GetDefaultValueRules()) {
        actual.emplace_back(rule.cmd, rule.create_default);
    }
    EXPECT_EQ(actual, expected);
    EXPECT_TRUE(defaults.GetContainerManipulatorRules().empty());
}

TEST(StandardRules, FillMissingValuesAndKeepGivenOnes) {
    const EnumMap enums = create_enum_map();
    KestCmdContainer job;
    KestCmd& volume = job.CreateCommand(KestCmdDefs::DRESP);
    volume.AddAutoItem(TYPE, "VOLUME", enums);
    KestCmd& other = job.CreateCommand(KestCmdDefs::DRESP);
    other.AddAutoItem(TYPE, "DISP_ABS", enums);
    KestCmd& given = job.CreateCommand(KestCmdDefs::DRESP);
    given.AddAutoItem(TYPE, "VOLUME", enums);
    given.AddAutoItem(UPDATE_TYPE, "RECEIVED", enums);
    given.AddAutoItem(LOADCASE, "7", enums);
    const KestCmd& op = job.CreateCommand(KestCmdDefs::OPERATOR);
    const KestCmd& constraint = job.CreateCommand(KestCmdDefs::CONSTRAINT);
    const KestCmd& filter = job.CreateCommand(KestCmdDefs::FILTER);
    const KestCmd& curve = job.CreateCommand(KestCmdDefs::SCALING_CURVE);
    KestCmdContainerDefaults().ApplyRules(job, enums);

    const struct {
        const KestCmd& cmd;
        CmdItem kind;
        std::vector<std::string> expected;
    } cases[]{
        {volume, UPDATE_TYPE, {"CALCULATED"}},
        {volume, UPDATE_ID, {"DEFAULT"}},
        {volume, LOADCASE, {"1"}},
        {other, UPDATE_TYPE, {"RECEIVED"}},
        {given, UPDATE_TYPE, {"RECEIVED"}},
        {given, LOADCASE, {"7"}},
        {op, UPDATE_TYPE, {"CALCULATED"}},
        {op, UPDATE_ID, {"DEFAULT"}},
        {constraint, COEFFICIENT, {"1000"}},
        {filter, TARGET, {"0.5"}},
        {curve, UPDATE_ID, {"DEFAULT"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(texts(c.cmd, c.kind), c.expected)
            << KestCmdDefs::get_default_cmd_names()[c.cmd.GetType()] << " "
            << default_item_names[c.kind];
    }
    // Values are added as typed items.
    EXPECT_EQ(volume.Item(UPDATE_TYPE, 0).GetEnum(), EV_CALCULATED);
    EXPECT_EQ(constraint.Item(COEFFICIENT, 0).GetReal(), 1000.0);
}

TEST(StandardRules, DefaultUpdateParameterIsReferencedFromTheSecondRunOn) {
    const EnumMap enums = create_enum_map();
    const KestCmdContainerDefaults defaults;
    KestCmdContainer job;
    const KestCmd& optimize = job.CreateCommand(KestCmdDefs::OPTIMIZE);

    defaults.ApplyRules(job, enums);
    ASSERT_EQ(job.GetNumberOfCommands(KestCmdDefs::DV_UPDATE_PARAM), 1u);
    const KestCmd& param = job.GetCommand(KestCmdDefs::DV_UPDATE_PARAM, 0);
    EXPECT_EQ(texts(param, ID_NAME), std::vector<std::string>{"__DEFAULT_DV_UPDATE_PARAM"});
    EXPECT_EQ(texts(param, VALUE), std::vector<std::string>{"0.25"});
    EXPECT_EQ(texts(param, STRATEGY), std::vector<std::string>{"CSA"});
    // The reference rule runs before the command exists.
    EXPECT_FALSE(optimize.HasItem(DV_UPDATE_PARAM));

    defaults.ApplyRules(job, enums);
    ASSERT_EQ(optimize.Items(DV_UPDATE_PARAM).size(), 1u);
    EXPECT_EQ(optimize.Item(DV_UPDATE_PARAM, 0).GetReference(), &param);

    const auto before = size_of(job);
    defaults.ApplyRules(job, enums);
    EXPECT_EQ(size_of(job), before);
}

TEST(StandardRules, OwnUpdateParameterIsCompletedButNotReferenced) {
    const EnumMap enums = create_enum_map();
    KestCmdContainer job;
    const KestCmd& optimize = job.CreateCommand(KestCmdDefs::OPTIMIZE);
    KestCmd& own = job.CreateCommand(KestCmdDefs::DV_UPDATE_PARAM);
    own.AddStringItem(ID_NAME, "P");
    KestCmdContainerDefaults().ApplyRules(job, enums);
    EXPECT_EQ(job.GetNumberOfCommands(KestCmdDefs::DV_UPDATE_PARAM), 1u);
    EXPECT_EQ(texts(own, ID_NAME), std::vector<std::string>{"P"});
    EXPECT_EQ(texts(own, VALUE), std::vector<std::string>{"0.25"});
    EXPECT_EQ(texts(own, STRATEGY), std::vector<std::string>{"CSA"});
    EXPECT_FALSE(optimize.HasItem(DV_UPDATE_PARAM));
}
