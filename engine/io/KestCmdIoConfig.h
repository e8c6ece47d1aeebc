// What a file adapter is told about a job's syntax: which keywords and keys stand for which
// command types and item kinds, the keyword map that types values, and extra default rules.
#pragma once

#include "engine/KestCmdEngineExport.h"
#include "engine/defaults/KestCmdContainerDefaults.h"
#include "engine/vocabulary/KestCmdDefs.h"
#include "engine/vocabulary/KestCmdEnumValues.h"
#include "engine/vocabulary/KestCmdItemDefs.h"

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

/// A reader configuration, a plain value. Adapters copy what they need when they are built.
/// Names are compared with the upper-cased keyword or key of the file, exactly as stored; for a
/// name given twice, the first pair counts.
struct KEST_CMD_ENGINE_API KestCmdIoConfig {
    /// What the constructor puts in.
    enum AddValues {
        DEFAULT_VALUES = 0, ///< the standard names and keyword map
        NO_VALUES = 1,      ///< nothing
    };

    explicit KestCmdIoConfig(AddValues values = DEFAULT_VALUES);
    KestCmdIoConfig(const KestCmdIoConfig& other);
    KestCmdIoConfig(KestCmdIoConfig&& other) noexcept;
    KestCmdIoConfig& operator=(const KestCmdIoConfig& other);
    KestCmdIoConfig& operator=(KestCmdIoConfig&& other) noexcept;
    ~KestCmdIoConfig();

    std::vector<std::pair<KestCmdDefs::Cmd, std::string>> cmd_names;
    std::vector<std::pair<KestCmdItemDefs::CmdItem, std::string>> item_names;
    KestCmdItemDefs::EnumMap enum_map;
    /// Appended by the reader after its own rules.
    std::vector<KestCmdContainerDefaults::DefaultValueRule> default_value_rules;
    /// Appended by the reader after its own manipulators.
    std::vector<KestCmdContainerDefaults::ContainerManipulator> container_manipulator_rules;

    /// How many threads reading a text may use: 1, the calling thread alone, unless the caller
    /// asks for more (0: as many as the hardware runs). The job, its positions, its warnings and
    /// its failures are the same for any number.
    std::size_t threads = 1;
    /// The fewest bytes of text worth a thread of their own: a text below twice this is read on
    /// one thread.
    std::size_t bytes_per_thread = std::size_t{512} * 1024;
};
