// The reusable rule functions that complete a command: each takes the command and its container
// first; a rule binds the remaining arguments.
#pragma once

#include "engine/KestCmdEngineExport.h"
#include "engine/container/KestCmdContainer.h"
#include "engine/vocabulary/KestCmdEnumValues.h"

#include <string>

namespace KestCmdContainerDefaultRules {

/// Adds an auto item `item` = `value` when `cmd` has no item of that kind.
KEST_CMD_ENGINE_API void Rule_AddValueIfNotPresent(KestCmd& cmd, const KestCmdContainer& container,
                                                   KestCmdItemDefs::CmdItem item,
                                                   const std::string& value,
                                                   const KestCmdItemDefs::EnumMap& enums);

/// Adds an auto item `item` = `value` when `cmd` has no item of that kind and its first
/// `condItem` item has the keyword reading `condValue`.
KEST_CMD_ENGINE_API void Rule_AddValueIfEnumPresent(KestCmd& cmd, const KestCmdContainer& container,
                                                    KestCmdItemDefs::CmdItem condItem,
                                                    KestCmdItemDefs::EnumValue condValue,
                                                    KestCmdItemDefs::CmdItem item,
                                                    const std::string& value,
                                                    const KestCmdItemDefs::EnumMap& enums);

/// Adds a reference item `item` to the first command of type `refCmd` whose first ID_NAME is
/// `idName`, when `cmd` has no item of that kind and such a command exists.
KEST_CMD_ENGINE_API void Rule_AddReference(KestCmd& cmd, const KestCmdContainer& container,
                                           KestCmdItemDefs::CmdItem item, KestCmdDefs::Cmd refCmd,
                                           const std::string& idName);

/// Adds a reference item `item` to the first command of type `refCmd`, when `cmd` has no item of
/// that kind and the container holds such a command.
KEST_CMD_ENGINE_API void Rule_AddReferenceToFirstCmd(KestCmd& cmd,
                                                     const KestCmdContainer& container,
                                                     KestCmdItemDefs::CmdItem item,
                                                     KestCmdDefs::Cmd refCmd);

/// Copies a value into `cmd`: R is the command that the first `refItem` item of the first
/// command of type `srcCmd` refers to; if R's first `srcItem` item offers a reading of
/// `dataType`, its text becomes a new auto item `dstItem` of `cmd` when `cmd` has none, or
/// replaces `cmd`'s first `dstItem` item when `replace` is set and the texts differ.
KEST_CMD_ENGINE_API void
Rule_CopyTypeToCmd(KestCmd& cmd, const KestCmdContainer& container, KestCmdDefs::Cmd srcCmd,
                   KestCmdItemDefs::CmdItem refItem, KestCmdItemDefs::CmdItem srcItem,
                   KestCmdItemDefs::CmdItem dstItem, KestCmdItemDefs::DataType dataType,
                   const KestCmdItemDefs::EnumMap& enums, bool replace);

/// Rule_CopyTypeToCmd with the same source and destination kind `item`.
KEST_CMD_ENGINE_API void Rule_CopyTypeToCmd(KestCmd& cmd, const KestCmdContainer& container,
                                            KestCmdDefs::Cmd srcCmd,
                                            KestCmdItemDefs::CmdItem refItem,
                                            KestCmdItemDefs::CmdItem item,
                                            KestCmdItemDefs::DataType dataType,
                                            const KestCmdItemDefs::EnumMap& enums, bool replace);

} // namespace KestCmdContainerDefaultRules
