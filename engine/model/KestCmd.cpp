#include "engine/model/KestCmd.h"

#include "engine/model/KestCmdAutoItem.h"
#include "engine/model/KestCmdReferenceItem.h"
#include "engine/model/KestCmdStringItem.h"

#include <algorithm>
#include <iterator>
#include <utility>

using namespace KestCmdItemDefs;

namespace {

constexpr auto moved_from_type = static_cast<KestCmdDefs::Cmd>(KestCmdDefs::cmd_type_count);

} // namespace

KestCmd::KestCmd(KestCmdDefs::Cmd type) noexcept : _type(type) {}

KestCmd::KestCmd(KestCmd&& other) : _type(other._type) {
    TakeItemsOf(other);
}

KestCmd& KestCmd::operator=(KestCmd&& other) {
    if (this != &other) {
        const KestCmdDefs::Cmd type = other._type;
        TakeItemsOf(other);
        _type = type;
    }
    return *this;
}

void KestCmd::TakeItemsOf(KestCmd& other) {
    for (int kind = 0; kind < item_kind_count; ++kind) {
        if ((other._kinds >> kind & 1u) != 0) {
            ListToFill(static_cast<CmdItem>(kind));
        }
    }
    // Nothing below allocates: the lists of both commands exist.
    for (std::size_t place = 0; place < _lists_used; ++place) {
        ListAt(place).clear();
    }
    for (int kind = 0; kind < item_kind_count; ++kind) {
        if ((other._kinds >> kind & 1u) != 0) {
            ItemList& from = other.ListAt(other._place[kind]);
            ListAt(_place[kind]) = std::move(from);
            from.clear();
        }
    }
    other._type = moved_from_type;
}

KestCmd::~KestCmd() = default;

void KestCmd::Prefetch(int step) const {
#if defined(__GNUC__) || defined(__clang__)
    if (step == 0) {
        for (std::size_t offset = 64; offset < sizeof(KestCmd); offset += 64) {
            __builtin_prefetch(reinterpret_cast<const char*>(this) + offset);
        }
    } else if (step == 1) {
        for (std::size_t place = 0; place < _lists_used && place < inline_lists; ++place) {
            __builtin_prefetch(_first_lists[place].data());
        }
    } else if ((_kinds & 1u) != 0 && !List(ID_NAME).empty()) {
        __builtin_prefetch(List(ID_NAME).front().get());
    }
#else
    (void)step;
#endif
}

KestCmd::ItemList KestCmd::s_no_items;

KestCmd::ItemList& KestCmd::ListToFill(CmdItem item) {
    if (!HasList(item)) {
        if (_lists_used >= inline_lists) {
            _more.push_back(std::make_unique<ItemList>());
        }
        _place[item] = _lists_used++;
        _kinds |= std::uint64_t{1} << item;
    }
    return ListAt(_place[item]);
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
        if ((_kinds >> item & 1u) != 0) {
            MutableList(item).clear();
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
