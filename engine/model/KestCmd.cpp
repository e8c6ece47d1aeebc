#include "engine/model/KestCmd.h"

#include "engine/model/KestCmdAutoItem.h"
#include "engine/model/KestCmdReferenceItem.h"
#include "engine/model/KestCmdStringItem.h"

using namespace KestCmdItemDefs;

namespace {

constexpr auto moved_from_type = static_cast<KestCmdDefs::Cmd>(KestCmdDefs::cmd_type_count);

} // namespace

KestCmd::KestCmd(KestCmdDefs::Cmd type) : _type(type) {}

KestCmd::KestCmd(KestCmd&& other) noexcept : _items(std::move(other._items)), _type(other._type) {
    for (ItemList& list : other._items) {
        list.clear();
    }
    other._type = moved_from_type;
}

KestCmd& KestCmd::operator=(KestCmd&& other) noexcept {
    if (this != &other) {
        _items = std::move(other._items);
        _type = other._type;
        for (ItemList& list : other._items) {
            list.clear();
        }
        other._type = moved_from_type;
    }
    return *this;
}

KestCmd::~KestCmd() = default;

KestCmdItem& KestCmd::Item(CmdItem item, std::size_t index) {
    // Every item was created non-const; the list only stores it as const.
    return const_cast<KestCmdItem&>(*_items[item][index]);
}

void KestCmd::Append(CmdItem item, std::unique_ptr<const KestCmdItem> added) {
    _items[item].push_back(std::move(added));
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
    if (index < _items[item].size()) {
        _items[item][index] = std::make_unique<KestCmdAutoItem>(text, enums);
    }
}

void KestCmd::Erase(CmdItem item, const_iterator first, const_iterator last) {
    _items[item].erase(first, last);
}

void KestCmd::Erase(CmdItem item, const_iterator position) {
    _items[item].erase(position);
}

void KestCmd::CopyItemsFrom(const KestCmd& source) {
    if (&source == this) {
        return;
    }
    for (int kind = 0; kind < item_kind_count; ++kind) {
        ItemList& list = _items[kind];
        const ItemList& from = source._items[kind];
        list.clear();
        list.reserve(from.size());
        for (const auto& entry : from) {
            if (entry) {
                list.push_back(entry->Clone());
            }
        }
    }
}
