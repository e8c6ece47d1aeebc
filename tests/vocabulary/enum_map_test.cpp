#include "engine/vocabulary/KestCmdEnumValues.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

using namespace KestCmdItemDefs;

TEST(EnumMap, StandardMapHoldsTheNinetyEightKeywords) {
    const EnumMap map = create_enum_map();
    EXPECT_EQ(map.size(), 98u);
    EnumMap other = create_enum_map();
    EXPECT_EQ(map, other);
    other.erase("YES");
    EXPECT_EQ(map.count("YES"), 1u);

    // The texts that share a value, grouped by value, and a few that stand alone.
    const std::map<int, std::set<std::string>> shared = {
        {0, {"ELEMENT", "ELEM", "SEQUENTIAL", "SEQ", "DISTRIBUTION", "DISTRIBUTION_TABLE"}},
        {1, {"SIMULTANEOUS", "SIMUL", "INPUT", "INPUT_FILE"}},
        {66, {"INTERNAL_FORCE_Z", "LSF_INIT"}},
        {67,
         {"CALCULATED", "STEEPEST", "CSV", "CONSTRAINT_DATA", "CONSTRAINT_LAPLACIAN",
          "CONSERVATIVE"}},
        {68, {"INTERNAL_MOMENT_ABS", "DENSITY"}},
        {69, {"DETACHED", "SIGMUND"}},
        {71, {"GREATER_EQUAL", "SCALING_CURVE", "SENSITIVITY_DATA"}},
        {72, {"INTERNAL_MOMENT_Y", "SHAPE_DATA", "HEAVYSIDE", "HEAVISIDE"}},
        {73, {"INTERSECT", "FILTER", "LINEAR"}},
        {76, {"LESS_EQUAL", "LIST", "LEVELSET_DATA"}},
        {77, {"MIN", "MERGE", "MMA", "MODEL"}},
        {78, {"NO", "NODAL", "LSF_SCALING", "NONE"}},
        {79, {"ONF", "OBJ_FUNC_DATA", "ORIGINAL"}},
        {80, {"CSA", "VTFX_PLOT"}},
        {82, {"RECEIVED", "REL"}},
        {83, {"SHAPE_SENSITIVITY", "SHAPE_SENS", "SUBTRACT", "CUSTOM"}},
        {84, {"TOPO_SENSITIVITY", "TOPO_SENS", "TOPO_DATA"}},
        {86, {"NODAL_VECTOR", "LEVELSET", "VTK", "REL_VALUE", "REL_V"}},
        {87, {"REACTION_FORCE_ABS", "WEIGHTED_SUM", "COMBINE"}},
        {88, {"MAX", "XOR"}},
        {89, {"YES", "REACTION_FORCE_X"}},
        {106, {"SENSITIVITY_ONF", "SENSITIVITY_ELEMENT", "SENSITIVITY_NODE"}},
    };
    std::map<int, std::set<std::string>> by_value;
    for (const auto& [text, value] : map) {
        by_value[value].insert(text);
    }
    for (const auto& [value, texts] : by_value) {
        const auto found = shared.find(value);
        if (found != shared.end()) {
            EXPECT_EQ(texts, found->second) << value;
        } else {
            EXPECT_EQ(texts.size(), 1u) << value << " is shared by " << *texts.begin();
        }
    }
    EXPECT_EQ(by_value.size(), 22u + 26u); // 22 shared values with 72 texts, 26 texts alone

    EXPECT_EQ(map.at("VOLUME"), 146);
    EXPECT_EQ(map.at("NODE"), 2);
    EXPECT_EQ(map.at("DIST_TO_BORDER"), 100);
    EXPECT_EQ(map.at("ROT_ABS"), 9);
    EXPECT_EQ(EV_TOPO_SENS, EV_TOPO_SENSITIVITY);
    EXPECT_EQ(EV_MERGE, EV_MIN);
    EXPECT_EQ(EV_UNSET, -1);
    EXPECT_EQ(sizeof(EnumValue), 4u);
}

TEST(EnumMap, LookUpIsExact) {
    const EnumMap map = create_enum_map();
    for (const char* miss : {"yes", " YES", "YES ", "Yes", "TOPO", ""}) {
        EXPECT_EQ(map.count(miss), 0u) << "'" << miss << "'";
    }
}
