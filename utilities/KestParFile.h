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
    /// empty value text. Empty in the lines that Parse hands to the item processors, which split
    /// what they need themselves.
    std::vector<std::string> pieces;
    /// The 1-based number of the line where the item starts in the file.
    std::size_t line = 0;
    /// The text after the first '=' (the whole line when there is none), trimmed, with its
    /// continuation lines joined by line feeds.
    std::string value;
    /// Where the key and the value stand. Columns are 1-based and count bytes of their line (a
    /// byte-order mark at the start of the text is not part of line 1). The key and the value
    /// start on `line`; a line without '=' has its key column at its value. An empty value
    /// starts and ends right after the '='. The end is exclusive: the column after the value's
    /// last byte, on `end_line`, the last line of a continued value.
    std::size_t key_column = 0;
    std::size_t value_column = 0;
    std::size_t end_line = 0;
    std::size_t end_column = 0;

    /// The value text.
    const std::string& getValueLine() const { return value; }
};

/// One block: its keyword and its lines.
struct KEST_UTILITIES_API KestParCommand {
    /// The keyword line, trimmed.
    std::string keyword;
    std::vector<KestParSubCommand> subCommands;
    /// The 1-based number of the keyword line, and the column of the keyword on it.
    std::size_t line = 0;
    std::size_t column = 0;
    /// The line of the END_ that closed the block, or the last line of the text when none did.
    /// Filled once the block's lines are read (Next, ReadLines, or NextItem returning false).
    std::size_t end_line = 0;
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
