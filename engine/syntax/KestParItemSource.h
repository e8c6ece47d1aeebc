// Where each item the reader made stands in the text: the entry (lines) it came from, and
// whether its text is that entry's whole value, one piece of it, or none (implied by the line).
#pragma once

#include "engine/KestCmdEngineExport.h"
#include "engine/container/KestCmdContainer.h"
#include "engine/io/KestSourceMap.h"
#include "engine/syntax/KestParSyntax.h"

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

/// How an item's text stands in the text of its entry.
enum class KestItemOrigin : unsigned char {
    unread,  ///< not read from the text (the default rules made it)
    whole,   ///< the entry's whole value
    piece,   ///< one piece of the entry's value (the name or coefficient of an operator's
             ///< reference with a coefficient)
    implied, ///< no text of its own: the line implies it (the TYPE of LE_VALUE, the coefficient
             ///< "1.0" an operator's reference without one gets from a later reference)
};

struct KEST_CMD_ENGINE_API KestItemSource {
    KestItemOrigin origin = KestItemOrigin::unread;
    /// The first line of the entry (0 when unread).
    std::size_t line = 0;
    /// The piece of the entry's value, for origin piece.
    std::size_t piece = 0;
    /// Whether the entry made other items too.
    bool shared = false;

    /// Whether the item has text of its own on its line: an edit of that text changes this item
    /// alone.
    bool OwnsText() const {
        return origin == KestItemOrigin::whole || origin == KestItemOrigin::piece;
    }
};

/// Where the item at `index` of `kind` in `cmd` came from. `cmd` is a command of the job whose
/// positions `positions` are, read from the text `syntax` describes.
KEST_CMD_ENGINE_API KestItemSource item_source(const KestParSyntax& syntax,
                                               const KestSourceMap& positions, const KestCmd& cmd,
                                               KestCmdItemDefs::CmdItem kind, std::size_t index);

/// A piece of the text that names a command, and the item it belongs to.
struct KEST_CMD_ENGINE_API KestNamePiece {
    KestByteSpan span;
    const KestCmd* cmd = nullptr;
    KestCmdItemDefs::CmdItem kind = KestCmdItemDefs::PLACEHOLDER;
    std::size_t index = 0;
};

/// The pieces of the text that name `target`: in each item read from the text whose kind names
/// commands (KestCmdDefs::names_commands), the pieces of its value that are names (the name of
/// an operator's reference, each name of a list), whose text is `target`'s first ID_NAME in any
/// case, when `target` is the command that name links to (the first of the job's iteration order
/// that carries it). Keyword values, numbers and other texts that happen to equal the name are no
/// names. In the order of the text; `target`'s own ID_NAME is not among them.
KEST_CMD_ENGINE_API std::vector<KestNamePiece> pieces_naming(const KestParSyntax& syntax,
                                                             const KestSourceMap& positions,
                                                             const KestCmdContainer& job,
                                                             const KestCmd& target);

/// The command a name links to: the first of the job's iteration order whose first ID_NAME is
/// `name` in any case; null when none is.
KEST_CMD_ENGINE_API const KestCmd* command_named(const KestCmdContainer& job,
                                                 std::string_view name);

/// The name piece of an item of `cmd` that holds the byte `offset`, with the command it names
/// (null when it names none); nothing when no name piece holds it.
struct KEST_CMD_ENGINE_API KestNameAt {
    KestByteSpan span;
    const KestCmd* named = nullptr;
};
KEST_CMD_ENGINE_API std::optional<KestNameAt> name_at(const KestParSyntax& syntax,
                                                      const KestSourceMap& positions,
                                                      const KestCmdContainer& job,
                                                      const KestCmd& cmd, std::size_t offset);

/// The pieces of the text that are names (as pieces_naming takes them) and whose text is
/// `name` in any case, whichever command that name links to, if any.
KEST_CMD_ENGINE_API std::vector<KestNamePiece>
pieces_named(const KestParSyntax& syntax, const KestSourceMap& positions, std::string_view name);

/// The pieces of the entry of an item of `kind` in a command of `type` that may be names, given
/// its origin and the count of pieces of its entry (indexes into KestParSyntax::Pieces).
KEST_CMD_ENGINE_API std::vector<std::size_t> name_piece_indexes(KestCmdDefs::Cmd type,
                                                                KestCmdItemDefs::CmdItem kind,
                                                                const KestItemSource& source,
                                                                std::size_t piece_count);
