// The command: one block of a job, a command type with an ordered list of owned items for each
// of the item kinds.
#pragma once

#include "engine/KestCmdAssert.h"
#include "engine/KestCmdEngineExport.h"
#include "engine/model/KestCmdItem.h"
#include "engine/vocabulary/KestCmdDefs.h"
#include "engine/vocabulary/KestCmdEnumValues.h"
#include "engine/vocabulary/KestCmdItemDefs.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

/// A command of a job. It owns its items; reference items point at other commands without
/// owning them. Commands move but do not copy; CopyItemsFrom copies items deeply.
///
/// Kinds, positions and iterators are not checked in release builds: a kind must be one of the
/// enumeration, an index below the count of its kind, an iterator of the list of the kind it is
/// passed with. Builds with KEST_ASSERT on abort on a broken one.
class KEST_CMD_ENGINE_API KestCmd {
  public:
    /// The items of one kind, in insertion order. Items are created non-const and may be changed
    /// through the mutable accessors; the list is typed const so that Items can hand it out
    /// read-only without a copy.
    using ItemList = std::vector<std::unique_ptr<const KestCmdItem>>;
    using iterator = ItemList::iterator;
    using const_iterator = ItemList::const_iterator;

    explicit KestCmd(KestCmdDefs::Cmd type) noexcept;
    /// Takes over the items and the type; `other` is left without items and with type
    /// cmd_type_count, which no live command has. The items move from list to list, so the lists
    /// that Items handed out of either command stay that command's own; a command with many kinds
    /// may allocate lists for them (std::bad_alloc leaves both commands as they were).
    KestCmd(KestCmd&& other);
    /// As the move constructor, after destroying this command's items; nothing happens when
    /// `other` is this command.
    KestCmd& operator=(KestCmd&& other);
    KestCmd(const KestCmd&) = delete;
    KestCmd& operator=(const KestCmd&) = delete;
    virtual ~KestCmd();

    KestCmdDefs::Cmd GetType() const { return static_cast<KestCmdDefs::Cmd>(_slots >> type_shift); }
    /// True if at least one item of `item` is present.
    bool HasItem(KestCmdItemDefs::CmdItem item) const { return !List(item).empty(); }
    /// The number of items of `item`.
    std::size_t ItemCount(KestCmdItemDefs::CmdItem item) const { return List(item).size(); }
    /// The item at `index` of the list of `item`.
    KestCmdItem& Item(KestCmdItemDefs::CmdItem item, std::size_t index);
    const KestCmdItem& Item(KestCmdItemDefs::CmdItem item, std::size_t index) const {
        KEST_ASSERT(index < ItemCount(item));
        return *List(item)[index];
    }
    /// The list of `item` itself, read-only: the reference stays valid and shows this command's
    /// items of that kind, whatever is added, erased or moved in, for as long as the command lives.
    /// A kind that never held an item gets its (empty) list here, so a walk over every kind is
    /// cheaper with ItemCount or begin/end, which make nothing.
    const ItemList& Items(KestCmdItemDefs::CmdItem item) const {
        return const_cast<KestCmd*>(this)->ListToFill(item);
    }

    iterator begin(KestCmdItemDefs::CmdItem item) { return MutableList(item).begin(); }
    iterator end(KestCmdItemDefs::CmdItem item) { return MutableList(item).end(); }
    const_iterator begin(KestCmdItemDefs::CmdItem item) const { return List(item).begin(); }
    const_iterator end(KestCmdItemDefs::CmdItem item) const { return List(item).end(); }

    /// Appends a string item holding `text`.
    void AddStringItem(KestCmdItemDefs::CmdItem item, const std::string& text);
    /// Appends a reference item pointing at `target`.
    void AddItem(KestCmdItemDefs::CmdItem item, const KestCmd& target);
    /// Appends an auto item typed from `text` with `enums`. If typing throws, nothing is added.
    void AddAutoItem(KestCmdItemDefs::CmdItem item, const std::string& text,
                     const KestCmdItemDefs::EnumMap& enums);
    /// Replaces the item at `index` in place by an auto item typed from `text`; does nothing
    /// when `index` is not below the count of `item`.
    void ReplaceItem(KestCmdItemDefs::CmdItem item, const std::string& text,
                     const KestCmdItemDefs::EnumMap& enums, std::size_t index);

    /// Removes and destroys the items in [first, last) of the list of `item`.
    void Erase(KestCmdItemDefs::CmdItem item, const_iterator first, const_iterator last);
    /// Removes and destroys the item at `position` of the list of `item`.
    void Erase(KestCmdItemDefs::CmdItem item, const_iterator position);

    /// Replaces every list of this command by copies of the items of `source` (references are
    /// copied as references to the same commands); null entries are skipped. The type stays.
    /// Copying from the command itself does nothing.
    void CopyItemsFrom(const KestCmd& source);

  private:
    friend class LinkPipeline;

    /// Starts loading, for a walk over many commands, the memory that the next step of reading
    /// this command's items needs: step 0 the rest of the command (its lists), 1 the contents of
    /// its lists, 2 its first ID_NAME item. Each step assumes the memory of the steps before it
    /// is loaded.
    void Prefetch(int step) const;

    /// The list of `item`, or null when the kind has none.
    const ItemList* Find(KestCmdItemDefs::CmdItem item) const {
        KEST_ASSERT(item >= 0 && item < KestCmdItemDefs::item_kind_count);
        const std::size_t place = PlaceOf(static_cast<std::uint8_t>(item));
        if (place < inline_lists) {
            return &_first_lists[place];
        }
        if (!_more) {
            return nullptr;
        }
        return place < placed_kinds ? &_more->placed[place - inline_lists] : FindListed(item);
    }
    /// The list of a kind beyond the placed ones, or null.
    const ItemList* FindListed(KestCmdItemDefs::CmdItem item) const;
    const ItemList& List(KestCmdItemDefs::CmdItem item) const {
        const ItemList* found = Find(item);
        return found != nullptr ? *found : s_no_items;
    }
    ItemList& MutableList(KestCmdItemDefs::CmdItem item) {
        return const_cast<ItemList&>(std::as_const(*this).List(item));
    }
    /// The list of `item`, made when the kind has none yet.
    ItemList& ListToFill(KestCmdItemDefs::CmdItem item);
    /// Calls visit(kind, list) for the list of every kind of `cmd` that has one, in the order
    /// the kinds were first used (`list` is const when `cmd` is).
    template <class Cmd, class Visit>
    static void ForEachList(Cmd& cmd, Visit visit) {
        for (std::size_t place = 0; place < placed_kinds && cmd.Slot(place) != no_kind; ++place) {
            visit(static_cast<KestCmdItemDefs::CmdItem>(cmd.Slot(place)),
                  place < inline_lists ? cmd._first_lists[place]
                                       : cmd._more->placed[place - inline_lists]);
        }
        if (cmd._more && cmd._more->listed) {
            for (const auto& [kind, list] : *cmd._more->listed) {
                visit(kind, *list);
            }
        }
    }
    /// The list of every kind that never held an item; it stays empty (only empty ranges of it
    /// are ever handed out as mutable iterators).
    static ItemList s_no_items;
    void Append(KestCmdItemDefs::CmdItem item, std::unique_ptr<const KestCmdItem> added);
    /// Makes a list here for every kind `other` has one for (this may allocate), then destroys
    /// this command's items and moves those of `other` into the lists here.
    void TakeItemsOf(KestCmd& other);
    void SetType(KestCmdDefs::Cmd type) {
        _slots = (_slots & ~type_byte) | static_cast<std::uint64_t>(type) << type_shift;
    }

    // Only kinds that ever held an item (or were asked for with Items) have a list. Byte p of
    // `_slots` names the kind of the list at place p (no_kind while the place is unused), in the
    // order the kinds were first used, and its top byte is the type. The lists of the first
    // `inline_lists` places live in the command itself, those of the other placed kinds beside
    // it (MoreLists, made when a command uses a fifth kind), and the lists of further kinds there
    // too, found by kind. A list, once made, stays at its place for the command's life and no
    // list object ever moves (a move of commands moves items between lists), so the references
    // that Items hands out stay valid. Most commands read from a file use four kinds or fewer:
    // a command takes 120 bytes, and 80 more with a fifth to seventh kind.
    static constexpr std::size_t inline_lists = 4;
    static constexpr std::size_t placed_kinds = 7;
    static constexpr std::uint8_t no_kind = 0xFF;
    static constexpr int type_shift = 56;
    static constexpr std::uint64_t type_byte = std::uint64_t{0xFF} << type_shift;
    static_assert(KestCmdItemDefs::item_kind_count < no_kind, "a kind fits a byte of _slots");
    static_assert(KestCmdDefs::cmd_type_count < 0x100, "a type fits the top byte of _slots");

    std::uint8_t Slot(std::size_t place) const {
        return static_cast<std::uint8_t>(_slots >> (8 * place));
    }
    /// The place of `kind`, or placed_kinds when none is of that kind: the first byte of
    /// `_slots` equal to `kind`, found in all bytes at once (a byte that equals `kind` becomes
    /// zero, and the lowest zero byte sets the high bit of its byte in `zero`).
    std::size_t PlaceOf(std::uint8_t kind) const {
        constexpr std::uint64_t ones = 0x0101010101010101;
        constexpr std::uint64_t highs = 0x8080808080808080;
        const std::uint64_t x = (_slots ^ ones * kind) | type_byte; // the type never matches
        const std::uint64_t zero = (x - ones) & ~x & highs;
        return zero == 0 ? placed_kinds : LowestByte(zero);
    }
    /// The index of the lowest byte of `bits` (not zero) that has a bit set.
    static std::size_t LowestByte(std::uint64_t bits) {
#if defined(__GNUC__) || defined(__clang__)
        return static_cast<std::size_t>(__builtin_ctzll(bits)) / 8;
#else
        std::size_t byte = 0;
        for (; (bits & 0xFF) == 0; bits >>= 8) {
            ++byte;
        }
        return byte;
#endif
    }

    /// The lists of a command's fifth and later kinds, from the item pool.
    struct MoreLists {
        ItemList placed[placed_kinds - inline_lists];
        /// The lists of the eighth and later kinds, found by kind.
        std::unique_ptr<std::vector<std::pair<KestCmdItemDefs::CmdItem, std::unique_ptr<ItemList>>>>
            listed;

        static void* operator new(std::size_t size);
        static void operator delete(void* p, std::size_t size) noexcept;
    };

    std::uint64_t _slots;
    ItemList _first_lists[inline_lists];
    std::unique_ptr<MoreLists> _more;
};
