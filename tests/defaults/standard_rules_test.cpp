#include "engine/container/KestCmdContainerIterator.h"
#include "engine/defaults/KestCmdContainerDefaults.h"
#include "engine/metadata/KestCmdInfoPool.h"
#include "engine/model/KestCmdAutoItem.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

using namespace KestCmdItemDefs;
using test_support::texts;

// Every default of the meta data pool reaches a bare command of its type: a text as a typed
// item, a reference as a link to the command of that name (made by the rules when the type's
// record asks for a default command, from the second run on).
TEST(StandardRules, ABareCommandGetsEveryDefaultOfThePool) {
    const EnumMap enums = create_enum_map();
    const KestCmdInfoPool pool;
    std::size_t checked = 0;
    for (int t = 0; t < KestCmdDefs::cmd_type_count; ++t) {
        const KestCmdMetaData* record = pool.GetMetaData()[t];
        if (record == nullptr) {
            continue;
        }
        EXPECT_EQ(record->GetKey(), t);
        KestCmdContainer job;
        const KestCmd& cmd = job.CreateCommand(record->GetKey());
        const KestCmdContainerDefaults defaults;
        defaults.ApplyRules(job, enums);
        defaults.ApplyRules(job, enums);
        for (int k = 0; k < item_kind_count; ++k) {
            const KestCmdItemMetaData* item = record->GetMetaData()[k];
            if (item == nullptr) {
                continue;
            }
            EXPECT_EQ(item->item_kind, k);
            SCOPED_TRACE(KestCmdDefs::get_default_cmd_names()[record->GetKey()] + " " +
                         default_item_names[item->item_kind]);
            ASSERT_EQ(texts(cmd, item->item_kind), std::vector<std::string>{item->default_value});
            const KestCmdItem& added = cmd.Item(item->item_kind, 0);
            if (item->data_type == DT_REFERENCE) {
                const KestCmd* target = added.GetReference();
                ASSERT_NE(target, nullptr);
                EXPECT_EQ(target->GetType(), item->ref_cmds.at(0));
                EXPECT_EQ(texts(*target, ID_NAME), std::vector<std::string>{item->default_value});
            } else {
                EXPECT_EQ(added.HasReal(), KestCmdAutoItem(item->default_value, enums).HasReal());
                EXPECT_EQ(added.GetEnum(), KestCmdAutoItem(item->default_value, enums).GetEnum());
            }
            ++checked;
        }
    }
    // Every item record of the pool is used once, by the record of its command type.
    const auto items = pool.GetItemMetaData();
    EXPECT_EQ(checked, std::set<const KestCmdItemMetaData*>(items.begin(), items.end()).size());
    EXPECT_EQ(checked, items.size());
    EXPECT_TRUE(KestCmdContainerDefaults().GetContainerManipulatorRules().empty());
}

TEST(StandardRules, AVolumeResponseIsCalculatedAndGivenValuesStay) {
    const EnumMap enums = create_enum_map();
    KestCmdContainer job;
    KestCmd& volume = job.CreateCommand(KestCmdDefs::DRESP);
    volume.AddAutoItem(TYPE, "VOLUME", enums);
    KestCmd& other = job.CreateCommand(KestCmdDefs::DRESP);
    other.AddAutoItem(TYPE, "DISP_ABS", enums);
    other.AddAutoItem(TYPE, "VOLUME", enums); // only the first TYPE counts
    KestCmd& given = job.CreateCommand(KestCmdDefs::DRESP);
    given.AddAutoItem(TYPE, "VOLUME", enums);
    given.AddAutoItem(UPDATE_TYPE, "RECEIVED", enums);
    given.AddAutoItem(LOADCASE, "7", enums);
    KestCmdContainerDefaults().ApplyRules(job, enums);
    EXPECT_EQ(texts(volume, UPDATE_TYPE), std::vector<std::string>{"CALCULATED"});
    EXPECT_EQ(volume.Item(UPDATE_TYPE, 0).GetEnum(), EV_CALCULATED);
    EXPECT_EQ(texts(other, UPDATE_TYPE), std::vector<std::string>{"RECEIVED"});
    EXPECT_EQ(texts(given, UPDATE_TYPE), std::vector<std::string>{"RECEIVED"});
    EXPECT_EQ(texts(given, LOADCASE), std::vector<std::string>{"7"});
}

// The reference rule of OPTIMIZE runs before the default update parameter is made.
TEST(StandardRules, TheDefaultUpdateParameterIsReferencedFromTheSecondRunOn) {
    const EnumMap enums = create_enum_map();
    const KestCmdContainerDefaults defaults;
    KestCmdContainer job;
    const KestCmd& optimize = job.CreateCommand(KestCmdDefs::OPTIMIZE);
    defaults.ApplyRules(job, enums);
    ASSERT_EQ(job.GetNumberOfCommands(KestCmdDefs::DV_UPDATE_PARAM), 1u);
    EXPECT_FALSE(optimize.HasItem(DV_UPDATE_PARAM));
    defaults.ApplyRules(job, enums);
    ASSERT_EQ(optimize.Items(DV_UPDATE_PARAM).size(), 1u);
    EXPECT_EQ(optimize.Item(DV_UPDATE_PARAM, 0).GetReference(),
              &job.GetCommand(KestCmdDefs::DV_UPDATE_PARAM, 0));
    const std::string before = test_support::written(job);
    defaults.ApplyRules(job, enums);
    EXPECT_EQ(test_support::written(job), before);
}
