#include "engine/model/KestCmdReferenceItem.h"

#include "engine/model/KestCmd.h"

KestCmdReferenceItem::KestCmdReferenceItem(const KestCmd& target) : _reference(&target) {}
KestCmdReferenceItem::KestCmdReferenceItem(const KestCmdReferenceItem& other) = default;
KestCmdReferenceItem& KestCmdReferenceItem::operator=(const KestCmdReferenceItem& other) = default;
KestCmdReferenceItem::~KestCmdReferenceItem() = default;

std::string KestCmdReferenceItem::GetString() const {
    if (_reference == nullptr || !_reference->HasItem(KestCmdItemDefs::ID_NAME)) {
        return {};
    }
    return _reference->Item(KestCmdItemDefs::ID_NAME, 0).GetString();
}

bool KestCmdReferenceItem::HasReference() const {
    return _reference != nullptr;
}
const KestCmd* KestCmdReferenceItem::GetReference() const {
    return _reference;
}
void KestCmdReferenceItem::AddReference(const KestCmd& target) {
    _reference = &target;
}

std::unique_ptr<KestCmdItem> KestCmdReferenceItem::Clone() const {
    return std::make_unique<KestCmdReferenceItem>(*this);
}
