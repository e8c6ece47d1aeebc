#include "engine/defaults/KestCmdContainerDefaultRules.h"
#include "engine/defaults/KestCmdContainerDefaults.h"
#include "engine/model/KestCmdStringItem.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using namespace KestCmdItemDefs;
using test_support::item_count;
using test_support::texts;
using namespace KestCmdContainerDefaultRules;
using KestCmdDefs::Cmd;
using Rule = KestCmdContainerDefaults::DefaultValueRule;
using Seen = std::vector<const KestCmd*>;

namespace {

// The default constructor installs the standard rules; a moved-from object holds none.
KestCmdContainerDefaults without_rules() {
    KestCmdContainerDefaults standard;
    const KestCmdContainerDefaults taken(std::move(standard));
    return standard;
}

// A rule that records the commands it is applied to.
Rule recording(Cmd type, bool create_default, Seen& seen) {
    return {
        type,
        [&seen](KestCmd& cmd, const KestCmdContainer&, const EnumMap&) { seen.push_back(&cmd); },
        create_default};
}

bool manipulator_saw_update_param = false;
void create_stop(KestCmdContainer& container, const EnumMap&) {
    manipulator_saw_update_param = container.HasCommand(KestCmdDefs::DV_UPDATE_PARAM);
    container.CreateCommand(KestCmdDefs::STOP);
}

} // namespace

// A rule sees what earlier rules made: a create_default rule makes one named command only when
// the type has none, a later one finds it; the manipulators run after all value rules.
TEST(RuleEngine, RulesRunInOrderOverEveryCommandOfTheirType) {
    const EnumMap enums = create_enum_map();
    Seen seen;
    KestCmdContainerDefaults rules = without_rules();
    rules.AddContainerManipulatorRule(&create_stop);
    rules.AddDefaultValueRule(recording(KestCmdDefs::DV_UPDATE_PARAM, true, seen));
    rules.AddDefaultValueRule(recording(KestCmdDefs::DV_UPDATE_PARAM, true, seen));
    rules.AddDefaultValueRule(recording(KestCmdDefs::STOP, false, seen));
    KestCmdContainer empty;
    manipulator_saw_update_param = false;
    rules.ApplyRules(empty, enums);
    EXPECT_TRUE(manipulator_saw_update_param);
    ASSERT_EQ(empty.GetNumberOfCommands(KestCmdDefs::DV_UPDATE_PARAM), 1u);
    const KestCmd& made = empty.GetCommand(KestCmdDefs::DV_UPDATE_PARAM, 0);
    EXPECT_EQ(item_count(made), 1u);
    EXPECT_NE(dynamic_cast<const KestCmdStringItem*>(&made.Item(ID_NAME, 0)), nullptr);
    EXPECT_EQ(made.Item(ID_NAME, 0).GetString(), "__DEFAULT_DV_UPDATE_PARAM");
    EXPECT_EQ(seen, Seen(2, &made)); // the STOP came after the value rules
    EXPECT_EQ(empty.GetNumberOfCommands(KestCmdDefs::STOP), 1u);

    seen.clear();
    KestCmdContainer two;
    const KestCmd& first = two.CreateCommand(KestCmdDefs::DV_UPDATE_PARAM);
    const KestCmd& second = two.CreateCommand(KestCmdDefs::DV_UPDATE_PARAM);
    const KestCmd& stop = two.CreateCommand(KestCmdDefs::STOP);
    rules.ApplyRules(two, enums);
    EXPECT_EQ(two.GetNumberOfCommands(KestCmdDefs::DV_UPDATE_PARAM), 2u);
    EXPECT_EQ(item_count(first), 0u);
    EXPECT_EQ(seen, (Seen{&first, &second, &first, &second, &stop}));

    // A rule that makes commands of its own type meets them in the same pass.
    KestCmdContainerDefaults growing = without_rules();
    KestCmdContainer job;
    growing.AddDefaultValueRule({KestCmdDefs::DV,
                                 [&job](KestCmd&, const KestCmdContainer& c, const EnumMap&) {
                                     if (c.GetNumberOfCommands(KestCmdDefs::DV) < 300) {
                                         job.CreateCommand(KestCmdDefs::DV);
                                     }
                                 },
                                 true});
    growing.ApplyRules(job, enums);
    EXPECT_EQ(job.GetNumberOfCommands(KestCmdDefs::DV), 300u);
}

// An empty callable throws when it meets a command, not before: the default command made for it
// stays.
TEST(RuleEngine, AnEmptyCallableThrowsWhenItMeetsACommand) {
    KestCmdContainerDefaults rules = without_rules();
    rules.AddDefaultValueRule({KestCmdDefs::OBJ_FUNC, nullptr, false});
    rules.AddDefaultValueRule({KestCmdDefs::STOP, nullptr, true});
    KestCmdContainer container;
    EXPECT_THROW(rules.ApplyRules(container, create_enum_map()), std::bad_function_call);
    EXPECT_EQ(container.GetNumberOfCommands(KestCmdDefs::STOP), 1u);
}

// (A moved-from object holding no rules is what without_rules() builds on.)
TEST(RuleEngine, MoveAssignmentTakesTheRulesAway) {
    KestCmdContainerDefaults source;
    source.AddContainerManipulatorRule(&create_stop);
    KestCmdContainerDefaults assigned = without_rules();
    assigned = std::move(source);
    KestCmdContainerDefaults& self = assigned;
    assigned = std::move(self);
    EXPECT_TRUE(std::as_const(source).GetDefaultValueRules().empty());
    EXPECT_TRUE(std::as_const(source).GetContainerManipulatorRules().empty());
    KestCmdContainer container;
    const KestCmd& constraint = container.CreateCommand(KestCmdDefs::CONSTRAINT);
    assigned.ApplyRules(container, create_enum_map());
    EXPECT_EQ(constraint.Item(COEFFICIENT, 0).GetString(), "1000");
    EXPECT_TRUE(container.HasCommand(KestCmdDefs::STOP));
}

// (The condition of Rule_AddValueIfEnumPresent is checked through the standard rules.)
TEST(DefaultRules, AddValueFillsOnlyAnAbsentKind) {
    const EnumMap enums = create_enum_map();
    KestCmdContainer container;
    KestCmd& cmd = container.CreateCommand(KestCmdDefs::DRESP);
    cmd.AddStringItem(UPDATE_ID, "");
    Rule_AddValueIfNotPresent(cmd, container, UPDATE_ID, "DEFAULT", enums);
    EXPECT_EQ(texts(cmd, UPDATE_ID), std::vector<std::string>{""});
    Rule_AddValueIfNotPresent(cmd, container, LOADCASE, "1", enums);
    EXPECT_EQ(cmd.Item(LOADCASE, 0).GetInteger(), 1);
}

TEST(DefaultRules, ReferenceRulesPickTheirTargetAndNeverAddASecondItem) {
    KestCmdContainer container;
    KestCmd& optimize = container.CreateCommand(KestCmdDefs::OPTIMIZE);
    Rule_AddReference(optimize, container, DV_UPDATE_PARAM, KestCmdDefs::DV_UPDATE_PARAM, "P");
    Rule_AddReferenceToFirstCmd(optimize, container, DV_UPDATE_PARAM, KestCmdDefs::DV_UPDATE_PARAM);
    EXPECT_FALSE(optimize.HasItem(DV_UPDATE_PARAM));

    // Only the first identifying name counts.
    KestCmd& other = container.CreateCommand(KestCmdDefs::DV_UPDATE_PARAM);
    other.AddStringItem(ID_NAME, "Q");
    other.AddStringItem(ID_NAME, "P");
    Rule_AddReference(optimize, container, DV_UPDATE_PARAM, KestCmdDefs::DV_UPDATE_PARAM, "P");
    EXPECT_FALSE(optimize.HasItem(DV_UPDATE_PARAM));

    // Of two commands with the name, the earlier-created one wins, whichever was named first.
    KestCmd& first = container.CreateCommand(KestCmdDefs::DV_UPDATE_PARAM);
    container.CreateCommand(KestCmdDefs::DV_UPDATE_PARAM).AddStringItem(ID_NAME, "P");
    first.AddStringItem(ID_NAME, "P");
    for (int run = 0; run < 2; ++run) {
        Rule_AddReference(optimize, container, DV_UPDATE_PARAM, KestCmdDefs::DV_UPDATE_PARAM, "P");
    }
    ASSERT_EQ(optimize.Items(DV_UPDATE_PARAM).size(), 1u);
    EXPECT_EQ(optimize.Item(DV_UPDATE_PARAM, 0).GetReference(), &first);

    KestCmd& plain = container.CreateCommand(KestCmdDefs::OPTIMIZE);
    for (int run = 0; run < 2; ++run) {
        Rule_AddReferenceToFirstCmd(plain, container, DV_UPDATE_PARAM,
                                    KestCmdDefs::DV_UPDATE_PARAM);
    }
    ASSERT_EQ(plain.Items(DV_UPDATE_PARAM).size(), 1u);
    EXPECT_EQ(plain.Item(DV_UPDATE_PARAM, 0).GetReference(), &other);
}

// What the reader's rules copy is Reader.RulesCompleteUpdateParametersFromTheOptimizersSettings;
// here: an existing item is overwritten only on request, in place, and only by a different text.
TEST(DefaultRules, CopyTypeOverwritesOnlyOnRequestAndOnlyWithADifferentText) {
    const EnumMap enums = create_enum_map();
    KestCmdContainer container;
    KestCmd& param = container.CreateCommand(KestCmdDefs::OPT_PARAM);
    param.AddStringItem(ID_NAME, "R");
    param.AddAutoItem(STRATEGY, "CSA", enums);
    container.CreateCommand(KestCmdDefs::OPTIMIZE).AddAutoItem(OPT_PARAM, "R", enums);
    container.CreateReferences();
    KestCmd& dst = container.CreateCommand(KestCmdDefs::DV_UPDATE_PARAM);
    dst.AddAutoItem(STRATEGY, "MMA", enums);
    dst.AddStringItem(STRATEGY, "SECOND");
    const auto copy = [&](bool replace) {
        Rule_CopyTypeToCmd(dst, container, KestCmdDefs::OPTIMIZE, OPT_PARAM, STRATEGY, DT_STRING,
                           enums, replace);
    };
    copy(false);
    EXPECT_EQ(texts(dst, STRATEGY), (std::vector<std::string>{"MMA", "SECOND"}));
    copy(true);
    EXPECT_EQ(texts(dst, STRATEGY), (std::vector<std::string>{"CSA", "SECOND"}));
    EXPECT_EQ(dst.Item(STRATEGY, 0).GetEnum(), EV_CSA); // typed afresh from the text
    const KestCmdItem* copied = &dst.Item(STRATEGY, 0);
    copy(true);
    EXPECT_EQ(&dst.Item(STRATEGY, 0), copied);
}
