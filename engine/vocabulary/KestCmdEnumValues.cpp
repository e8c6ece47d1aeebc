#include "engine/vocabulary/KestCmdEnumValues.h"

namespace KestCmdItemDefs {

EnumMap create_enum_map() {
    EnumMap map;
    map.reserve(98);
#define KEST_X(text, value) map.emplace(#text, EV_##text);
    KEST_ENUM_VALUES(KEST_X)
#undef KEST_X
    return map;
}

} // namespace KestCmdItemDefs
