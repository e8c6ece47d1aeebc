#include "engine/model/KestCmd.h"

#include "engine/model/KestCmdAutoItem.h"
#include "engine/model/KestCmdReferenceItem.h"
#include "engine/model/KestCmdStringItem.h"
#include "engine/model/detail/KestItemPool.h"

#include <algorithm>
#include <iterator>
#include <utility>

using namespace KestCmdItemDefs;

namespace {

constexpr auto moved_from_type = static_cast<KestCmdDefs::Cmd>(KestCmdDefs::cmd_type_count);

} // namespace

static_assert(sizeof(void*) != 8 || sizeof(KestCmd) == 120,
              "a command takes 120 bytes: jobs hold millions of them");

KestCmd::KestCmd(KestCmdDefs::Cmd type) noexcept
    : _slots(~type_byte | static_cast<std::uint64_t>(type) << type_shift) {}

KestCmd::KestCmd(KestCmd&& other) : KestCmd(other.GetType()) {
    TakeItemsOf(other);
}

KestCmd& KestCmd::operator=(KestCmd&& other) {
    if (this != &other) {
        const KestCmdDefs::Cmd type = other.GetType();
        TakeItemsOf(other);
        SetType(type);
    }
    return *this;
}

void KestCmd::TakeItemsOf(KestCmd& other) {
    ForEachList(other, [&](CmdItem kind, ItemList&) { ListToFill(kind); });
    // Nothing below allocates: the lists of both commands exist.
    ForEachList(*this, [](CmdItem, ItemList& list) { list.clear(); });
    ForEachList(other, [&](CmdItem kind, ItemList& from) {
        MutableList(kind) = std::move(from);
        from.clear();
    });
    other.SetType(moved_from_type);
}

KestCmd::~KestCmd() = default;

void KestCmd::Prefetch(int step) const {
#if defined(__GNUC__) || defined(__clang__)
    if (step == 0) {
        for (std::size_t offset = 64; offset < sizeof(KestCmd); offset += 64) {
            __builtin_prefetch(reinterpret_cast<const char*>(this) + offset);
        }
    } else if (step == 1) {
        for (std::size_t place = 0; place < inline_lists && Slot(place) != no_kind; ++place) {
            __builtin_prefetch(_first_lists[place].data());
        }
        if (_more) {
            __builtin_prefetch(_more.get());
        }
    } else if (const ItemList* names = Find(ID_NAME); names != nullptr && !names->empty()) {
        __builtin_prefetch(names->front().get());
    }
#else
    (void)step;
#endif
}

KestCmd::ItemList KestCmd::s_no_items;

void* KestCmd::MoreLists::operator new(std::size_t size) {
    return KestItemPool::allocate(size, alignof(MoreLists));
}

void KestCmd::MoreLists::operator delete(void* p, std::size_t size) noexcept {
    KestItemPool::deallocate(p, size);
}

const KestCmd::ItemList* KestCmd::FindListed(CmdItem item) const {
    if (!_more->listed) {
        return nullptr;
    }
    for (const auto& [kind, list] : *_more->listed) {
        if (kind == item) {
            return list.get();
        }
    }
    return nullptr;
}

KestCmd::ItemList& KestCmd::ListToFill(CmdItem item) {
    if (const ItemList* found = Find(item)) {
        return const_cast<ItemList&>(*found);
    }
    const std::size_t place = PlaceOf(no_kind);
    if (place >= inline_lists && !_more) {
        _more = std::make_unique<MoreLists>();
    }
    if (place < placed_kinds) {
        const int shift = static_cast<int>(8 * place);
        _slots = (_slots & ~(std::uint64_t{0xFF} << shift)) | static_cast<std::uint64_t>(item)
                                                                  << shift;
        return place < inline_lists ? _first_lists[place] : _more->placed[place - inline_lists];
    }
    auto list = std::make_unique<ItemList>();
    ItemList& made = *list;
    if (!_more->listed) {
        _more->listed = std::make_unique<decltype(_more->listed)::element_type>();
    }
    _more->listed->emplace_back(item, std::move(list));
    return made;
}

KestCmdItem& KestCmd::Item(CmdItem item, std::size_t index) {
    // Every item was created non-const; the list only stores it as const.
    return const_cast<KestCmdItem&>(std::as_const(*this).Item(item, index));
}

void KestCmd::Append(CmdItem item, std::unique_ptr<const KestCmdItem> added) {
    ListToFill(item).push_back(std::move(added));
}

void KestCmd::AddStringItem(CmdItem item, const std::string& text) {
    Append(item, std::make_unique<KestCmdStringItem>(text));
}

void KestCmd::AddItem(CmdItem item, const KestCmd& target) {
    Append(item, std::make_unique<KestCmdReferenceItem>(target));
}

void KestCmd::AddAutoItem(CmdItem item, const std::string& text, const EnumMap& enums) {
    Append(item, std::make_unique<KestCmdAutoItem>(text, enums));
}

void KestCmd::ReplaceItem(CmdItem item, const std::string& text, const EnumMap& enums,
                          std::size_t index) {
    if (index < List(item).size()) {
        MutableList(item)[index] = std::make_unique<KestCmdAutoItem>(text, enums);
    }
}

void KestCmd::Erase(CmdItem item, const_iterator first, const_iterator last) {
    // An empty range may come from the shared list of a kind without items.
    if (first != last) {
        ItemList& list = MutableList(item);
        KEST_ASSERT(list.cbegin() <= first && first < last && last <= list.cend());
        list.erase(first, last);
    }
}

void KestCmd::Erase(CmdItem item, const_iterator position) {
    Erase(item, position, position + 1);
}

void KestCmd::CopyItemsFrom(const KestCmd& source) {
    if (&source == this) {
        return;
    }
    for (int kind = 0; kind < item_kind_count; ++kind) {
        const auto item = static_cast<CmdItem>(kind);
        if (const ItemList* list = Find(item)) {
            const_cast<ItemList*>(list)->clear();
        }
        const ItemList& from = source.List(item);
        if (!from.empty()) {
            ItemList& list = ListToFill(item);
            list.reserve(from.size());
            for (const auto& entry : from) {
                if (entry) {
                    list.push_back(entry->Clone());
                }
            }
        }
    }
}
