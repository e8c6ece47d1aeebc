#include "engine/metadata/KestCmdItemMetaData.h"
#include "engine/metadata/KestCmdMetaData.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

using namespace KestCmdItemDefs;

namespace {

// Every member of a record in declaration order, separated by '|'.
std::string fields(const KestCmdItemMetaData& r) {
    std::string refs;
    for (KestCmdDefs::Cmd c : r.ref_cmds) {
        refs += std::to_string(c) + ",";
    }
    return default_item_names[r.item_kind] + "|" + r.aux_text + "|" + std::to_string(r.data_type) +
           "|" + r.default_value + "|" + refs + "|" + std::to_string(r.aux_flag) + "|" +
           std::to_string(r.aux_number);
}

} // namespace

TEST(ItemMetaData, EachConstructorFormSetsItsOwnDataTypeAndDefaults) {
    // A default text that reads as a number still gives a text record (data type 3).
    EXPECT_EQ(fields(KestCmdItemMetaData(COEFFICIENT, "1000", "note", 5)),
              "COEFFICIENT|note|3|1000||0|5");
    // The reference form names its target type twice, data type 7, number 1.
    EXPECT_EQ(fields(KestCmdItemMetaData(DV_UPDATE_PARAM, KestCmdDefs::DV_UPDATE_PARAM,
                                         "__DEFAULT_DV_UPDATE_PARAM")),
              "DV_UPDATE_PARAM||7|__DEFAULT_DV_UPDATE_PARAM|15,15,|0|1");
    EXPECT_EQ(fields(KestCmdItemMetaData(MIN, DT_REAL, "aux", 3)), "MIN|aux|1|||1|3");
}

TEST(ItemMetaData, MovingLeavesTheSourceIntact) {
    KestCmdItemMetaData source(OPT_PARAM, KestCmdDefs::OPT_PARAM, "a name long enough to allocate");
    const std::string before = fields(source);
    const KestCmdItemMetaData moved(std::move(source));
    EXPECT_EQ(fields(moved), before);
    EXPECT_EQ(fields(source), before);
}

TEST(CmdMetaData, RecordsLandInTheSlotOfTheirItemKind) {
    const KestCmdMetaData empty(KestCmdDefs::STOP, {}, true);
    EXPECT_EQ(empty.GetKey(), KestCmdDefs::STOP);
    EXPECT_TRUE(empty.GetCreateDefault());
    EXPECT_EQ(empty.GetMetaData(), KestCmdMetaData::ItemTable{});

    const KestCmdItemMetaData value(VALUE, "0.25", "", 1);
    const KestCmdItemMetaData strategy(STRATEGY, "CSA", "", 1);
    const KestCmdMetaData two(KestCmdDefs::DV_UPDATE_PARAM, {value, strategy}, false);
    EXPECT_FALSE(two.GetCreateDefault());
    KestCmdMetaData::ItemTable expected{};
    expected[VALUE] = &value;
    expected[STRATEGY] = &strategy;
    EXPECT_EQ(two.GetMetaData(), expected);

    // A kind given twice keeps the later record.
    const KestCmdItemMetaData other_value(VALUE, "0.5", "", 1);
    const KestCmdMetaData twice(KestCmdDefs::DV_UPDATE_PARAM, {value, other_value}, false);
    EXPECT_EQ(twice.GetMetaData()[VALUE], &other_value);
}
