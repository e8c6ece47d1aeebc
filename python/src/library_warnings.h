// The library's warnings (a step of 0 in an integer list) as Python warnings: kestcmd.KestWarning,
// a UserWarning, naming the job and the line of the value, instead of lines on standard error.
#pragma once

#include <KestCmdEngine.h>
#include <pybind11/pybind11.h>

#include <string>
#include <vector>

namespace kestpy {

/// While it lives, what the library logs on this thread is held (also with the GIL released),
/// to be given to Python by Warn.
class HeldWarnings {
  public:
    /// Gives what was held so far to warnings.warn: one KestWarning for each value of `source`
    /// that warned, with its line as `where()` (a callable giving the text's positions, or null
    /// for none) shows it; one for each other message. `where` is only called when something
    /// was held. Needs the GIL; throws pybind11::error_already_set when a warning is made an
    /// error.
    template <class Where>
    void Warn(const std::string& source, Where where) {
        const std::vector<ZUL_LogMacros::LogRecord> records = _held.Take();
        if (!records.empty()) {
            Give(records, source, where());
        }
    }

  private:
    static void Give(const std::vector<ZUL_LogMacros::LogRecord>& records,
                     const std::string& source, const KestSourceMap* positions);

    ZUL_LogMacros::HeldMessages _held;
};

} // namespace kestpy
