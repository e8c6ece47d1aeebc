// kestcmd check and kestcmd schema: the findings of job files, written as text, JSON or SARIF,
// and the schema they are checked against.
#pragma once

#include <KestCmdEngine.h>

#include <ostream>
#include <string>
#include <vector>

namespace kestcmd {

struct CheckOptions {
    /// Files, folders (their *.par files) and "-" (standard input).
    std::vector<std::string> paths;
    /// Schema files laid over each file's settings, in order.
    std::vector<std::string> schemas;
    std::vector<std::string> ignore;
    /// The least severity that makes check exit 1: "error", "warning" or "information".
    std::string severity = "warning";
    std::string format = "text"; ///< "text", "json" or "sarif"
    std::string color = "auto";  ///< "auto", "always" or "never"
    std::size_t threads = 0;
};

int run_check(const CheckOptions& options);

/// kestcmd schema: the schema that check uses for a job at `path` (or in the working folder),
/// with `schemas` laid over it, as JSON or as the Markdown of docs/keys.md.
int run_schema(const std::string& path, const std::vector<std::string>& schemas,
               const std::string& format);

/// One checked file: its name as given, its text's lines, and its findings.
struct CheckedFile {
    std::string path;
    const KestParDocument* document;
    std::vector<KestParDiagnostic> found;
};

/// The findings of `files` in the form `format`; `color` paints the text form.
void write_findings(std::ostream& out, const std::vector<CheckedFile>& files,
                    const std::string& format, bool color);

/// The schema as the Markdown of docs/keys.md.
void write_keys_markdown(std::ostream& out, const KestJobSchema& schema);

} // namespace kestcmd
