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

Cmd named_type(KestCmdItemDefs::CmdItem kind) {
    static const std::array<Cmd, KestCmdItemDefs::item_kind_count> types = [] {
        std::array<Cmd, KestCmdItemDefs::item_kind_count> found;
        found.fill(CMD_PLACEHOLDER);
        for (int k = 0; k < KestCmdItemDefs::item_kind_count; ++k) {
            for (int t = 0; t < CMD_PLACEHOLDER; ++t) {
                if (get_default_cmd_names()[t] == KestCmdItemDefs::default_item_names[k]) {
                    found[k] = static_cast<Cmd>(t);
                }
            }
        }
        return found;
    }();
    return types[kind];
}

bool names_commands(KestCmdItemDefs::CmdItem kind) {
    using namespace KestCmdItemDefs;
    switch (kind) {
    case GROUP:
    case ELEMENT_GROUP:
    case NODE_GROUP:
    case FACE_GROUP:
    case REFERENCE:
        return true;
    default:
        return named_type(kind) != CMD_PLACEHOLDER;
    }
}

} // namespace KestCmdDefs
