#include "engine/model/KestCmdStringItem.h"

KestCmdStringItem::KestCmdStringItem(const std::string& text) : _text(text) {}
KestCmdStringItem::KestCmdStringItem(const KestCmdStringItem& other) = default;
KestCmdStringItem::KestCmdStringItem(KestCmdStringItem&& other)
    : KestCmdItem(other), _text(other._text) {}
KestCmdStringItem::~KestCmdStringItem() = default;

bool KestCmdStringItem::HasString() const {
    return true;
}
std::string KestCmdStringItem::GetString() const {
    return _text;
}

std::unique_ptr<KestCmdItem> KestCmdStringItem::Clone() const {
    return std::make_unique<KestCmdStringItem>(*this);
}
