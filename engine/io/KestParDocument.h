// A job file as text that edits change in place: everything an edit does not touch (comments,
// blank lines, spacing, line ends, unknown keys, continued values) stays byte for byte.
#pragma once

#include "engine/KestCmdEngineExport.h"
#include "engine/container/KestCmdContainer.h"
#include "engine/io/KestCmdIoConfig.h"
#include "engine/io/KestParFileAdapter.h"
#include "engine/io/KestSourceMap.h"
#include "engine/syntax/KestParLineStarts.h"
#include "engine/syntax/KestParSyntax.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>

#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

/// An edit that cannot apply: its command or item has no text of its own (the default rules
/// made it, or its line implies it), or the changed text would read differently anywhere else
/// than the edited item, or not read at all. The text is left as it was.
class KEST_CMD_ENGINE_API KestParEditError : public std::invalid_argument {
  public:
    using std::invalid_argument::invalid_argument;
};

/// The text of a job and the job read from it. Job() is the job that Parse of the text gives
/// (references linked, defaults applied), with where each command and item stands (Positions())
/// and the syntax of every line (Syntax()). Edits address commands and items of that job and
/// change only their own lines of the text; each edit reads the blocks it changed again, before
/// and after, and is refused unless exactly what it describes changed. The job is read again
/// from the changed text when next asked for, so references into Job(), Positions() and Syntax()
/// are valid until the next edit.
///
/// A value set by SetValue on a line of its own, of an item that names nothing and is no name,
/// changes nothing but that value: such edits wait, and the text takes them all at once when it
/// is next asked for (Text(), Job(), Positions(), Syntax(), Save() or another kind of edit).
/// Meanwhile PlacedJob() and PlacedPositions() stay those read last, which edits may address:
/// a series of such edits costs what its blocks cost, not the whole text each time.
///
/// A document is for one thread at a time, its const members included: they may read the text
/// again or apply the values that wait.
class KEST_CMD_ENGINE_API KestParDocument {
  public:
    /// Reads `text`; `file_name` is what messages call it (and where Save writes by default).
    explicit KestParDocument(std::string text, std::wstring file_name = L"<text>",
                             const KestCmdIoConfig& config = KestCmdIoConfig());
    /// Reads the file at `path`; throws ZUL_Failure when it cannot be read.
    static KestParDocument Open(const std::wstring& path,
                                const KestCmdIoConfig& config = KestCmdIoConfig());

    /// The text, with every edit applied; without edits, the bytes that were read.
    const std::string& Text() const;
    const std::wstring& FileName() const { return _file_name; }
    /// The job the text gives.
    const KestCmdContainer& Job() const;
    const KestSourceMap& Positions() const;
    /// The syntax of the text's lines.
    const KestParSyntax& Syntax() const;
    /// The syntax of the lines of `cmd`'s block alone, numbered as in the text: for a reader of a
    /// few commands of a large text, which need not the syntax of every line. No lines for a
    /// command without a block. It views the text: valid until the next edit.
    KestParSyntax BlockSyntax(const KestCmd& cmd) const;
    /// The job and the positions as read last: those of the text but that the items whose values
    /// wait (see above) show their former texts and spans. Which commands there are, with which
    /// names, kinds and numbers of items on which lines, is the text's: edits may take their
    /// commands, without the text being read again for the values that wait.
    const KestCmdContainer& PlacedJob() const;
    const KestSourceMap& PlacedPositions() const;
    /// The physical line `line` (1-based) of the text, without its line end; empty past the end.
    std::string_view Line(std::size_t line) const;
    /// The bytes of the text from `from` to `to` (exclusive). A value continued over several lines
    /// comes as the reader joins it: its lines without their trailing blanks, joined by line feeds.
    std::string Slice(KestTextPosition from, KestTextPosition to) const;

    /// Sets the value text of an item read from the text; a value continued over several lines
    /// is replaced whole. Blanks around `value` are not kept (the reader trims them). An item
    /// must have its line's value to itself (the VALUE of LE_VALUE and GE_VALUE has: their TYPE
    /// goes with it).
    void SetValue(const KestCmd& cmd, KestCmdItemDefs::CmdItem kind, std::size_t index,
                  std::string_view value);
    /// Adds the line `key = value` to the block of `cmd`: after the last line of the key's kind,
    /// or at the end of the block when it has none. The line takes the indentation and the line
    /// end of its block.
    void AddItem(const KestCmd& cmd, std::string_view key, std::string_view value);
    /// Removes the line that made an item, which must have it to itself (as for SetValue; the
    /// TYPE that LE_VALUE and GE_VALUE imply goes with their VALUE).
    void RemoveItem(const KestCmd& cmd, KestCmdItemDefs::CmdItem kind, std::size_t index);
    /// Adds a block with `keyword` and the lines `key = value`, after the block of `after`, or at
    /// the end of the text when `after` is null.
    void AddCommand(std::string_view keyword,
                    const std::vector<std::pair<std::string, std::string>>& items,
                    const KestCmd* after = nullptr);
    /// Removes the block of `cmd`, from its keyword line to its END_ line.
    void RemoveCommand(const KestCmd& cmd);
    /// Gives `cmd` the name `name`: its first ID_NAME, and every piece of the text that names it
    /// (pieces_naming). Refused for a name another command has (the references would link to
    /// that one) and for a text that would not read back as that name where it is written.
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
    /// What an edit may change: the commands first to first + count - 1 of the text (by
    /// position) become `count_after` commands, and `allowed` tells, for the i-th of them,
    /// whether its items read again (null when it is new or gone) are what the edit describes:
    /// an empty text when they are, or what else changed.
    struct Expectation {
        std::size_t first = 0;
        std::size_t count = 0;
        std::size_t count_after = 0;
        std::function<std::string(std::size_t i, const KestCmd* before, const KestCmd* after)>
            allowed;
    };
    /// The index of `cmd` among the commands of the text; throws KestParEditError for another.
    std::size_t IndexOf(const KestCmd& cmd) const;
    /// The first line of the entry of an item, which must have its text to itself.
    std::size_t OwnLine(const KestCmd& cmd, KestCmdItemDefs::CmdItem kind, std::size_t index) const;
    /// The indentation of the lines of the block of the i-th command.
    std::string IndentOf(std::size_t cmd_index) const;
    /// Applies `changes`, which must not overlap, after reading the blocks they touch again and
    /// checking them against `expected`; throws KestParEditError and keeps the text otherwise.
    /// With `wait`, the one change waits in _waiting instead of changing the text.
    void Apply(std::vector<Replacement> changes, const Expectation& expected, bool wait = false);
    /// Reads the stretch [begin, end) of whole blocks as it is and with `changes` and checks
    /// the two against `expected`; throws KestParEditError when they differ otherwise.
    void Check(const std::vector<Replacement>& changes, const Expectation& expected,
               std::size_t begin, std::size_t end) const;
    /// The text from `begin` to `end` with the waiting changes in it and `more` applied (none of
    /// them overlap, and each lies wholly inside or outside a stretch of whole lines).
    std::string Current(std::size_t begin, std::size_t end,
                        const std::vector<Replacement>& more = {}) const;
    /// `cmd` when no change waits; else, the waiting changes applied, the command of its block
    /// read again (throws KestParEditError for a command without a block).
    const KestCmd& Settled(const KestCmd& cmd) const;
    /// Applies the waiting changes to the text.
    void Settle() const;
    /// Reads the text again when an edit changed it.
    void Refresh() const;
    /// Forgets what was read from `_text`, which changed.
    void Changed() const;
    /// The syntax of `_text` as it stands (without the waiting changes).
    const KestParSyntax& Lines() const;
    /// Where the lines of the text start, the waiting changes applied.
    const KestParLineStarts& LineStarts() const;
    /// Whether `text` is a view of `_text` as it stands.
    bool Reads(std::string_view text) const;

    mutable std::string _text;
    /// Changes of values not yet applied to `_text`, by where they begin in it.
    mutable std::map<std::size_t, Replacement> _waiting;
    std::wstring _file_name;
    KestParFileAdapter _reader;
    std::vector<std::pair<KestCmdItemDefs::CmdItem, std::string>> _item_names;
    mutable KestCmdContainer _job;
    mutable KestSourceMap _positions;
    mutable std::unique_ptr<KestParSyntax> _syntax;
    /// Where the lines of `_text` start, for Line and Slice, which need not the syntax of every
    /// line (a check's findings shown with their lines, say).
    mutable std::optional<KestParLineStarts> _line_starts;
    mutable bool _stale = true;
};
