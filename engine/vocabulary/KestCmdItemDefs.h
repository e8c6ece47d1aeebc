// The item kinds a command holds, the kinds of typed reading an item offers, and the fixed texts
// that go with them.
#pragma once

#include <array>
#include <cstdint>
#include <string>

// Each item kind with its default name, in the order of its number.
#define KEST_CMD_ITEMS(X)                                                                          \
    X(ID_NAME)                                                                                     \
    X(TYPE)                                                                                        \
    X(FILE)                                                                                        \
    X(ADD_FILE)                                                                                    \
    X(GROUP)                                                                                       \
    X(ELEMENT_GROUP)                                                                               \
    X(NODE_GROUP)                                                                                  \
    X(FACE_GROUP)                                                                                  \
    X(DRESP)                                                                                       \
    X(TARGET)                                                                                      \
    X(VALUE)                                                                                       \
    X(MIN)                                                                                         \
    X(MAX)                                                                                         \
    X(LIST_BEGIN)                                                                                  \
    X(DV)                                                                                          \
    X(OBJ_FUNC)                                                                                    \
    X(CONSTRAINT)                                                                                  \
    X(DV_CONSTRAINT)                                                                               \
    X(STRATEGY)                                                                                    \
    X(STOP)                                                                                        \
    X(MESH_SMOOTH)                                                                                 \
    X(ITER_MAX)                                                                                    \
    X(OPT_PARAM)                                                                                   \
    X(DV_UPDATE_PARAM)                                                                             \
    X(REFERENCE)                                                                                   \
    X(COEFFICIENT)                                                                                 \
    X(SOLVER_RUN_MODE)                                                                             \
    X(SENS_CALC_MODE)                                                                              \
    X(UPDATE_TYPE)                                                                                 \
    X(UPDATE_ID)                                                                                   \
    X(FORMAT)                                                                                      \
    X(DESCRIPTION)                                                                                 \
    X(DIRECTION)                                                                                   \
    X(LOADCASE)                                                                                    \
    X(MAGNITUDE)                                                                                   \
    X(LOWER)                                                                                       \
    X(UPPER)                                                                                       \
    X(CS)                                                                                          \
    X(PLACEHOLDER)

namespace KestCmdItemDefs {

/// An item kind. PLACEHOLDER is the last kind and also stands for "no known kind".
enum CmdItem : std::int32_t {
#define KEST_X(name) name,
    KEST_CMD_ITEMS(KEST_X)
#undef KEST_X
};

/// The number of item kinds; arrays indexed by CmdItem have this many entries.
constexpr int item_kind_count = PLACEHOLDER + 1;

/// The kinds of typed reading an item can offer (see KestCmdItem::HasType). No item ever offers
/// DT_RESERVED.
enum DataType : std::int32_t {
    DT_INTEGER,
    DT_REAL,
    DT_VECTOR3D,
    DT_STRING,
    DT_RESERVED,
    DT_LUMO_LIST,
    DT_LIST,
    DT_REFERENCE,
    DT_ENUM,
};

/// The number of data types.
constexpr int data_type_count = DT_ENUM + 1;

/// The default name of every item kind, indexed by its number.
inline const std::array<std::string, item_kind_count> default_item_names{{
#define KEST_X(name) #name,
    KEST_CMD_ITEMS(KEST_X)
#undef KEST_X
}};

/// Names of value types, for callers that describe items; nothing in this library reads them.
inline constexpr std::array<const char*, 12> value_type_names{
    "vtmInteger",     "vtmDouble",     "vtmEnum",   "vtmString",      "vtmIdName",  "vtmReference",
    "vtmIntegerList", "vtmDoubleList", "vtmSelect", "vtmComplexType", "vtmModelId", "vtmUnknown"};

/// Table labels of the value types, for callers that describe items; not read by this library.
inline constexpr std::array<const char*, 9> value_type_table_labels{
    "xmlvtm_integer_table_label",    "xmlvtm_double_table_label",  "xmlvtm_char_table_label",
    "xmlvtm_idname_table_label",     "xmlvtm_string_table_label",  "xmlvtm_intlist_table_label",
    "xmlvtm_doublelist_table_label", "xmlvtm_modelid_table_label", "xmlvtm_reference_table_label"};

/// Action words, for callers that edit jobs; not read by this library.
inline constexpr const char* action_all = "ALL";
inline constexpr const char* action_modify = "MODIFY";

} // namespace KestCmdItemDefs
