// The tokenizer of parameter files: blocks opened by a keyword line and closed by an END_ line,
// holding one `KEY = value` line per item. docs/format.md describes the grammar.
#pragma once

#include "utilities/KestUtilitiesExport.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

/// One line of a block.
struct KEST_UTILITIES_API KestParSubCommand {
    /// 1 for an item line, 0 for a comment line (which readers skip).
    int kind = 1;
    /// The text before the first '=', trimmed; empty for a line without '=' and for comments.
    std::string key;
    /// The value text split at ',', each piece trimmed (KestText::split_pieces); none for an
    /// empty value text.
    /// (A KestParScanner made without pieces leaves this empty.)
    std::vector<std::string> pieces;
    /// The 1-based number of the line where the item starts in the file.
    std::size_t line = 0;
    /// The text after the first '=' (the whole line when there is none), trimmed, with its
    /// continuation lines joined by line feeds.
    std::string value;

    /// The value text.
    const std::string& getValueLine() const { return value; }
};

/// One block: its keyword and its lines.
struct KEST_UTILITIES_API KestParCommand {
    /// The keyword line, trimmed.
    std::string keyword;
    std::vector<KestParSubCommand> subCommands;
    /// The 1-based number of the keyword line.
    std::size_t line = 0;
};

/// Splits the text of a parameter file block by block, keeping nothing but its place: a reader
/// that turns each block into something else never holds the tokens of the whole file.
class KEST_UTILITIES_API KestParScanner {
  public:
    /// Scans `text`, which must outlive the scanner. Without `with_pieces`, lines come without
    /// their pieces, for a reader that splits the few values it needs itself
    /// (KestText::split_pieces).
    explicit KestParScanner(std::string_view text, bool with_pieces = true);

    /// Fills `block` with the next block and returns true, or returns false at the end of the
    /// text. The strings and vectors already in `block` are reused, so that passing the same
    /// block again and again allocates almost nothing once it has seen the largest block.
    bool Next(KestParCommand& block);

    /// The first half of Next, for a reader that takes the lines of a block one by one: fills
    /// the keyword and line of `block` and empties its lines. Lines of the previous block that
    /// were not taken are skipped.
    bool NextKeyword(KestParCommand& block);
    /// Fills `sub` with the next line of the block that NextKeyword opened and returns true, or
    /// returns false at the block's end.
    bool NextItem(KestParSubCommand& sub);
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
    bool _with_pieces = true;
    bool _in_block = false;
    /// Lines of earlier blocks beyond the current block's count, kept for their storage.
    std::vector<KestParSubCommand> _spare;
};

/// A parameter file split into blocks, in file order.
class KEST_UTILITIES_API KestParFile {
  public:
    using const_iterator = std::vector<KestParCommand>::const_iterator;

    /// Reads and splits the file at `path`. Throws ZUL_Failure naming the path and the operating
    /// system's reason when the file cannot be opened or read.
    explicit KestParFile(const std::wstring& path);
    /// Splits `text`, the content of a parameter file.
    static KestParFile FromText(std::string_view text);

    const_iterator begin() const { return _commands.begin(); }
    const_iterator end() const { return _commands.end(); }
    const std::vector<KestParCommand>& commands() const { return _commands; }

  private:
    KestParFile() = default;
    void Split(std::string_view text);

    std::vector<KestParCommand> _commands;
};
