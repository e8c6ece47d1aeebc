// A finding about a job's text, as check reports it everywhere (the tool, the language server,
// Python): what is wrong, how much it matters, where, what else is involved, and a fix.
#pragma once

#include "engine/KestCmdEngineExport.h"
#include "engine/io/KestSourceMap.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

/// How much a finding matters.
enum class KestSeverity {
    error,       ///< the job is read other than it is written (a link not made, a value lost)
    warning,     ///< the job reads as written, but probably not as meant
    information, ///< worth knowing, nothing wrong
};

/// "error", "warning" or "information".
KEST_CMD_ENGINE_API const char* severity_name(KestSeverity severity);
/// The severity of one of those names, or none.
KEST_CMD_ENGINE_API std::optional<KestSeverity> severity_named(std::string_view name);

/// A place of the text that a finding involves besides its own, and what it is.
struct KEST_CMD_ENGINE_API KestParRelated {
    KestTextPosition start;
    KestTextPosition end;
    std::string message;
};

/// A change of the text that mends a finding: the text from `start` to `end` (the same place
/// for an insertion) becomes `text`.
struct KEST_CMD_ENGINE_API KestParFix {
    std::string title; ///< "Replace with 'DRESP'"
    KestTextPosition start;
    KestTextPosition end;
    std::string text;
};

/// One finding of check, with the range of the keyword, key or value at fault (columns in bytes,
/// the end exclusive).
struct KEST_CMD_ENGINE_API KestParDiagnostic {
    KestTextPosition start;
    KestTextPosition end;
    std::string code; ///< stable identifier, e.g. "unknown-key" (check_codes lists them)
    KestSeverity severity = KestSeverity::warning;
    std::string message; ///< one line, ending with "did you mean 'X'?" where that helps
    std::vector<KestParRelated> related;
    std::optional<KestParFix> fix;
};

/// A code that check gives, with what it finds.
struct KEST_CMD_ENGINE_API KestParCheckCode {
    const char* code;
    /// The severity it always has; none for the findings on a fact of the schema, which are
    /// errors for a fact of the format and warnings otherwise.
    std::optional<KestSeverity> severity;
    const char* summary;
};

/// Every code check gives, in a fixed order.
KEST_CMD_ENGINE_API const std::vector<KestParCheckCode>& check_codes();
