// The log: warnings go to standard error unless the program installs a sink of its own.
#pragma once

#include "utilities/KestUtilitiesExport.h"

#include <functional>
#include <string>
#include <vector>

namespace ZUL_LogMacros {

/// One message as it was logged, before any formatting.
struct LogRecord {
    std::string severity; ///< "WARNING"
    std::string file;     ///< source that logged it
    int line = 0;         ///< line in that source
    std::string prefix;   ///< prefix as passed, placeholders not expanded
    std::string message;
};

/// Receives every logged message.
using Sink = std::function<void(const LogRecord&)>;

/// Logs a warning. The default sink writes one line to standard error: the prefix with its
/// placeholders expanded (%T the local time "YYYY-MM-DD HH:MM:SS", %n the severity, %P the
/// process id), the message, then " (file:line)". Line breaks inside the message are written
/// as blanks so that one warning stays one line.
KEST_UTILITIES_API void warning(const char* file, int line, const char* prefix,
                                const char* message);

/// Installs `sink` for all later messages and returns the one it replaces; an empty sink
/// restores the default. Installing and logging may happen on different threads.
KEST_UTILITIES_API Sink set_sink(Sink sink);

/// Hands `record` on as logging it would: to the sink, or to the messages its thread holds.
KEST_UTILITIES_API void emit(const LogRecord& record);

/// While it lives, the messages that its thread logs are kept in it instead of reaching the
/// sink, so that work split over threads can hand them on in a fixed order (emit). Holds nest:
/// the innermost keeps the messages.
class KEST_UTILITIES_API HeldMessages {
  public:
    HeldMessages();
    ~HeldMessages();
    HeldMessages(const HeldMessages&) = delete;
    HeldMessages& operator=(const HeldMessages&) = delete;

    /// The messages kept so far, in the order they were logged; they are no longer kept.
    std::vector<LogRecord> Take();

  private:
    std::vector<LogRecord> _records;
    std::vector<LogRecord>* _outer; ///< the messages of the hold this one nests in, or null
};

/// The line the default sink writes for `record`, without the line feed.
KEST_UTILITIES_API std::string format_line(const LogRecord& record);

} // namespace ZUL_LogMacros
