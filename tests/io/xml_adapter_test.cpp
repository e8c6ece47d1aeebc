#include "engine/io/KestXmlFileAdapter.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

using namespace KestCmdItemDefs;
using namespace std::string_literals;
using KestCmdDefs::Cmd;

TEST(XmlAdapter, MatchesCommandNamesExactly) {
    const std::pair<std::string, Cmd> cases[] = {
        {"FEM_INPUT", KestCmdDefs::MODEL_INPUT}, {"MODEL_INPUT", KestCmdDefs::MODEL_INPUT},
        {"GROUP_DEF", KestCmdDefs::GROUP_DEF},   {"DV_TOPO", KestCmdDefs::DV},
        {"DRESP", KestCmdDefs::DRESP},           {"OBJ_FUNC", KestCmdDefs::OBJ_FUNC},
        {"CONFIG", KestCmdDefs::CONSTRAINT},     {"CONSTRAINT", KestCmdDefs::DV_CONSTRAINT},
        {"SMOOTH", KestCmdDefs::MESH_SMOOTH},    {"OPTIMIZE", KestCmdDefs::OPTIMIZE},
        {"OPT_PARAM", KestCmdDefs::OPT_PARAM},   {"STOP", KestCmdDefs::STOP},
        {"USER_FILE", KestCmdDefs::OUTPUT}};
    for (const auto& [name, type] : cases) {
        EXPECT_EQ(KestXmlFileAdapter::MatchCmdName(name), type) << "'" << name << "'";
    }
    // Anything else is unknown: other cases, blanks, a trailing zero byte, default names
    // that the table does not list.
    for (const std::string& name :
         {""s, "model_input"s, "OPERATOR"s, "DV"s, "OUTPUT"s, "STOP "s, "FEM_INPUT\0"s}) {
        EXPECT_EQ(KestXmlFileAdapter::MatchCmdName(name), KestCmdDefs::CMD_PLACEHOLDER)
            << "'" << name << "'";
    }
}

TEST(XmlAdapter, MatchesItemNamesExactly) {
    const std::pair<std::string, CmdItem> cases[] = {{"ID_NAME", ID_NAME},
                                                     {"TYPE", TYPE},
                                                     {"FILE", KestCmdItemDefs::FILE},
                                                     {"FILE_NAME", KestCmdItemDefs::FILE},
                                                     {"FILE_OPTION", ADD_FILE},
                                                     {"EL_GROUP", GROUP},
                                                     {"DRESP", DRESP},
                                                     {"TARGET", TARGET},
                                                     {"LE_VALUE", VALUE},
                                                     {"CONSTRAINT", TYPE},
                                                     {"LIST_BEGIN", LIST_BEGIN}};
    for (const auto& [name, kind] : cases) {
        EXPECT_EQ(KestXmlFileAdapter::MatchCmdItemName(name), kind) << "'" << name << "'";
    }
    // Anything else is unknown.
    for (const std::string& name :
         {""s, "type"s, "ELEMENT_GROUP"s, "GROUP"s, "VALUE"s, " TYPE"s, "ID_NAME\0"s}) {
        EXPECT_EQ(KestXmlFileAdapter::MatchCmdItemName(name), PLACEHOLDER) << "'" << name << "'";
    }
}

TEST(XmlAdapter, ParseLeavesTheContainerAlone) {
    KestCmdContainer container;
    KestCmd& dv = container.CreateCommand(KestCmdDefs::DV);
    dv.AddStringItem(ID_NAME, "dv1");
    dv.AddAutoItem(TYPE, "TOPO", create_enum_map());
    const KestCmdItem* type = &dv.Item(TYPE, 0);
    container.CreateCommand(KestCmdDefs::OPTIMIZE).AddItem(DV, dv);

    // The file does not exist: nothing is opened.
    KestXmlFileAdapter adapter(L"/nonexistent-kest-dir/job.xml", KestCmdIoConfig());
    adapter.Parse(container);
    adapter.Parse(container);
    EXPECT_EQ(container.GetNumberOfCommands(KestCmdDefs::DV), 1u);
    EXPECT_EQ(container.GetNumberOfCommands(KestCmdDefs::OPTIMIZE), 1u);
    EXPECT_EQ(container.GetNumberOfCommands(KestCmdDefs::CMD_PLACEHOLDER), 0u);
    EXPECT_EQ(&container.GetCommand(KestCmdDefs::DV, 0), &dv);
    EXPECT_EQ(dv.Items(ID_NAME).size(), 1u);
    EXPECT_EQ(&dv.Item(TYPE, 0), type);
    EXPECT_EQ(type->GetString(), "TOPO");
    EXPECT_EQ(container.GetCommand(KestCmdDefs::OPTIMIZE, 0).Item(DV, 0).GetReference(), &dv);
}

TEST(XmlAdapter, KeepsTheEnumMapOfItsConfigurationAndMovesOnlyTheName) {
    const KestXmlFileAdapter empty(L"a.xml", KestCmdIoConfig(KestCmdIoConfig::NO_VALUES));
    EXPECT_TRUE(empty.GetEnumMap().empty());
    EXPECT_EQ(empty.GetFileName(), L"a.xml");

    KestCmdIoConfig config;
    config.enum_map["EXTRA"] = EV_UNSET;
    KestXmlFileAdapter source(L"b.xml", config);
    // The adapter took a copy: later changes of the configuration do not reach it.
    config.enum_map.clear();
    EXPECT_EQ(source.GetEnumMap().size(), 99u);

    const KestXmlFileAdapter copy(source);
    EXPECT_EQ(copy.GetFileName(), L"b.xml");
    EXPECT_EQ(copy.GetEnumMap(), source.GetEnumMap());

    const KestXmlFileAdapter moved(std::move(source));
    EXPECT_EQ(moved.GetFileName(), L"b.xml");
    EXPECT_EQ(moved.GetEnumMap(), copy.GetEnumMap());
    EXPECT_TRUE(source.GetFileName().empty());
    EXPECT_EQ(source.GetEnumMap(), copy.GetEnumMap());
}
