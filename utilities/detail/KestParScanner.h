// The scanner under KestParFile and the reader: it walks the text of a parameter file block by
// block and line by line, filling reused tokens.
#pragma once

#include "utilities/KestParFile.h"

#include <cstddef>
#include <string_view>
#include <vector>

/// Splits the text of a parameter file block by block, keeping nothing but its place: a reader
/// that turns each block into something else never holds the tokens of the whole file.
class KestParScanner {
  public:
    /// Scans `text`, which must outlive the scanner. Without `with_pieces`, lines come without
    /// their pieces, for a reader that splits the few values it needs itself
    /// (KestText::split_pieces).
    explicit KestParScanner(std::string_view text, bool with_pieces = true);

    /// A stretch of a text, as byte offsets after any byte-order mark, that starts at the text's
    /// start or right after an END_ line, where no block is open: scanned alone, it gives the
    /// blocks that scanning the whole text gives there.
    struct Part {
        std::size_t begin = 0;
        std::size_t end = 0;
        /// The lines of the text before `begin`.
        std::size_t lines_before = 0;
    };
    /// Splits `text` into at most `count` parts of about equal size, which follow each other and
    /// cover it (a text without END_ lines stays whole). Their `lines_before` is left at 0:
    /// the caller adds up the LineCount of the parts before.
    static std::vector<Part> Split(std::string_view text, std::size_t count);
    /// Where the last block boundary of `text` at or after `from` lies: after the last END_ line
    /// that starts there or later and ends with a line feed, or `from` when there is none. A
    /// reader of a text that arrives in pieces scans up to there and keeps the rest for the next
    /// piece (the offsets are those of Part).
    static std::size_t LastBoundary(std::string_view text, std::size_t from);
    /// The number of line feeds in `part` of `text`.
    static std::size_t LineCount(std::string_view text, const Part& part);
    /// Scans `part` of `text` alone, numbering its lines after the `lines_before` lines.
    KestParScanner(std::string_view text, const Part& part, bool with_pieces = true);

    /// The rules of a line that every reading of the text shares: `trimmed` is a comment ('#'
    /// first); `line` (trimmed: `trimmed`) is a block end (END_ first in any case, no '=');
    /// a value ending so goes on over the next line when that line may continue it (not blank,
    /// no comment, no block end, no '=').
    static bool IsComment(std::string_view trimmed);
    static bool IsBlockEnd(std::string_view line, std::string_view trimmed);
    static bool Continues(std::string_view value) { return !value.empty() && value.back() == ','; }
    static bool MayContinue(std::string_view line, std::string_view trimmed);
    /// Where the '=' that splits an item line into key and value stands, or npos.
    static std::size_t EqualsOf(std::string_view line) { return line.find('='); }

    /// Fills `block` with the next block and returns true, or returns false at the end of the
    /// text. The strings and vectors already in `block` are reused, so that passing the same
    /// block again and again allocates almost nothing once it has seen the largest block.
    bool Next(KestParCommand& block);

    /// The first half of Next, for a reader that takes the lines of a block one by one: fills
    /// the keyword and line of `block` and empties its lines. Lines of the previous block that
    /// were not taken are skipped.
    bool NextKeyword(KestParCommand& block);
    /// Fills `sub` with the next line of the block that NextKeyword opened and returns true, or
    /// returns false at the block's end (EndLine then tells where the block ended).
    bool NextItem(KestParSubCommand& sub);
    /// The end_line of the block whose lines were last read to their end.
    std::size_t EndLine() const { return _end_line; }
    /// Appends the remaining lines of the current block to `block`.
    void ReadLines(KestParCommand& block);

  private:
    /// The next physical line (split at LF, a CR before the LF dropped); false at the end.
    bool NextLine(std::string_view& line);
    /// The line that NextLine would give, without taking it; empty at the end.
    std::string_view PeekLine() const;
    /// The next line of the current block (and `trimmed`, the line trimmed): its sub-command
    /// filled in place.
    void ReadItem(std::string_view line, std::string_view trimmed, KestParSubCommand& sub);

    std::string_view _text;
    std::size_t _pos = 0;
    std::size_t _number = 0;
    std::size_t _end_line = 0;
    bool _with_pieces = true;
    bool _in_block = false;
    /// Lines of earlier blocks beyond the current block's count, kept for their storage.
    std::vector<KestParSubCommand> _spare;
};
