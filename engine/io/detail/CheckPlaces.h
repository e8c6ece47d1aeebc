// Where check's findings stand: the ranges of block keywords, keys, values and the pieces of a
// value, read from the document's positions and lines. Every position check reports comes from
// here, so that one place decides how the text is cut.
#pragma once

#include "engine/io/KestParDocument.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace KestCheckDetail {

class CheckPlaces {
  public:
    /// Indexes the lines of the document's text (one pass over it).
    explicit CheckPlaces(const KestParDocument& document);

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
    Block BlockOf(std::size_t command) const;

    /// An item's line.
    struct ItemLine {
        bool has_equals = false;
        KestTextPosition key;
        KestTextPosition key_end;
        std::string_view written_key; ///< the key as written (trimmed); empty without '='
        KestTextPosition value;
        KestTextPosition value_end;
    };
    ItemLine LineOf(const KestItemSpan& span) const;

    /// The value as written (a continued value joined as the reader joins it).
    std::string Value(const KestItemSpan& span) const;
    /// The range of the piece of a value (between ',') that reads as `upper` once upper-cased,
    /// or of the whole value when none does.
    std::pair<KestTextPosition, KestTextPosition> Piece(const KestItemSpan& span,
                                                        std::string_view upper) const;
    /// The first ID_NAME of `cmd` as the text writes it (as the job holds it for a command that
    /// was not read), and the range of its value (none for a command that was not read).
    std::string WrittenName(const KestCmd& cmd) const;
    std::optional<std::pair<KestTextPosition, KestTextPosition>> NameRange(const KestCmd& cmd) const;
    /// Where to insert what, to add `line` as a line of its own at the end of the text.
    std::pair<KestTextPosition, std::string> AppendLine(std::string_view line) const;

  private:
    const KestParDocument& _document;
    /// Where each line starts, and the text's size as the start of the line after the last.
    std::vector<std::size_t> _starts;
};

} // namespace KestCheckDetail
