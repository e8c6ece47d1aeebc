#include "engine/io/KestXmlFileAdapter.h"

#include "support/written_job.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using namespace KestCmdItemDefs;
using namespace std::string_literals;
using Xml = KestXmlFileAdapter;

// A name that matches stops matching when its case changes, a byte goes or comes, or a zero
// byte follows it; names the tables do not list give the placeholders.
TEST(XmlAdapter, MatchesElementNamesExactly) {
    EXPECT_EQ(Xml::MatchCmdName("FEM_INPUT"), KestCmdDefs::MODEL_INPUT);
    EXPECT_EQ(Xml::MatchCmdName("CONSTRAINT"), KestCmdDefs::DV_CONSTRAINT);
    EXPECT_EQ(Xml::MatchCmdItemName("EL_GROUP"), GROUP);
    EXPECT_EQ(Xml::MatchCmdItemName("CONSTRAINT"), TYPE);

    std::vector<std::string> names{"FEM_INPUT", "CONFIG", "DV_TOPO", "EL_GROUP", "LE_VALUE"};
    names.insert(names.end(), default_item_names.begin(), default_item_names.end());
    const auto& cmd_names = KestCmdDefs::get_default_cmd_names();
    names.insert(names.end(), cmd_names.begin(), cmd_names.end());
    int matched = 0;
    for (const std::string& name : names) {
        const bool cmd = Xml::MatchCmdName(name) != KestCmdDefs::CMD_PLACEHOLDER;
        const bool item = Xml::MatchCmdItemName(name) != PLACEHOLDER;
        matched += cmd + item;
        std::string lower = name;
        for (char& c : lower) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        for (const std::string& other : {lower, name.substr(1), name.substr(0, name.size() - 1),
                                         name + "\0"s, name + " ", " " + name, name + "S"}) {
            EXPECT_TRUE(!cmd || Xml::MatchCmdName(other) == KestCmdDefs::CMD_PLACEHOLDER) << other;
            EXPECT_TRUE(!item || Xml::MatchCmdItemName(other) == PLACEHOLDER) << other;
        }
    }
    EXPECT_GT(matched, 10);
    for (const std::string& name : {""s, "model_input"s, "OPERATOR"s, "DV"s, "OUTPUT"s,
                                    "ELEMENT_GROUP"s, "GROUP"s, "VALUE"s}) {
        EXPECT_EQ(Xml::MatchCmdName(name), KestCmdDefs::CMD_PLACEHOLDER) << name;
        EXPECT_EQ(Xml::MatchCmdItemName(name), PLACEHOLDER) << name;
    }
}

TEST(XmlAdapter, ParseLeavesTheJobAloneAndAMoveTakesOnlyTheFileName) {
    KestCmdContainer job;
    KestCmd& dv = job.CreateCommand(KestCmdDefs::DV);
    dv.AddStringItem(ID_NAME, "dv1");
    job.CreateCommand(KestCmdDefs::OPTIMIZE).AddItem(DV, dv);
    const std::string before = test_support::written(job);
    KestCmdIoConfig config;
    config.enum_map["EXTRA"] = EV_UNSET;
    Xml source(L"/nonexistent-kest-dir/job.xml", config);
    config.enum_map.clear(); // the adapter keeps a copy
    source.Parse(job);
    EXPECT_EQ(test_support::written(job), before);

    EXPECT_EQ(source.GetEnumMap().size(), create_enum_map().size() + 1);
    const Xml copy(source);
    const Xml moved(std::move(source));
    for (const Xml* adapter : {&copy, &moved}) {
        EXPECT_EQ(adapter->GetFileName(), L"/nonexistent-kest-dir/job.xml");
        EXPECT_EQ(adapter->GetEnumMap().count("EXTRA"), 1u);
    }
    EXPECT_TRUE(source.GetFileName().empty());
    EXPECT_EQ(source.GetEnumMap(), copy.GetEnumMap());
    EXPECT_TRUE(Xml(L"a.xml", KestCmdIoConfig(KestCmdIoConfig::NO_VALUES)).GetEnumMap().empty());
}
