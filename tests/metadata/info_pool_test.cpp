#include "engine/metadata/KestCmdInfoPool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <vector>

using namespace KestCmdItemDefs;

namespace {

// "KIND:datatype=default", followed by ">TYPE" for each referenced command type.
std::string describe(const KestCmdItemMetaData& item) {
    std::string text = default_item_names[item.item_kind] + ":" + std::to_string(item.data_type) +
                       "=" + item.default_value;
    for (KestCmdDefs::Cmd ref : item.ref_cmds) {
        text += ">" + KestCmdDefs::get_default_cmd_names()[ref];
    }
    return text;
}

// One line per command record: its slot, its key, "+" when a default command is created, and
// its item records in kind order. Empty slots give no line.
std::vector<std::string> describe(const KestCmdInfoPool& pool) {
    std::vector<std::string> out;
    for (int t = 0; t < KestCmdDefs::cmd_type_count; ++t) {
        if (const KestCmdMetaData* record = pool.GetMetaData()[t]) {
            std::string line = std::to_string(t) + " " +
                               KestCmdDefs::get_default_cmd_names()[record->GetKey()] +
                               (record->GetCreateDefault() ? "+" : "");
            for (const KestCmdItemMetaData* item : record->GetMetaData()) {
                line += item != nullptr ? " " + describe(*item) : "";
            }
            out.push_back(line);
        }
    }
    return out;
}

// Every record a pool hands out, command and item records alike.
std::set<const void*> addresses(const KestCmdInfoPool& pool) {
    std::set<const void*> out;
    for (const KestCmdMetaData* record : pool.GetMetaData()) {
        if (record != nullptr) {
            out.insert(record);
            out.insert(record->GetMetaData().begin(), record->GetMetaData().end());
        }
    }
    for (const KestCmdItemMetaData* item : pool.GetItemMetaData()) {
        out.insert(item);
    }
    out.erase(nullptr);
    return out;
}

bool disjoint(const std::set<const void*>& a, const std::set<const void*>& b) {
    return std::none_of(a.begin(), a.end(), [&b](const void* p) { return b.count(p) != 0; });
}

const std::vector<std::string> expected_definitions{
    "3 DRESP UPDATE_TYPE:3=RECEIVED UPDATE_ID:3=DEFAULT LOADCASE:3=1",
    "4 OPERATOR UPDATE_TYPE:3=CALCULATED UPDATE_ID:3=DEFAULT",
    "6 CONSTRAINT COEFFICIENT:3=1000",
    "9 OPTIMIZE DV_UPDATE_PARAM:7=__DEFAULT_DV_UPDATE_PARAM>DV_UPDATE_PARAM>DV_UPDATE_PARAM",
    "15 DV_UPDATE_PARAM+ VALUE:3=0.25 STRATEGY:3=CSA",
    "16 SCALING_CURVE UPDATE_ID:3=DEFAULT",
    "17 FILTER TARGET:3=0.5",
};

} // namespace

TEST(InfoPool, DefinesTheDefaultsOfSevenCommandTypes) {
    const KestCmdInfoPool pool;
    EXPECT_EQ(describe(pool), expected_definitions);
    // Seven command records and eleven item records: the command records point only at items
    // the pool lists as its own.
    EXPECT_EQ(addresses(pool).size(), 18u);
    // Both response-like types default UPDATE_TYPE, each with a record of its own.
    EXPECT_NE(pool.GetMetaData()[KestCmdDefs::DRESP]->GetMetaData()[UPDATE_TYPE],
              pool.GetMetaData()[KestCmdDefs::OPERATOR]->GetMetaData()[UPDATE_TYPE]);
}

TEST(InfoPool, ListsItsItemRecordsInDefinitionOrder) {
    const KestCmdInfoPool pool;
    std::vector<std::string> items;
    for (const KestCmdItemMetaData* item : pool.GetItemMetaData()) {
        items.push_back(describe(*item));
    }
    EXPECT_EQ(items,
              (std::vector<std::string>{
                  "COEFFICIENT:3=1000", "VALUE:3=0.25", "STRATEGY:3=CSA", "UPDATE_TYPE:3=RECEIVED",
                  "UPDATE_ID:3=DEFAULT", "LOADCASE:3=1", "UPDATE_TYPE:3=CALCULATED",
                  "UPDATE_ID:3=DEFAULT",
                  "DV_UPDATE_PARAM:7=__DEFAULT_DV_UPDATE_PARAM>DV_UPDATE_PARAM>DV_UPDATE_PARAM",
                  "UPDATE_ID:3=DEFAULT", "TARGET:3=0.5"}));
}

TEST(InfoPool, CopiesHoldTheirOwnRecordsAndOutliveTheSource) {
    auto source = std::make_unique<KestCmdInfoPool>();
    const std::set<const void*> source_records = addresses(*source);
    const KestCmdInfoPool constructed(*source);
    KestCmdInfoPool assigned;
    assigned = *source;
    EXPECT_TRUE(disjoint(addresses(constructed), source_records));
    EXPECT_TRUE(disjoint(addresses(assigned), source_records));
    EXPECT_TRUE(disjoint(addresses(assigned), addresses(constructed)));
    // Reading the copies after the source is gone shows any record they still share with it.
    source.reset();
    EXPECT_EQ(describe(constructed), expected_definitions);
    EXPECT_EQ(describe(assigned), expected_definitions);
    EXPECT_EQ(constructed.GetItemMetaData().size(), 11u);

    const std::set<const void*> before = addresses(assigned);
    const KestCmdInfoPool& self = assigned;
    assigned = self;
    EXPECT_EQ(addresses(assigned), before);
    EXPECT_EQ(describe(assigned), expected_definitions);
}
