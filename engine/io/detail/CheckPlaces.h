// Where check's findings stand: the ranges of block keywords, keys, values and the pieces of a
// value, as the document's positions and the syntax of the current block give them. Every
// position check reports comes from here. Check walks a job block by block: it holds the syntax
// of one block at a time, not of every line of the text (tens of megabytes for a large job).
#pragma once

#include "engine/io/KestParDocument.h"
#include "engine/syntax/KestParLineStarts.h"
#include "engine/syntax/KestParSyntax.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace KestCheckDetail {

class CheckPlaces {
  public:
    explicit CheckPlaces(const KestParDocument& document);

    /// A block's keyword line.
    struct Block {
        KestTextPosition keyword;
        KestTextPosition keyword_end;
        std::string_view written; ///< the keyword as written (trimmed)
        /// Whether an END_ line closes the block (not the end of the text).
        bool closed = false;
    };
    /// Reads the block of the `command`-th command of the document's positions: the current
    /// block, whose lines LineOf, Value, Pieces, Piece and AppendLine read until the next.
    Block ReadBlock(std::size_t command);

    /// An item's line, in the current block.
    struct ItemLine {
        /// Whether the line has a '=' (a line without one is read as a PLACEHOLDER value).
        bool has_equals = false;
        KestTextPosition key;
        KestTextPosition key_end;
        std::string_view written_key; ///< the key as written (trimmed); empty without '='
    };
    ItemLine LineOf(const KestItemSpan& span) const;

    /// The value as written (a continued value joined as the reader joins it).
    std::string Value(const KestItemSpan& span) const { return _block.Value(span.key.line); }
    /// The pieces of a value between ',' (as the reader splits it), and their bytes.
    std::vector<KestByteSpan> Pieces(const KestItemSpan& span) const {
        return _block.Pieces(span.key.line);
    }
    std::string_view Bytes(KestByteSpan piece) const { return _block.Bytes(piece); }
    /// The range of the piece of `pieces` (a value's) that reads as `upper` once upper-cased,
    /// or of the whole value when there is one piece or none does.
    std::pair<KestTextPosition, KestTextPosition> Piece(const KestItemSpan& span,
                                                        const std::vector<KestByteSpan>& pieces,
                                                        std::string_view upper) const;
    /// Where to insert what, to add `line` as a line of its own at the end of the text; the
    /// current block must reach the text's end.
    std::pair<KestTextPosition, std::string> AppendLine(std::string_view line) const;

    /// The first ID_NAME of the `command`-th command (or of `cmd`) as the text writes it, as
    /// the job holds it when it has no line of its own; empty for a command without a name.
    std::string WrittenName(std::size_t command) const;
    std::string WrittenName(const KestCmd& cmd) const;
    /// The range of the value of the first ID_NAME of the `command`-th command (or of `cmd`),
    /// or of its block's keyword when the name has no line of its own; none for a command that
    /// was not read.
    std::pair<KestTextPosition, KestTextPosition> NameRange(std::size_t command) const;
    std::optional<std::pair<KestTextPosition, KestTextPosition>>
    NameRange(const KestCmd& cmd) const;

  private:
    /// The bytes from `from` to `to`, two positions on one line of any block.
    std::string_view Bytes(KestTextPosition from, KestTextPosition to) const;
    /// Where the first ID_NAME of the `command`-th command stands, if a line gives it.
    std::optional<KestItemSpan> NameSpan(std::size_t command) const;

    const KestSourceMap& _positions;
    KestParLineStarts _lines;
    /// The current block's lines (none before the first ReadBlock).
    KestParSyntax _block;
};

} // namespace KestCheckDetail
