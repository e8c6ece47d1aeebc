// What each line of a job's text is and where its parts stand: the one description of the
// syntax that every feature working on the text (edits, layout, checks, addresses, the language
// server, Python) asks, instead of looking for '=', ',', END_ or '#' itself. It is lossless:
// every byte of the text belongs to a line, and the lines cover the text.
#pragma once

#include "engine/KestCmdEngineExport.h"
#include "engine/io/KestSourceMap.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

/// What a line of a job's text is to the reader.
enum class KestLineKind : unsigned char {
    blank,        ///< nothing but white space
    comment,      ///< '#' as its first non-blank byte
    keyword,      ///< opens a block: its text is the block's keyword
    item,         ///< `KEY = value` in a block (a line `= value` has an empty key)
    bare,         ///< text without '=' in a block: the reader takes it for a PLACEHOLDER value
    continuation, ///< goes on with the value of the item or bare line above it, which ends in ','
    block_end,    ///< END_... closing a block
    stray_end,    ///< END_... outside a block: skipped by the reader
};

/// Bytes [begin, end) of the text.
struct KEST_CMD_ENGINE_API KestByteSpan {
    std::size_t begin = 0;
    std::size_t end = 0;

    std::size_t size() const { return end - begin; }
    friend bool operator==(const KestByteSpan& a, const KestByteSpan& b) {
        return a.begin == b.begin && a.end == b.end;
    }
};

/// One physical line: where it stands, what it is, and where its trimmed content and '=' are
/// (offsets inside the line relative to its start). KestParSyntax keeps only where each line
/// starts and its kind, five bytes a line, and works the rest out from the text when asked.
struct KEST_CMD_ENGINE_API KestSyntaxLine {
    static constexpr std::uint32_t none = 0xFFFFFFFFu;

    std::size_t begin = 0;       ///< offset of its first byte
    std::uint32_t length = 0;    ///< bytes before its line end
    std::uint32_t first = 0;     ///< its trimmed content starts here (relative to begin)
    std::uint32_t last = 0;      ///< and ends here (relative, exclusive)
    std::uint32_t equals = none; ///< the first '=' of an item line (relative)
    std::uint8_t eol = 0;        ///< bytes of its line end: 0 (the text's end), 1 (LF), 2 (CR LF)
    KestLineKind kind = KestLineKind::blank;

    /// Offset of the byte after its line end: where the next line starts.
    std::size_t next() const { return begin + length + eol; }
};

/// A block: its keyword line, and the END_ line that closed it or, for a block that the end of
/// the text closed, the text's last line (1-based line numbers).
struct KEST_CMD_ENGINE_API KestSyntaxBlock {
    std::size_t keyword_line = 0;
    std::size_t end_line = 0;
    bool closed = false;
};

/// The syntax of one text, which must outlive it and stay unchanged while it is used: of the
/// whole text, or of a stretch of its lines (a block, say) for a reader that walks a large text
/// and need not hold the syntax of every line at once.
class KEST_CMD_ENGINE_API KestParSyntax {
  public:
    explicit KestParSyntax(std::string_view text);
    /// The syntax of the lines `first_line` to `last_line` of `text` (1-based, numbered as in
    /// the whole text, the first starting at offset `begin`), read as the lines of a text that
    /// starts there: right for a stretch from a block's keyword line on. Stops early at the
    /// text's end. Only lines of the stretch, and offsets in it, may be asked for.
    KestParSyntax(std::string_view text, std::size_t begin, std::size_t first_line,
                  std::size_t last_line);
    /// Reads another stretch of the same text in place of what this holds, as the constructor
    /// does, keeping the memory it holds (for a reader that walks a text stretch by stretch).
    void ReadStretch(std::size_t begin, std::size_t first_line, std::size_t last_line);

    std::string_view Text() const { return _text; }
    /// The offset after the last line and its line end: where a next stretch would start.
    std::size_t End() const { return _end; }
    /// The lines, 1-based: Line(FirstLine()) to Line(LineCount()), FirstLine() being 1 unless
    /// this is the syntax of a stretch. A text ending with a line end has no empty line after
    /// it; a byte-order mark at the start belongs to no line.
    std::size_t FirstLine() const { return _first_line; }
    std::size_t LineCount() const { return _first_line - 1 + _kinds.size(); }
    KestSyntaxLine Line(std::size_t number) const;
    /// What a line is: Line(number).kind, without working out the rest.
    KestLineKind Kind(std::size_t number) const { return _kinds[number - _first_line]; }
    /// The blocks, in the order of the text: one per command the reader makes.
    const std::vector<KestSyntaxBlock>& Blocks() const { return _blocks; }
    /// The index in Blocks() of the block holding `line` (from its keyword to its last line), or
    /// Blocks().size() for a line outside every block.
    std::size_t BlockOf(std::size_t line) const;

    /// Bytes of a line: its content without its line end, and its trimmed content.
    KestByteSpan Content(std::size_t line) const;
    KestByteSpan Trimmed(std::size_t line) const;
    /// The trimmed key of an item line (empty for other lines).
    KestByteSpan Key(std::size_t line) const;
    /// The trimmed value of a line on that line alone: after the '=' of an item line, the
    /// trimmed content of a bare or continuation line; empty right after the '=' when there is
    /// no value.
    KestByteSpan ValueOnLine(std::size_t line) const;

    /// The last line of the entry that starts at `line` (an item or bare line and the lines that
    /// continue its value).
    std::size_t EntryEnd(std::size_t line) const;
    /// The value of the entry at `line` as the reader reads it: its lines' values, the later
    /// ones without their trailing blanks, joined by line feeds.
    std::string Value(std::size_t line) const;
    /// The pieces of that value between commas, each trimmed, as the reader splits them: none
    /// for an empty value, and otherwise every piece, empty ones included. A piece never spans a
    /// line end.
    std::vector<KestByteSpan> Pieces(std::size_t line) const;

    /// Offset of a reader's position (1-based line and byte column); positions past a line's
    /// end stop at it, and past the last line at the text's end.
    std::size_t Offset(KestTextPosition position) const;
    /// The position of an offset.
    KestTextPosition Position(std::size_t offset) const;
    /// Where the first line of `text` starts: after a byte-order mark, if it has one.
    static std::size_t TextBegin(std::string_view text);
    /// The line end a line added to the text takes: the text's first line's, LF when it has
    /// none.
    std::string_view Eol() const;

    /// What edits, the layout and completion write to close a block (the reader takes any line
    /// that starts with it, in any case, as a block's end).
    static constexpr std::string_view block_end = "END_";

    /// Whether `text` reads back as itself wherever a piece of a value stands, at the start of
    /// a continued line too: not empty, no blanks around it, no line break, no ',' or '=', and
    /// neither '#' nor END_ first.
    static bool StandsAsPiece(std::string_view text);

    /// The bytes of `span`.
    std::string_view Bytes(KestByteSpan span) const {
        return _text.substr(span.begin, span.size());
    }

  private:
    /// Lines are kept in groups of `group` lines: where a group's first line starts, and where
    /// each line starts from there (a stretch of `group` lines is less than 4 GiB).
    static constexpr std::size_t group = 256;
    std::size_t Begin(std::size_t index) const {
        return _group_begins[index / group] + _begins[index];
    }
    /// The line (0-based) that holds `offset`, which must not lie before the first line.
    std::size_t IndexAt(std::size_t offset) const;

    std::string_view _text;
    std::size_t _first_line = 1;
    /// The offset after the last line's line end.
    std::size_t _end = 0;
    std::vector<std::uint64_t> _group_begins;
    std::vector<std::uint32_t> _begins;
    std::vector<KestLineKind> _kinds;
    std::vector<KestSyntaxBlock> _blocks;
};
