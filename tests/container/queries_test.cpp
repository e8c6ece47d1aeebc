#include "engine/container/KestCmdContainer.h"
#include "engine/container/KestCmdContainer_Util.h"

#include <gtest/gtest.h>

using namespace KestCmdItemDefs;
using KestCmdContainer_Util::has_container_enum_with_value;

// Filter and the type queries look at the first item of the kind; the type and reference
// queries only at the first command of the type; the keyword query at every command.
TEST(ContainerQueries, LookAtTheFirstItemOfTheKind) {
    const EnumMap enums = create_enum_map();
    KestCmdContainer c;
    const KestCmdContainer& view = c;
    EXPECT_TRUE(c.Filter(KestCmdDefs::DV, TYPE, "SHAPE").empty());
    EXPECT_FALSE(c.HasCommandWithType(KestCmdDefs::DV, TYPE, DT_STRING));
    KestCmd& a = c.CreateCommand(KestCmdDefs::DV);
    a.AddAutoItem(TYPE, "SHAPE", enums);
    KestCmd& second_only = c.CreateCommand(KestCmdDefs::DV);
    second_only.AddAutoItem(TYPE, "TOPO", enums);
    second_only.AddAutoItem(TYPE, "SHAPE", enums);
    c.CreateCommand(KestCmdDefs::DV).AddAutoItem(VALUE, "0.5", enums); // no TYPE at all
    KestCmd& b = c.CreateCommand(KestCmdDefs::DV);
    b.AddStringItem(TYPE, "SHAPE");
    c.CreateCommand(KestCmdDefs::DRESP).AddStringItem(TYPE, "SHAPE");
    c.CreateCommand(KestCmdDefs::DV).AddStringItem(TYPE, " SHAPE");
    EXPECT_EQ(c.Filter(KestCmdDefs::DV, TYPE, "SHAPE"), (std::vector<KestCmd*>{&a, &b}));
    EXPECT_EQ(view.Filter(KestCmdDefs::DV, TYPE, "SHAPE"), (std::vector<const KestCmd*>{&a, &b}));

    EXPECT_TRUE(c.HasCommandWithType(KestCmdDefs::DV, TYPE, DT_STRING));
    EXPECT_FALSE(c.HasCommandWithType(KestCmdDefs::DV, VALUE, DT_REAL)); // the third has it
    a.AddAutoItem(VALUE, "x", enums);
    a.AddAutoItem(VALUE, "7", enums);
    EXPECT_FALSE(c.HasCommandWithType(KestCmdDefs::DV, VALUE, DT_INTEGER)); // the second item
    a.AddAutoItem(OPT_PARAM, "P", enums);
    c.CreateCommand(KestCmdDefs::OPT_PARAM).AddStringItem(ID_NAME, "P");
    EXPECT_FALSE(c.HasCommandWithReference(KestCmdDefs::DV, OPT_PARAM));
    c.CreateReferences();
    EXPECT_TRUE(c.HasCommandWithReference(KestCmdDefs::DV, OPT_PARAM));

    EXPECT_FALSE(has_container_enum_with_value(c, KestCmdDefs::DV, TYPE, EV_MIN));
    second_only.ReplaceItem(TYPE, "MIN", enums, 1); // not the first item
    EXPECT_FALSE(has_container_enum_with_value(c, KestCmdDefs::DV, TYPE, EV_MIN));
    c.CreateCommand(KestCmdDefs::DV).AddAutoItem(TYPE, "MIN", enums);
    EXPECT_TRUE(has_container_enum_with_value(c, KestCmdDefs::DV, TYPE, EV_MIN));
    EXPECT_FALSE(has_container_enum_with_value(c, KestCmdDefs::DRESP, TYPE, EV_MIN));
}
