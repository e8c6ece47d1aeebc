// The problems of a job file that readers should know of: unknown keywords and keys, lines
// without '=', names that name nothing, commands without a name or with one given twice.
#pragma once

#include "engine/KestCmdEngineExport.h"
#include "engine/io/KestParDocument.h"
#include "engine/io/KestSourceMap.h"

#include <string>
#include <vector>

/// One problem of a job file, with the range of the keyword, key or value at fault (columns in
/// bytes, the end exclusive).
struct KEST_CMD_ENGINE_API KestParDiagnostic {
    KestTextPosition start;
    KestTextPosition end;
    std::string code;    ///< stable identifier, e.g. "unknown-keyword"
    std::string message; ///< one line, ending with "did you mean 'X'?" where that helps
    /// The known text the message suggests instead of the one at fault ("did you mean"), or
    /// empty.
    std::string suggestion;
    /// Where the problem has its origin, when elsewhere (the name of the first command of a name
    /// given twice); line 0 when there is none.
    KestTextPosition related;
};

/// The problems of the job that `document` holds, in the order of the text:
/// - "unknown-keyword": a block keyword that is no command type (read as CMD_PLACEHOLDER);
/// - "unknown-key": a key that is no item kind (its value read as PLACEHOLDER);
/// - "missing-equals": a line without '=' in a block (a forgotten END_?);
/// - "missing-key": a line with nothing before its '=';
/// - "unknown-name": a value of a kind that names commands naming none of the job;
/// - "duplicate-name": a second command of a type with the same ID_NAME;
/// - "missing-name": a command without ID_NAME, which nothing can refer to.
KEST_CMD_ENGINE_API std::vector<KestParDiagnostic>
check_par_document(const KestParDocument& document);
