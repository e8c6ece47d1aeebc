#include "engine/KestCmdEngineMarker.h"
#include "engine/vocabulary/KestCmdDefs.h"
#include "engine/vocabulary/KestCmdItemDefs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace KestCmdDefs;
using namespace KestCmdItemDefs;

TEST(Vocabulary, CommandTypeNamesInOrder) {
    const auto& names = get_default_cmd_names();
    ASSERT_EQ(names.size(), 21u);
    EXPECT_EQ(&names, &get_default_cmd_names());
    const char* expected[] = {"MODEL_INPUT",    "GROUP_DEF", "DV",          "DRESP",
                              "OPERATOR",       "OBJ_FUNC",  "CONSTRAINT",  "DV_CONSTRAINT",
                              "MESH_SMOOTH",    "OPTIMIZE",  "OPT_PARAM",   "STOP",
                              "OUTPUT",         "SMOOTH",    "OPTIONS",     "DV_UPDATE_PARAM",
                              "SCALING_CURVE",  "FILTER",    "CONTOURPLOT", "REPORT",
                              "CMD_PLACEHOLDER"};
    for (int i = 0; i < 21; ++i) {
        EXPECT_EQ(names[i], expected[i]) << i;
    }
    EXPECT_EQ(MODEL_INPUT, 0);
    EXPECT_EQ(KestCmdDefs::DRESP, 3);
    EXPECT_EQ(CMD_PLACEHOLDER, 20);
    EXPECT_EQ(cmd_type_count, 21);
    EXPECT_EQ(sizeof(Cmd), 4u);
}

TEST(Vocabulary, ItemKindNamesInOrder) {
    ASSERT_EQ(default_item_names.size(), 39u);
    const char* expected[] = {"ID_NAME",
                              "TYPE",
                              "FILE",
                              "ADD_FILE",
                              "GROUP",
                              "ELEMENT_GROUP",
                              "NODE_GROUP",
                              "FACE_GROUP",
                              "DRESP",
                              "TARGET",
                              "VALUE",
                              "MIN",
                              "MAX",
                              "LIST_BEGIN",
                              "DV",
                              "OBJ_FUNC",
                              "CONSTRAINT",
                              "DV_CONSTRAINT",
                              "STRATEGY",
                              "STOP",
                              "MESH_SMOOTH",
                              "ITER_MAX",
                              "OPT_PARAM",
                              "DV_UPDATE_PARAM",
                              "REFERENCE",
                              "COEFFICIENT",
                              "SOLVER_RUN_MODE",
                              "SENS_CALC_MODE",
                              "UPDATE_TYPE",
                              "UPDATE_ID",
                              "FORMAT",
                              "DESCRIPTION",
                              "DIRECTION",
                              "LOADCASE",
                              "MAGNITUDE",
                              "LOWER",
                              "UPPER",
                              "CS",
                              "PLACEHOLDER"};
    for (int i = 0; i < 39; ++i) {
        EXPECT_EQ(default_item_names[i], expected[i]) << i;
    }
    // Item kinds and command types of the same name have different numbers.
    EXPECT_EQ(KestCmdItemDefs::DRESP, 8);
    EXPECT_EQ(REFERENCE, 24);
    EXPECT_EQ(PLACEHOLDER, 38);
    EXPECT_EQ(item_kind_count, 39);
    EXPECT_EQ(DT_INTEGER, 0);
    EXPECT_EQ(DT_RESERVED, 4);
    EXPECT_EQ(DT_ENUM, 8);
}

TEST(Vocabulary, KindsThatNameCommandsAreThoseNamedLikeACommandType) {
    std::vector<std::string> naming;
    for (int k = 0; k < item_kind_count; ++k) {
        const Cmd type = named_type(static_cast<CmdItem>(k));
        if (type != CMD_PLACEHOLDER) {
            naming.push_back(default_item_names[k] + ">" + get_default_cmd_names()[type]);
        }
    }
    EXPECT_EQ(naming, (std::vector<std::string>{
                          "DRESP>DRESP", "DV>DV", "OBJ_FUNC>OBJ_FUNC", "CONSTRAINT>CONSTRAINT",
                          "DV_CONSTRAINT>DV_CONSTRAINT", "STOP>STOP", "MESH_SMOOTH>MESH_SMOOTH",
                          "OPT_PARAM>OPT_PARAM", "DV_UPDATE_PARAM>DV_UPDATE_PARAM"}));
}

TEST(Vocabulary, FixedTextsAndMarker) {
    EXPECT_STREQ(value_type_names.front(), "vtmInteger");
    EXPECT_STREQ(value_type_names.back(), "vtmUnknown");
    EXPECT_STREQ(value_type_table_labels[5], "xmlvtm_intlist_table_label");
    EXPECT_STREQ(action_all, "ALL");
    EXPECT_STREQ(action_modify, "MODIFY");
    EXPECT_EQ(HALDEN_WORKS_BRX4_INTERNAL_KestCmdEngine(), 1);
}
