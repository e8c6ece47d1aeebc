// Checking a job file: what is wrong with it or probably not meant, against a schema of blocks,
// keys and values (engine/schema), as findings of one model (KestParDiagnostic.h).
#pragma once

#include "engine/KestCmdEngineExport.h"
#include "engine/io/KestParDiagnostic.h"
#include "engine/io/KestParDocument.h"
#include "engine/schema/KestJobSchema.h"

#include <set>
#include <string>
#include <string_view>
#include <vector>

/// What check compares a job with, and which findings it leaves out.
struct KEST_CMD_ENGINE_API KestParCheckSettings {
    /// The built-in schema, nothing ignored.
    KestParCheckSettings();

    KestJobSchema schema;
    /// Codes of findings to leave out.
    std::set<std::string, std::less<>> ignore;
    /// The settings files laid over the built-in settings, nearest last (for messages).
    std::vector<std::string> files;

    /// Lays settings text over these: a JSON object with "schema" (a schema object, or the path
    /// of a schema file, relative to `folder`) and "ignore" (a list of codes, added). `origin`
    /// names the text in messages. Throws KestSchemaError and leaves the settings as they were.
    void Extend(std::string_view json, const std::string& origin, const std::string& folder);
    /// Lays the settings file `path` over these.
    void ExtendFromFile(const std::string& path);

    /// The settings for the job file at `path` (UTF-8; empty or "-" for standard input, which
    /// counts as a file in the working folder): the built-in settings with the nearest settings
    /// file laid over them, found as `settings_file_name` in the file's folder or the nearest
    /// folder above it. Throws KestSchemaError when that file cannot be used.
    static KestParCheckSettings ForFile(const std::string& path);
};

/// The name of the settings file that ForFile looks for.
inline constexpr const char* settings_file_name = ".kestcmd.json";

/// The findings of the job that `document` holds, in the order of the text, without those whose
/// code `settings` ignores. Without a schema entry (an empty schema) check finds unknown
/// keywords and keys, lines without '=', blocks without END_, names given twice or missing, and
/// the integer-list reader's warnings; the schema adds what concerns keys and their values
/// (check_codes lists every code). Reading the job is not changed by anything check finds.
KEST_CMD_ENGINE_API std::vector<KestParDiagnostic>
check_par_document(const KestParDocument& document,
                   const KestParCheckSettings& settings = KestParCheckSettings());

/// Reads `text` into a document to check: the warnings the integer-list reader logs (a range
/// with step 0), which check reports at their values, are not logged; other messages are.
KEST_CMD_ENGINE_API KestParDocument
read_document_to_check(std::string text, std::wstring file_name = L"<text>",
                       const KestCmdIoConfig& config = KestCmdIoConfig());
