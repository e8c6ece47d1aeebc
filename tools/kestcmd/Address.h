// The address of one value of a job, as get, set and unset take it: COMMAND.KEY or
// COMMAND.KEY[N], where COMMAND is an ID_NAME or TYPE[N].
#pragma once

#include <KestCmdEngine.h>

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kestcmd {

/// An address that is no COMMAND.KEY[N] (a usage error).
class BadAddress : public std::invalid_argument {
  public:
    using std::invalid_argument::invalid_argument;
};

/// An address that names nothing in a job (no such command, key or item); the message says why.
class NamesNothing : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct Address {
    /// The command: by name (upper-cased), or by type and position among the commands of that
    /// type read from the text, in file order (`by_type`).
    std::string name;
    bool by_type = false;
    KestCmdDefs::Cmd type = KestCmdDefs::CMD_PLACEHOLDER;
    std::size_t position = 0;
    /// The item: its kind, and its position among the items of that kind.
    KestCmdItemDefs::CmdItem kind = KestCmdItemDefs::PLACEHOLDER;
    std::size_t index = 0;
};

/// Parses `text`: a command name (which may hold dots) or TYPE[N] with TYPE a command type, a
/// dot, an item kind's name (in any case) and optionally [N]. Throws BadAddress for a text of
/// another form and NamesNothing for a key that is no item kind.
Address parse_address(std::string_view text);

/// The command `address` names in `job`, a job read with `positions`: by name, the one command
/// whose first ID_NAME is the name, compared upper-cased as the reader compares names (one that
/// completion made counts too); by type, the command read from the text. Throws NamesNothing
/// when there is none, or when the name belongs to several commands.
const KestCmd& find_command(const Address& address, const KestCmdContainer& job,
                            const KestSourceMap& positions);

/// How many items of `kind` the block of `cmd` has lines for (0 for a command that completion
/// made).
std::size_t lines_of(const KestSourceMap& positions, const KestCmd& cmd,
                     KestCmdItemDefs::CmdItem kind);

/// `KIND[N]`, the way messages name an item.
std::string item_label(KestCmdItemDefs::CmdItem kind, std::size_t index);

} // namespace kestcmd
