// Keyword values of items ("YES", "MIN", "MMA", ...) as numbers, and the map from text to number
// that typing a value uses.
#pragma once

#include "engine/KestCmdEngineExport.h"

#include <cstdint>
#include <string>
#include <unordered_map>

// The standard keyword texts with their numbers, in the order the standard map inserts them.
// Numbers are shared: several texts stand for one value ("MIN", "MERGE", "MMA" and "MODEL" are 77).
#define KEST_ENUM_VALUES(X)                                                                        \
    X(YES, 89)                                                                                     \
    X(NO, 78)                                                                                      \
    X(CALCULATED, 67)                                                                              \
    X(RECEIVED, 82)                                                                                \
    X(MIN, 77)                                                                                     \
    X(MAX, 88)                                                                                     \
    X(LESS_EQUAL, 76)                                                                              \
    X(GREATER_EQUAL, 71)                                                                           \
    X(TOPO_SENSITIVITY, 84)                                                                        \
    X(TOPO_SENS, 84)                                                                               \
    X(SHAPE_SENSITIVITY, 83)                                                                       \
    X(SHAPE_SENS, 83)                                                                              \
    X(VOLUME, 146)                                                                                 \
    X(ROT_ABS, 9)                                                                                  \
    X(ROT_X, 11)                                                                                   \
    X(ROT_Y, 13)                                                                                   \
    X(ROT_Z, 15)                                                                                   \
    X(DISP_ABS, 8)                                                                                 \
    X(DISP_X, 17)                                                                                  \
    X(DISP_Y, 19)                                                                                  \
    X(DISP_Z, 21)                                                                                  \
    X(DYN_FREQ, 26)                                                                                \
    X(ENERGY_STIFF_MEASURE, 29)                                                                    \
    X(INTERNAL_FORCE_ABS, 60)                                                                      \
    X(INTERNAL_FORCE_X, 62)                                                                        \
    X(INTERNAL_FORCE_Y, 64)                                                                        \
    X(INTERNAL_FORCE_Z, 66)                                                                        \
    X(INTERNAL_MOMENT_ABS, 68)                                                                     \
    X(INTERNAL_MOMENT_X, 70)                                                                       \
    X(INTERNAL_MOMENT_Y, 72)                                                                       \
    X(INTERNAL_MOMENT_Z, 74)                                                                       \
    X(REACTION_FORCE_ABS, 87)                                                                      \
    X(REACTION_FORCE_X, 89)                                                                        \
    X(REACTION_FORCE_Y, 91)                                                                        \
    X(REACTION_FORCE_Z, 93)                                                                        \
    X(REACTION_MOMENT_ABS, 95)                                                                     \
    X(REACTION_MOMENT_X, 97)                                                                       \
    X(REACTION_MOMENT_Y, 99)                                                                       \
    X(REACTION_MOMENT_Z, 101)                                                                      \
    X(SENSITIVITY_ONF, 106)                                                                        \
    X(SENSITIVITY_ELEMENT, 106)                                                                    \
    X(SENSITIVITY_NODE, 106)                                                                       \
    X(NODE, 2)                                                                                     \
    X(ELEMENT, 0)                                                                                  \
    X(ELEM, 0)                                                                                     \
    X(LIST, 76)                                                                                    \
    X(MERGE, 77)                                                                                   \
    X(SUBTRACT, 83)                                                                                \
    X(INTERSECT, 73)                                                                               \
    X(XOR, 88)                                                                                     \
    X(MMA, 77)                                                                                     \
    X(CSA, 80)                                                                                     \
    X(STEEPEST, 67)                                                                                \
    X(DETACHED, 69)                                                                                \
    X(DENSITY, 68)                                                                                 \
    X(NODAL, 78)                                                                                   \
    X(NODAL_VECTOR, 86)                                                                            \
    X(FILTER, 73)                                                                                  \
    X(SCALING_CURVE, 71)                                                                           \
    X(LSF_INIT, 66)                                                                                \
    X(LSF_SCALING, 78)                                                                             \
    X(LEVELSET, 86)                                                                                \
    X(FROZEN, 90)                                                                                  \
    X(ONF, 79)                                                                                     \
    X(CSV, 67)                                                                                     \
    X(VTFX_PLOT, 80)                                                                               \
    X(VTK, 86)                                                                                     \
    X(TOPO_DATA, 84)                                                                               \
    X(SHAPE_DATA, 72)                                                                              \
    X(SENSITIVITY_DATA, 71)                                                                        \
    X(LEVELSET_DATA, 76)                                                                           \
    X(OBJ_FUNC_DATA, 79)                                                                           \
    X(CONSTRAINT_DATA, 67)                                                                         \
    X(MODEL, 77)                                                                                   \
    X(HEAVYSIDE, 72)                                                                               \
    X(HEAVISIDE, 72)                                                                               \
    X(LINEAR, 73)                                                                                  \
    X(SIGMUND, 69)                                                                                 \
    X(DIST_TO_BORDER, 100)                                                                         \
    X(SEQUENTIAL, 0)                                                                               \
    X(SEQ, 0)                                                                                      \
    X(SIMULTANEOUS, 1)                                                                             \
    X(SIMUL, 1)                                                                                    \
    X(WEIGHTED_SUM, 87)                                                                            \
    X(COMBINE, 87)                                                                                 \
    X(DISTRIBUTION, 0)                                                                             \
    X(DISTRIBUTION_TABLE, 0)                                                                       \
    X(INPUT, 1)                                                                                    \
    X(INPUT_FILE, 1)                                                                               \
    X(ABS, 65)                                                                                     \
    X(REL, 82)                                                                                     \
    X(REL_VALUE, 86)                                                                               \
    X(REL_V, 86)                                                                                   \
    X(NONE, 78)                                                                                    \
    X(CONSTRAINT_LAPLACIAN, 67)                                                                    \
    X(ORIGINAL, 79)                                                                                \
    X(CONSERVATIVE, 67)                                                                            \
    X(CUSTOM, 83)

namespace KestCmdItemDefs {

/// The number of a keyword value. Only the number is kept: items typed from different texts of
/// one number compare equal. EV_UNSET means the item has no keyword reading.
enum EnumValue : std::int32_t {
    EV_UNSET = -1,
#define KEST_X(text, value) EV_##text = value,
    KEST_ENUM_VALUES(KEST_X)
#undef KEST_X
};

/// Keyword text to number; look-ups are exact (case-sensitive, no trimming).
using EnumMap = std::unordered_map<std::string, EnumValue>;

/// A new map holding the 98 standard keywords.
KEST_CMD_ENGINE_API EnumMap create_enum_map();

} // namespace KestCmdItemDefs
