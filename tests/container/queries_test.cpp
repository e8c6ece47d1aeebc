#include "engine/container/KestCmdContainer.h"
#include "engine/container/KestCmdContainer_Util.h"

#include <gtest/gtest.h>

using namespace KestCmdItemDefs;
using KestCmdDefs::Cmd;

namespace {

const EnumMap& enums() {
    static const EnumMap map = create_enum_map();
    return map;
}

} // namespace

TEST(ContainerQueries, FilterLooksAtTheFirstItemOfTheKind) {
    KestCmdContainer c;
    const KestCmdContainer& view = c;
    EXPECT_TRUE(c.Filter(KestCmdDefs::DV, TYPE, "SHAPE").empty());

    KestCmd& a = c.CreateCommand(KestCmdDefs::DV);
    a.AddAutoItem(TYPE, "SHAPE", enums());
    KestCmd& second_only = c.CreateCommand(KestCmdDefs::DV);
    second_only.AddAutoItem(TYPE, "TOPO", enums());
    second_only.AddAutoItem(TYPE, "SHAPE", enums());
    c.CreateCommand(KestCmdDefs::DV); // no TYPE at all
    KestCmd& b = c.CreateCommand(KestCmdDefs::DV);
    b.AddStringItem(TYPE, "SHAPE");
    c.CreateCommand(KestCmdDefs::DRESP).AddStringItem(TYPE, "SHAPE");
    c.CreateCommand(KestCmdDefs::DV).AddStringItem(TYPE, " SHAPE");

    EXPECT_EQ(c.Filter(KestCmdDefs::DV, TYPE, "SHAPE"), (std::vector<KestCmd*>{&a, &b}));
    EXPECT_EQ(view.Filter(KestCmdDefs::DV, TYPE, "SHAPE"), (std::vector<const KestCmd*>{&a, &b}));
}

TEST(ContainerQueries, TypeAndReferenceQueriesLookAtTheFirstCommandAndItem) {
    KestCmdContainer c;
    EXPECT_FALSE(c.HasCommandWithType(KestCmdDefs::DV, VALUE, DT_REAL));

    c.CreateCommand(KestCmdDefs::DV).AddAutoItem(VALUE, "abc", enums());
    c.CreateCommand(KestCmdDefs::DV).AddAutoItem(VALUE, "0.5", enums());
    EXPECT_FALSE(c.HasCommandWithType(KestCmdDefs::DV, VALUE, DT_REAL)); // only the second has it
    EXPECT_TRUE(c.HasCommandWithType(KestCmdDefs::DV, VALUE, DT_STRING));
    EXPECT_FALSE(c.HasCommandWithType(KestCmdDefs::DV, MIN, DT_STRING));

    KestCmd& dresp = c.CreateCommand(KestCmdDefs::DRESP);
    dresp.AddAutoItem(VALUE, "x", enums());
    dresp.AddAutoItem(VALUE, "7", enums());
    EXPECT_FALSE(c.HasCommandWithType(KestCmdDefs::DRESP, VALUE, DT_INTEGER)); // second item only

    KestCmd& param = c.CreateCommand(KestCmdDefs::OPT_PARAM);
    param.AddStringItem(ID_NAME, "P");
    KestCmd& optimize = c.CreateCommand(KestCmdDefs::OPTIMIZE);
    optimize.AddAutoItem(OPT_PARAM, "P", enums());
    EXPECT_FALSE(c.HasCommandWithReference(KestCmdDefs::OPTIMIZE, OPT_PARAM));
    c.CreateReferences();
    EXPECT_TRUE(c.HasCommandWithReference(KestCmdDefs::OPTIMIZE, OPT_PARAM));
}

TEST(ContainerQueries, EnumQueryFindsAnyCommandOfTheType) {
    KestCmdContainer c;
    EXPECT_FALSE(KestCmdContainer_Util::has_container_enum_with_value(c, KestCmdDefs::DRESP, TYPE,
                                                                      EV_VOLUME));
    c.CreateCommand(KestCmdDefs::DRESP).AddAutoItem(TYPE, "DISP_X", enums());
    KestCmd& second = c.CreateCommand(KestCmdDefs::DRESP);
    second.AddAutoItem(TYPE, "DISP_Y", enums());
    second.AddAutoItem(TYPE, "VOLUME", enums());
    EXPECT_FALSE(KestCmdContainer_Util::has_container_enum_with_value(c, KestCmdDefs::DRESP, TYPE,
                                                                      EV_VOLUME));
    c.CreateCommand(KestCmdDefs::DRESP).AddAutoItem(TYPE, "VOLUME", enums());
    EXPECT_TRUE(KestCmdContainer_Util::has_container_enum_with_value(c, KestCmdDefs::DRESP, TYPE,
                                                                     EV_VOLUME));
    EXPECT_FALSE(
        KestCmdContainer_Util::has_container_enum_with_value(c, KestCmdDefs::DV, TYPE, EV_VOLUME));
}
