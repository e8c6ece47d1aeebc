// Filling a reader configuration with the standard content, and the two standard ways of turning
// a value text into an item.
#pragma once

#include "engine/KestCmdEngineExport.h"
#include "engine/io/KestCmdIoConfig.h"
#include "engine/model/KestCmd.h"

#include "utilities/KestText.h"

#include <string>

namespace KestCmdIo {

/// Appends the default name of every command type and of every item kind (each standing for its
/// own type or kind) behind what the configuration already holds, and replaces its keyword map
/// by the standard one. The rules are left alone.
KEST_CMD_ENGINE_API void prepare_cmd_settings_with_defaults(KestCmdIoConfig& config);

/// Appends an auto item of kind `item` typed from `value` as given.
KEST_CMD_ENGINE_API void cmd_value_processor(KestCmdItemDefs::CmdItem item, KestCmd& command,
                                             const std::string& value,
                                             const KestCmdItemDefs::EnumMap& enums);

/// Appends an auto item of kind `item` typed from `value` upper-cased (KestText::to_upper_copy).
KEST_CMD_ENGINE_API void cmd_value_to_upper_processor(KestCmdItemDefs::CmdItem item,
                                                      KestCmd& command, const std::string& value,
                                                      const KestCmdItemDefs::EnumMap& enums);

/// A copy of `text` whose letters a to z before the first zero byte are upper-cased; every other
/// byte is kept. No locale is consulted. The reader matches keywords and keys with it.
inline std::string to_upper_copy(const std::string& text) {
    return KestText::to_upper_copy(text);
}

} // namespace KestCmdIo

/// The base of the file adapters; it holds nothing.
class KEST_CMD_ENGINE_API KestCmdIoAdapter {
  public:
    KestCmdIoAdapter() = default;
    KestCmdIoAdapter(const KestCmdIoAdapter&) = default;
    KestCmdIoAdapter& operator=(const KestCmdIoAdapter& other);
    KestCmdIoAdapter& operator=(KestCmdIoAdapter&& other) noexcept;
};
