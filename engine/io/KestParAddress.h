// Addresses of single values of a job (COMMAND.KEY[N]), and reading, setting and removing the
// value an address names in a document, as scripts do it.
#pragma once

#include "engine/KestCmdEngineExport.h"
#include "engine/io/KestParDocument.h"

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

/// A text that is no address (COMMAND.KEY or COMMAND.KEY[N]).
class KEST_CMD_ENGINE_API KestParBadAddress : public std::invalid_argument {
  public:
    using std::invalid_argument::invalid_argument;
};

/// An address that names nothing in a job (no such command, key or item); the message says why.
class KEST_CMD_ENGINE_API KestParNamesNothing : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

/// One value of a job: `VOLUME_LIMIT.VALUE`, `STOP[0].ITER_MAX`, `OPTIMISATION.CONSTRAINT[1]`.
struct KEST_CMD_ENGINE_API KestParAddress {
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
/// dot, an item kind's name (in any case) and optionally [N]. Throws KestParBadAddress for a text
/// of another form and KestParNamesNothing for a key that is no item kind.
KEST_CMD_ENGINE_API KestParAddress parse_par_address(std::string_view text);

/// The command `address` names in `document`: by name, the one command whose first ID_NAME is
/// the name, compared upper-cased as the reader compares names (one that completion made counts
/// too); by type, the command read from the text. Throws KestParNamesNothing when there is none,
/// or when the name belongs to several commands (the message lists them).
KEST_CMD_ENGINE_API const KestCmd& find_par_command(const KestParDocument& document,
                                                    const KestParAddress& address);

/// The value text of the item `address` names, as written (a continued value joined as the
/// reader joins it). Throws KestParNamesNothing when the text holds no such item (also for an
/// item that completion made).
KEST_CMD_ENGINE_API std::string get_par_value(const KestParDocument& document,
                                              std::string_view address);

/// Gives the item `address` names the value `value`; the item one past the block's lines of
/// that key gets a new line. Only that item's lines change. Throws as get_par_value does, and
/// KestParEditError for an edit the document refuses.
KEST_CMD_ENGINE_API void set_par_value(KestParDocument& document, std::string_view address,
                                       std::string_view value);

/// Removes the line of the item `address` names.
KEST_CMD_ENGINE_API void unset_par_value(KestParDocument& document, std::string_view address);
