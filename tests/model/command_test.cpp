#include "engine/model/KestCmd.h"
#include "engine/model/KestCmdItem_Util.h"
#include "engine/model/KestCmdReferenceItem.h"
#include "engine/model/KestCmdStringItem.h"
#include "engine/model/KestCmd_Util.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

using namespace KestCmdItemDefs;
using test_support::item_count;
using test_support::texts;

TEST(Command, EraseKeepsTheOrderOfTheRest) {
    KestCmd cmd(KestCmdDefs::DRESP);
    for (const char* t : {"a", "b", "c"}) {
        cmd.AddStringItem(VALUE, t);
    }
    cmd.Erase(VALUE, cmd.begin(VALUE) + 1);
    EXPECT_EQ(texts(cmd, VALUE), (std::vector<std::string>{"a", "c"}));
    cmd.Erase(VALUE, cmd.begin(VALUE), cmd.begin(VALUE));
    EXPECT_EQ(cmd.Items(VALUE).size(), 2u);
    cmd.Erase(VALUE, cmd.begin(VALUE), cmd.end(VALUE));
    EXPECT_FALSE(cmd.HasItem(VALUE));
}

TEST(Command, CopyItemsFromIsDeepButSharesReferencedCommands) {
    const EnumMap enums = create_enum_map();
    KestCmd target(KestCmdDefs::DRESP);
    target.AddStringItem(ID_NAME, "A");
    target.AddStringItem(ID_NAME, "B");

    KestCmd source(KestCmdDefs::CONSTRAINT);
    source.AddAutoItem(VALUE, "0.5", enums);
    source.AddItem(DRESP, target);
    KestCmd copy(KestCmdDefs::OBJ_FUNC);
    copy.AddStringItem(TYPE, "gone");
    copy.CopyItemsFrom(source);

    EXPECT_EQ(copy.GetType(), KestCmdDefs::OBJ_FUNC);
    EXPECT_FALSE(copy.HasItem(TYPE));
    EXPECT_NE(&copy.Item(VALUE, 0), &source.Item(VALUE, 0));
    EXPECT_EQ(copy.Item(VALUE, 0).GetReal(), 0.5);
    EXPECT_EQ(copy.Item(DRESP, 0).GetReference(), &target);
    // A reference prints as the first identifying name of its target.
    EXPECT_EQ(copy.Item(DRESP, 0).GetString(), "A");

    copy.CopyItemsFrom(copy);
    EXPECT_EQ(copy.Item(VALUE, 0).GetReal(), 0.5);

    copy.CopyItemsFrom(KestCmd(KestCmdDefs::DV));
    EXPECT_EQ(item_count(copy), 0u);
    EXPECT_EQ(copy.GetType(), KestCmdDefs::OBJ_FUNC);
}

TEST(Command, SimpleItemsAnswerOnlyTheirOwnReadings) {
    KestCmd other(KestCmdDefs::DRESP);
    const KestCmdReferenceItem ref(other);
    EXPECT_TRUE(KestCmdItem_Util::has_item_reference_of_type(ref, KestCmdDefs::DRESP));
    EXPECT_FALSE(KestCmdItem_Util::has_item_reference_of_type(ref, KestCmdDefs::DV));

    const KestCmdStringItem text("12");
    EXPECT_EQ(text.GetInteger(), 0);
    EXPECT_EQ(text.GetEnum(), EV_UNSET);
    EXPECT_EQ(text.GetVector3d(), (KestMatrix<3, 1, double>{}));
    EXPECT_TRUE(text.GetList().empty() && text.GetLumoList().empty());
    for (int t = -1; t <= data_type_count; ++t) {
        const auto type = static_cast<DataType>(t);
        EXPECT_EQ(text.HasType(type), type == DT_STRING) << t;
        EXPECT_EQ(ref.HasType(type), type == DT_REFERENCE) << t;
    }
    EXPECT_TRUE(text.HasString() && ref.HasReference() && !ref.HasString());
    EXPECT_FALSE(KestCmdItem_Util::has_item_reference_of_type(text, KestCmdDefs::DRESP));
}

TEST(Command, AutoItemsAddedReplacedAndQueriedThroughTheCommand) {
    const EnumMap enums = create_enum_map();
    KestCmd cmd(KestCmdDefs::OPTIMIZE);
    EXPECT_FALSE(KestCmd_Util::has_command_enum_with_value(cmd, STRATEGY, EV_MMA));
    cmd.AddAutoItem(STRATEGY, "something", enums);
    cmd.AddAutoItem(STRATEGY, "MMA", enums);
    // The keyword query looks at the first item only.
    EXPECT_FALSE(KestCmd_Util::has_command_enum_with_value(cmd, STRATEGY, EV_MMA));
    EXPECT_FALSE(KestCmd_Util::has_command_enum_with_value(cmd, STRATEGY, EV_UNSET));

    cmd.ReplaceItem(STRATEGY, "7", enums, 0);
    cmd.ReplaceItem(STRATEGY, "x", enums, 2); // past the end: nothing happens
    EXPECT_EQ(texts(cmd, STRATEGY), (std::vector<std::string>{"7", "MMA"}));
    EXPECT_EQ(cmd.Item(STRATEGY, 0).GetInteger(), 7);

    cmd.AddStringItem(STRATEGY, "c");
    KestCmd_Util::replace_items(cmd, STRATEGY, "MIN", enums);
    EXPECT_EQ(texts(cmd, STRATEGY), std::vector<std::string>{"MIN"});
    EXPECT_TRUE(KestCmd_Util::has_command_enum_with_value(cmd, STRATEGY, EV_MIN));
    EXPECT_TRUE(KestCmd_Util::has_command_enum_with_value(cmd, STRATEGY, EV_MMA)); // same value
}

// The inline const Item checks as this test program was built: on in Debug and sanitizer builds.
TEST(CommandDeathTest, ItemPastTheEndAbortsWhereAssertsAreOn) {
    if (!KEST_CMD_ENGINE_ASSERTS) {
        GTEST_SKIP() << "KEST_ASSERT is off in this build";
    }
    KestCmd cmd(KestCmdDefs::DV);
    cmd.AddStringItem(VALUE, "1");
    const KestCmd& read = cmd;
    EXPECT_DEATH(static_cast<void>(read.Item(VALUE, 1)),
                 "KestCmd\\.h:[0-9]+: assertion failed: index < ItemCount\\(item\\)");
}
