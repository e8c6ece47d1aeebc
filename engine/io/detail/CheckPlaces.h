// Where check's findings stand: the ranges of block keywords, keys, values and the pieces of a
// value, read from the document's positions and lines. Every position check reports comes from
// here, so that one place decides how the text is cut.
#pragma once

#include "engine/io/KestParDocument.h"

#include <optional>
#include <string>
#include <utility>

namespace KestCheckDetail {

class CheckPlaces {
  public:
    explicit CheckPlaces(const KestParDocument& document) : _document(document) {}

    /// A block's keyword line.
    struct Block {
        KestTextPosition keyword;
        KestTextPosition keyword_end;
        std::string written; ///< the keyword as written (trimmed)
        /// Whether an END_ line closes the block (not the end of the text).
        bool closed = false;
    };
    Block BlockOf(std::size_t command) const;

    /// An item's line.
    struct Line {
        bool has_equals = false;
        KestTextPosition key;
        KestTextPosition key_end;
        std::string written_key; ///< the key as written (trimmed); empty without '='
        KestTextPosition value;
        KestTextPosition value_end;
    };
    Line LineOf(const KestItemSpan& span) const;

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
};

} // namespace KestCheckDetail
