// The compact text of integer lists ("1,3,10-20,30-50:5"): reading it into runs and writing runs
// back, shared by every LumoList instance.
#pragma once

#include "engine/KestCmdEngineExport.h"
#include "engine/model/LumoRunSet.h"

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace LumoListText {

/// The source that the warning of a step of 0 is logged under.
inline constexpr const char* log_source = "ProtectedInterfaces/LumoList";

/// How reading a text ended.
struct ReadResult {
    enum Error {
        none,
        number,            ///< no number where one was due
        separator_missing, ///< the character after a number could not be read
        bad_separator,     ///< a character other than ',', '-' or ':' after a number
    };
    Error error = none;
    char separator = '\0'; ///< the offending character when error is `bad_separator`
    bool warned = false;   ///< a step of 0 was met and reported
    /// A range whose step points away from its end was met ("5-1"): it added its start alone.
    bool away = false;
};

/// Reads `text` and appends to `added` one run per single value or expanded range, in the order
/// read. Numbers are read as a stream reads an integer of the range [min_value, max_value]: a
/// number out of that range fails like a missing one. A range without step uses `default_step`.
/// Stops at the first error; what was added before it stays. A step of 0 logs a warning unless
/// `log_warnings` is false.
KEST_CMD_ENGINE_API ReadResult read(std::string_view text, std::int64_t min_value,
                                    std::int64_t max_value, std::int64_t default_step,
                                    std::vector<LumoRunSet::Run>& added, bool log_warnings = true);

/// `read` from a stream, which is consumed up to the point where reading stopped.
KEST_CMD_ENGINE_API ReadResult read(std::istream& stream, std::int64_t min_value,
                                    std::int64_t max_value, std::int64_t default_step,
                                    std::vector<LumoRunSet::Run>& added);

/// The failure text of a read that ended with `result`: the message with the values read so far
/// in compact form, cut to 1023 bytes.
KEST_CMD_ENGINE_API std::string failure_message(const ReadResult& result, const LumoRunSet& values,
                                                std::int64_t default_step);

/// Writes the compact text of `values`: runs of three or more values with a constant difference
/// as "first-last" (with ":difference" when that differs from `default_step`), other values
/// one by one, separated by ",". With `wrap`, a line break follows whenever the entries of the
/// line (a value counts 1, a range 2) reach 9.
KEST_CMD_ENGINE_API void write(std::ostream& stream, const LumoRunSet& values,
                               std::int64_t default_step, bool wrap);

/// The unwrapped compact text, cut once it reaches `limit` bytes (it may end a few bytes past).
KEST_CMD_ENGINE_API std::string to_text(const LumoRunSet& values, std::int64_t default_step,
                                        std::size_t limit);

} // namespace LumoListText
