// The command types of a job and their default block names.
#pragma once

#include "engine/KestCmdEngineExport.h"
#include "engine/vocabulary/KestCmdItemDefs.h"

#include <array>
#include <cstdint>
#include <string>

// Each command type with its default name, in the order of its number.
#define KEST_CMD_TYPES(X)                                                                          \
    X(MODEL_INPUT)                                                                                 \
    X(GROUP_DEF)                                                                                   \
    X(DV)                                                                                          \
    X(DRESP)                                                                                       \
    X(OPERATOR)                                                                                    \
    X(OBJ_FUNC)                                                                                    \
    X(CONSTRAINT)                                                                                  \
    X(DV_CONSTRAINT)                                                                               \
    X(MESH_SMOOTH)                                                                                 \
    X(OPTIMIZE)                                                                                    \
    X(OPT_PARAM)                                                                                   \
    X(STOP)                                                                                        \
    X(OUTPUT)                                                                                      \
    X(SMOOTH)                                                                                      \
    X(OPTIONS)                                                                                     \
    X(DV_UPDATE_PARAM)                                                                             \
    X(SCALING_CURVE)                                                                               \
    X(FILTER)                                                                                      \
    X(CONTOURPLOT)                                                                                 \
    X(REPORT)                                                                                      \
    X(CMD_PLACEHOLDER)

namespace KestCmdDefs {

/// A command type. CMD_PLACEHOLDER is the type of unknown blocks and of the container's stand-by
/// command; the number one past it (cmd_type_count) marks a command that has been moved from.
enum Cmd : std::int32_t {
#define KEST_X(name) name,
    KEST_CMD_TYPES(KEST_X)
#undef KEST_X
};

/// The number of command types; arrays indexed by Cmd have this many entries.
constexpr int cmd_type_count = CMD_PLACEHOLDER + 1;

/// The default name of every command type, indexed by its number. Always the same object.
KEST_CMD_ENGINE_API const std::array<std::string, cmd_type_count>& get_default_cmd_names();

/// The type of the commands that the values of an item of `kind` name: the type whose default
/// name is the kind's ("DRESP = r1" names a DRESP), or CMD_PLACEHOLDER for a kind that names none.
KEST_CMD_ENGINE_API Cmd named_type(KestCmdItemDefs::CmdItem kind);

/// Whether the values of an item of `kind` may name commands by their first ID_NAME: the kinds
/// with a named_type, the groups (`GROUP = design_volume` names a GROUP_DEF, though a group may
/// also be given as a list of numbers), and REFERENCE (an OPT_PARAM's names its OPTIMIZE, an
/// operator's the responses it combines). Keyword values, numbers and texts are no names, even
/// when they read like one.
KEST_CMD_ENGINE_API bool names_commands(KestCmdItemDefs::CmdItem kind);

} // namespace KestCmdDefs
