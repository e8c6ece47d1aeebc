#include "engine/metadata/KestCmdInfoPool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <utility>

using namespace KestCmdItemDefs;

namespace {

// Every member of an item record, separated by '|'.
std::string fields(const KestCmdItemMetaData& r) {
    std::string refs;
    for (KestCmdDefs::Cmd c : r.ref_cmds) {
        refs += std::to_string(c) + ",";
    }
    return default_item_names[r.item_kind] + "|" + r.aux_text + "|" + std::to_string(r.data_type) +
           "|" + r.default_value + "|" + refs + "|" + std::to_string(r.aux_flag) + "|" +
           std::to_string(r.aux_number);
}

// The whole content of a pool, and the addresses of all records it hands out.
std::pair<std::string, std::set<const void*>> contents(const KestCmdInfoPool& pool) {
    std::pair<std::string, std::set<const void*>> out;
    for (const KestCmdMetaData* record : pool.GetMetaData()) {
        if (record != nullptr) {
            out.first += std::to_string(record->GetKey()) + (record->GetCreateDefault() ? "+" : "");
            out.second.insert(record);
            for (const KestCmdItemMetaData* item : record->GetMetaData()) {
                out.first += item != nullptr ? " " + fields(*item) : "";
                out.second.insert(item);
            }
            out.first += "\n";
        }
    }
    for (const KestCmdItemMetaData* item : pool.GetItemMetaData()) {
        out.second.insert(item);
    }
    out.second.erase(nullptr);
    return out;
}

} // namespace

TEST(MetaData, PoolCopiesHoldTheirOwnRecordsAndOutliveTheSource) {
    auto source = std::make_unique<KestCmdInfoPool>();
    const auto original = contents(*source);
    const KestCmdInfoPool constructed(*source);
    KestCmdInfoPool assigned;
    assigned = *source;
    source.reset(); // reading the copies now shows any record they still share with it
    for (const KestCmdInfoPool* copy : {&constructed, &std::as_const(assigned)}) {
        const auto copied = contents(*copy);
        EXPECT_EQ(copied.first, original.first);
        EXPECT_TRUE(std::none_of(copied.second.begin(), copied.second.end(),
                                 [&](const void* p) { return original.second.count(p) != 0; }));
    }
    const auto before = contents(assigned);
    const KestCmdInfoPool& self = assigned;
    assigned = self;
    EXPECT_EQ(contents(assigned), before);
}
