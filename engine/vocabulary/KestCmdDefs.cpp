#include "engine/vocabulary/KestCmdDefs.h"

namespace KestCmdDefs {

const std::array<std::string, cmd_type_count>& get_default_cmd_names() {
    static const std::array<std::string, cmd_type_count> names{{
#define KEST_X(name) #name,
        KEST_CMD_TYPES(KEST_X)
#undef KEST_X
    }};
    return names;
}

} // namespace KestCmdDefs
