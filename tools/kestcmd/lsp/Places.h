// What stands at a place of a job's text: keys, names and the commands they name.
#pragma once

#include "OpenDocument.h"
#include "Protocol.h"

#include <string>
#include <utility>
#include <vector>

namespace kestcmd::lsp {

/// The reader's place of params.position.
KestTextPosition place_param(const OpenDocument& document, const json& params);

/// Where the key of an item's line ends: before the blanks ahead of its '=', or at the end of
/// the value for a line without '='.
KestTextPosition key_end(const KestParDocument& document, const KestItemSpan& span);

/// The command that the text at `place` names: the command a name piece under it names
/// (name_at), or the command whose keyword line or ID_NAME line it is on; null when none.
const KestCmd* command_named_at(const KestParDocument& document, KestTextPosition place);

/// The first ID_NAME of `cmd` as the text writes it (as the job holds it for a command that the
/// default rules made); empty for a command without one.
std::string written_name(const KestParDocument& document, const KestCmd& cmd);

/// The ranges of the text that name `target` (pieces_naming), as byte offsets in the order of
/// the text.
std::vector<std::pair<std::size_t, std::size_t>> names_of(const OpenDocument& document,
                                                          const KestCmd& target);

} // namespace kestcmd::lsp
