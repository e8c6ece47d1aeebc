// Laying out the text of a job the way the writer does, without changing what it reads as.
#pragma once

#include "engine/KestCmdEngineExport.h"
#include "engine/io/KestCmdIoConfig.h"

#include <string>
#include <string_view>

/// The text of a job laid out the way the writer lays out its blocks; reading it gives the job
/// that reading `text` gives (only positions differ), and laying it out again changes nothing.
///
/// - A block's keyword and its END_ line stand at column 1, its lines indented by two blanks as
///   `KEY = value` (`KEY =` for an empty value); blocks are parted by one blank line.
/// - Keywords and keys that the reader of `config` knows are upper-cased, others keep their
///   spelling (so does DEF_TYPE, which the reader compares exactly). The first word of an END_
///   line is upper-cased (`end_dv` gives `END_DV`); what follows it on its line is kept. A block
///   that the end of the text closed gets an END_.
/// - Values are never changed. The lines of a continued value after its first are kept as
///   written, their leading blanks included: the reader keeps those blanks in the value.
/// - Comments stay where they stand, indented like the line that follows them. A line without
///   '=' inside a block is indented like the others. Outside blocks, an END_ line (which the
///   reader skips) is kept like a comment.
/// - Blank lines inside a block go, except one after a value ending with ',' that a line
///   without '=' follows (without it, the value would take that line). Elsewhere a run of blank
///   lines becomes one; none stays at the start or the end of the text.
/// - The text keeps its byte-order mark (and gets one when its first keyword starts with the
///   bytes of one), and its line end: CRLF when its first line ends so, else LF, for every line.
///   The text ends with a line end (an empty text stays empty).
KEST_CMD_ENGINE_API std::string format_par_text(std::string_view text,
                                                const KestCmdIoConfig& config = KestCmdIoConfig());
