// A job file as text that edits change in place: everything an edit does not touch (comments,
// blank lines, spacing, line ends, unknown keys, continued values) stays byte for byte.
#pragma once

#include "engine/KestCmdEngineExport.h"
#include "engine/container/KestCmdContainer.h"
#include "engine/io/KestCmdIoConfig.h"
#include "engine/io/KestParFileAdapter.h"
#include "engine/io/KestSourceMap.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

/// An edit that cannot apply: its command or item has no place in the text (the default rules
/// made it), or its text would not read back as the edit describes.
class KEST_CMD_ENGINE_API KestParEditError : public std::invalid_argument {
  public:
    using std::invalid_argument::invalid_argument;
};

/// The text of a job and the job read from it. Job() is the job that Parse of the text gives
/// (references linked, defaults applied), with where each command and item stands (Positions()).
/// Edits address commands and items of that job and change only their own lines of the text;
/// the job is read again from the changed text when next asked for, so references into Job()
/// and Positions() are valid until the next edit.
class KEST_CMD_ENGINE_API KestParDocument {
  public:
    /// Reads `text`; `file_name` is what messages call it (and where Save writes by default).
    explicit KestParDocument(std::string text, std::wstring file_name = L"<text>",
                             const KestCmdIoConfig& config = KestCmdIoConfig());
    /// Reads the file at `path`; throws ZUL_Failure when it cannot be read.
    static KestParDocument Open(const std::wstring& path,
                                const KestCmdIoConfig& config = KestCmdIoConfig());

    /// The text, with every edit applied; without edits, the bytes that were read.
    const std::string& Text() const { return _text; }
    const std::wstring& FileName() const { return _file_name; }
    /// The job the text gives.
    const KestCmdContainer& Job() const;
    const KestSourceMap& Positions() const;
    /// The physical line `line` (1-based) of the text, without its line end; empty past the end.
    std::string_view Line(std::size_t line) const;
    /// The bytes of the text from `from` to `to` (exclusive). A value continued over several lines
    /// comes as the reader joins it: its lines without their trailing blanks, joined by line feeds.
    std::string Slice(KestTextPosition from, KestTextPosition to) const;

    /// Sets the value text of an item read from the text; a value continued over several lines
    /// is replaced whole. Blanks around `value` are not kept (the reader trims them).
    void SetValue(const KestCmd& cmd, KestCmdItemDefs::CmdItem kind, std::size_t index,
                  std::string_view value);
    /// Adds the line `key = value` to the block of `cmd`: after the last line of the key's kind,
    /// or at the end of the block when it has none. The line takes the indentation and the line
    /// end of its block.
    void AddItem(const KestCmd& cmd, std::string_view key, std::string_view value);
    /// Removes the line that made an item (with any other item that same line made).
    void RemoveItem(const KestCmd& cmd, KestCmdItemDefs::CmdItem kind, std::size_t index);
    /// Adds a block with `keyword` and the lines `key = value`, after the block of `after`, or at
    /// the end of the text when `after` is null.
    void AddCommand(std::string_view keyword,
                    const std::vector<std::pair<std::string, std::string>>& items,
                    const KestCmd* after = nullptr);
    /// Removes the block of `cmd`, from its keyword line to its END_ line.
    void RemoveCommand(const KestCmd& cmd);
    /// Gives `cmd` the name `name`: its first ID_NAME, and every item of the job that refers to
    /// it (within a list of names, only the name is replaced).
    void RenameCommand(const KestCmd& cmd, std::string_view name);

    /// Writes the text to `path` (the document's file when empty) safely: into a file beside it,
    /// which then replaces it, keeping the permissions of the file it replaces. A failure leaves
    /// the file as it was. Throws ZUL_Failure naming the path and the reason.
    void Save(const std::wstring& path = std::wstring()) const;

  private:
    /// A change of the text: the bytes [begin, end) become `text`.
    struct Replacement {
        std::size_t begin;
        std::size_t end;
        std::string text;
    };
    /// The byte offset of a position of the text.
    std::size_t Offset(KestTextPosition position) const;
    /// The offset where line `line` starts (the text's size past the last line).
    std::size_t LineStart(std::size_t line) const;
    /// The offset after the line end of `line`.
    std::size_t LineEnd(std::size_t line) const;
    /// The line end the text uses ("\r\n" when its first line ends so, else "\n").
    std::string Eol() const;
    /// The indentation of the lines of `cmd`'s block.
    std::string IndentOf(std::size_t cmd_index) const;
    /// The index of `cmd` among the commands of the text; throws KestParEditError for another.
    std::size_t IndexOf(const KestCmd& cmd) const;
    /// Whether a block ends with an END_ line (not with the end of the text).
    bool ClosedByEnd(const KestCmdSpan& span) const;
    KestItemSpan SpanOf(const KestCmd& cmd, KestCmdItemDefs::CmdItem kind, std::size_t index) const;
    /// Applies `changes`, which must not overlap, and marks the job for reading again.
    void Apply(std::vector<Replacement> changes);
    void Refresh() const;

    std::string _text;
    std::wstring _file_name;
    KestParFileAdapter _reader;
    std::vector<std::pair<KestCmdItemDefs::CmdItem, std::string>> _item_names;
    mutable KestCmdContainer _job;
    mutable KestSourceMap _positions;
    /// Where every line_step-th line starts (lines 1, 1 + line_step, ...): a line is found from
    /// the one before it in its step, and a large text's index stays small.
    static constexpr std::size_t line_step = 32;
    mutable std::vector<std::size_t> _line_starts;
    mutable std::size_t _line_count = 0;
    /// A number that no other text of any document had; a new one after each change.
    mutable std::uint64_t _reading = 0;
    mutable bool _stale = true;
};
