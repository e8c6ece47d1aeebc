// Where the commands and items of a job stand in the text they were read from, recorded by the
// reader when asked to, outside the items so that items stay small.
#pragma once

#include "engine/KestCmdEngineExport.h"
#include "engine/vocabulary/KestCmdItemDefs.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class KestCmd;
class KestCmdItem;

/// A place in a text: a 1-based line and a 1-based column counted in bytes of that line (a
/// byte-order mark at the start of the text is not part of line 1).
struct KEST_CMD_ENGINE_API KestTextPosition {
    std::size_t line = 0;
    std::size_t column = 0;

    friend bool operator==(const KestTextPosition& a, const KestTextPosition& b) {
        return a.line == b.line && a.column == b.column;
    }
    friend bool operator!=(const KestTextPosition& a, const KestTextPosition& b) {
        return !(a == b);
    }
    friend bool operator<(const KestTextPosition& a, const KestTextPosition& b) {
        return a.line != b.line ? a.line < b.line : a.column < b.column;
    }
};

/// Where a command's block stands: its keyword, and the line of the END_ that closed it (or the
/// last line of the text, when none did).
struct KEST_CMD_ENGINE_API KestCmdSpan {
    KestTextPosition keyword;
    std::size_t end_line = 0;
};

/// Where an item's line stands: its key, and its value from its first byte to the position
/// after its last one (on a later line for a continued value). A line without '=' has its key
/// at its value; an empty value starts and ends right after the '='.
struct KEST_CMD_ENGINE_API KestItemSpan {
    KestTextPosition key;
    KestTextPosition value;
    KestTextPosition value_end;
};

/// The positions of one text's commands and items. An item is known by its place in its
/// command (kind and index) as the reader left it: an item appended later (by the default rules,
/// say) has no position, and one put in the place of a read item takes that place's position.
///
/// Each command costs 16 bytes and the usual item 4, packed as variable-length numbers, so that
/// a job of a million commands keeps its positions in tens of megabytes.
class KEST_CMD_ENGINE_API KestSourceMap {
  public:
    KestSourceMap();
    KestSourceMap(const KestSourceMap& other);
    KestSourceMap(KestSourceMap&& other) noexcept;
    KestSourceMap& operator=(const KestSourceMap& other);
    KestSourceMap& operator=(KestSourceMap&& other) noexcept;
    ~KestSourceMap();

    /// The span of the block that made `cmd`; none for a command that was not read.
    std::optional<KestCmdSpan> Find(const KestCmd& cmd) const;
    /// The span of the line that made the item at `index` of `kind` in `cmd`; none for an item
    /// that was not read from the text.
    std::optional<KestItemSpan> Find(const KestCmd& cmd, KestCmdItemDefs::CmdItem kind,
                                     std::size_t index) const;
    /// The span of `item`, an item of `cmd`.
    std::optional<KestItemSpan> Find(const KestCmd& cmd, const KestCmdItem& item) const;

    /// What stands at a place of the text.
    struct Hit {
        /// The command whose block holds the place (from its keyword to its END_ line), or null.
        const KestCmd* command = nullptr;
        /// Whether the place is on the line of an item of that command (from the start of the
        /// line to the end of its value), and which: the first item that line made.
        bool on_item = false;
        KestCmdItemDefs::CmdItem kind = KestCmdItemDefs::ID_NAME;
        std::size_t index = 0;
        KestItemSpan span;
    };
    Hit At(KestTextPosition place) const;

    /// The commands with a position, in the order of the text.
    std::size_t CommandCount() const;
    const KestCmd& Command(std::size_t i) const;
    /// The span of the block of Command(i): Find(Command(i)) without looking the command up.
    KestCmdSpan Span(std::size_t i) const;
    /// The i for which Command(i) is `cmd`, or CommandCount() for a command without a position.
    std::size_t IndexOf(const KestCmd& cmd) const;
    /// The items of the i-th command with a position, in the order of their lines, each with its
    /// kind and index.
    struct ItemPlace {
        KestCmdItemDefs::CmdItem kind;
        std::size_t index;
        KestItemSpan span;
    };
    std::vector<ItemPlace> Items(std::size_t i) const;
    /// Calls visit(place) for each of these items in turn, without a list of them (a block of
    /// half a million lines would take tens of megabytes).
    void ForEachItem(std::size_t i, const std::function<void(const ItemPlace&)>& visit) const;

    /// Forgets every position.
    void Clear();
    /// Takes over the positions of `other`, recorded from a later stretch of the same text (its
    /// commands after these); `other` is left empty.
    void Append(KestSourceMap&& other);

    /// Recording, in the order of the text (what the reader calls): a command's block starts, an
    /// item of the current command was made from a line, the current block ends.
    void BeginCommand(const KestCmd& cmd, KestTextPosition keyword);
    void AddItem(KestCmdItemDefs::CmdItem kind, std::size_t index, const KestItemSpan& span);
    void EndCommand(std::size_t end_line);

  private:
    struct Record {
        const KestCmd* cmd;
        std::uint64_t offset;
    };
    class Bytes;
    /// Decodes the i-th command's block span and, when `visit` is given, calls it for each item.
    KestCmdSpan Decode(std::size_t i, const std::function<void(const ItemPlace&)>* visit) const;

    std::deque<Record> _records;
    std::unique_ptr<Bytes> _bytes;
    std::size_t _current_line = 0;
    /// While a command is recorded: its last item's key line, and each kind's next index.
    std::size_t _last_key_line = 0;
    std::array<std::size_t, KestCmdItemDefs::item_kind_count> _next_index{};
    /// Records sorted by command address, made on the first look-up by command.
    mutable std::vector<std::pair<const KestCmd*, std::size_t>> _by_command;
};
