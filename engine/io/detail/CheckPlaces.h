// Where check's findings stand: the ranges of block keywords, keys, values and the pieces of a
// value, as the document's positions and its syntax give them. Every position check reports
// comes from here.
#pragma once

#include "engine/io/KestParDocument.h"
#include "engine/syntax/KestParSyntax.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace KestCheckDetail {

class CheckPlaces {
  public:
    explicit CheckPlaces(const KestParDocument& document)
        : _document(document), _syntax(document.Syntax()) {}

    /// The physical line `line` (1-based) without its line end; empty past the end.
    std::string_view Line(std::size_t line) const;

    /// A block's keyword line.
    struct Block {
        KestTextPosition keyword;
        KestTextPosition keyword_end;
        std::string_view written; ///< the keyword as written (trimmed)
        /// Whether an END_ line closes the block (not the end of the text).
        bool closed = false;
    };
    /// The block of the `command`-th command of the document's positions.
    Block BlockOf(std::size_t command) const;

    /// An item's line.
    struct ItemLine {
        /// Whether the line has a '=' (a line without one is read as a PLACEHOLDER value).
        bool has_equals = false;
        KestTextPosition key;
        KestTextPosition key_end;
        std::string_view written_key; ///< the key as written (trimmed); empty without '='
    };
    ItemLine LineOf(const KestItemSpan& span) const;

    /// The value as written (a continued value joined as the reader joins it).
    std::string Value(const KestItemSpan& span) const;
    /// The pieces of a value between ',' (as the reader splits it), and their bytes.
    std::vector<KestByteSpan> Pieces(const KestItemSpan& span) const {
        return _syntax.Pieces(span.key.line);
    }
    std::string_view Bytes(KestByteSpan piece) const { return _syntax.Bytes(piece); }
    /// The range of the piece of `pieces` (a value's) that reads as `upper` once upper-cased,
    /// or of the whole value when there is one piece or none does.
    std::pair<KestTextPosition, KestTextPosition> Piece(const KestItemSpan& span,
                                                        const std::vector<KestByteSpan>& pieces,
                                                        std::string_view upper) const;
    /// The first ID_NAME of `cmd` as the text writes it (as the job holds it for a command that
    /// was not read), and the range of its value (its block's keyword when it has no line).
    std::string WrittenName(const KestCmd& cmd) const;
    std::optional<std::pair<KestTextPosition, KestTextPosition>>
    NameRange(const KestCmd& cmd) const;
    /// Where to insert what, to add `line` as a line of its own at the end of the text.
    std::pair<KestTextPosition, std::string> AppendLine(std::string_view line) const;

  private:
    const KestParDocument& _document;
    const KestParSyntax& _syntax;
};

} // namespace KestCheckDetail
