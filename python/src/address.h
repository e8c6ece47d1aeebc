// Addresses of commands and values in a document, as `kestcmd get`, `set` and `unset` take them:
// COMMAND or COMMAND.KEY[N], COMMAND an ID_NAME or TYPE[N], [N] counted from 0 and optional.
#pragma once

#include <KestCmdEngine.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace kestpy {

struct ParAddress {
    /// The command: by name (upper-cased), or by type and position among the blocks of that type
    /// in the text (`by_type`).
    std::string name;
    bool by_type = false;
    KestCmdDefs::Cmd type = KestCmdDefs::CMD_PLACEHOLDER;
    std::size_t position = 0;
    /// The item: its kind and its position among the items of that kind.
    KestCmdItemDefs::CmdItem kind = KestCmdItemDefs::PLACEHOLDER;
    std::size_t index = 0;
};

/// Parses `text`, COMMAND.KEY[N] when `with_item`, else COMMAND alone (a name may hold dots).
/// Throws ValueError for another form or a key that is no item kind.
ParAddress parse_address(std::string_view text, bool with_item);

/// The command `address` names in `document`: by name, the one command whose first ID_NAME is
/// the name (compared upper-cased); by type, the block of the text. KeyError for none, and for a
/// name several commands have.
const KestCmd& find_command(const ParAddress& address, const KestParDocument& document);

/// How many items of `kind` the block of `cmd` has lines for (0 for a command completion made).
std::size_t lines_of(const KestParDocument& document, const KestCmd& cmd,
                     KestCmdItemDefs::CmdItem kind);

} // namespace kestpy
