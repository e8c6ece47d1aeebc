#include "engine/model/KestCmdItem.h"

#include "engine/model/detail/KestItemPool.h"

using namespace KestCmdItemDefs;

KestCmdItem::~KestCmdItem() = default;

void* KestCmdItem::operator new(std::size_t size) {
    // An object whose size is a multiple of 16 may need an alignment of 16; others need at most
    // 8, so a 40-byte item takes 40 bytes and not 48.
    return KestItemPool::allocate(size, size % 16 == 0 ? 16 : 8);
}

void KestCmdItem::operator delete(void* p, std::size_t size) noexcept {
    KestItemPool::deallocate(p, size);
}

bool KestCmdItem::HasString() const {
    return false;
}
std::string KestCmdItem::GetString() const {
    return {};
}
std::optional<std::string_view> KestCmdItem::KeptText() const {
    return std::nullopt;
}
bool KestCmdItem::HasInteger() const {
    return false;
}
int KestCmdItem::GetInteger() const {
    return 0;
}
bool KestCmdItem::HasReal() const {
    return false;
}
double KestCmdItem::GetReal() const {
    return 0.0;
}
bool KestCmdItem::HasVector3d() const {
    return false;
}
KestMatrix<3, 1, double> KestCmdItem::GetVector3d() const {
    return {};
}
bool KestCmdItem::HasEnum() const {
    return false;
}
EnumValue KestCmdItem::GetEnum() const {
    return EV_UNSET;
}
bool KestCmdItem::HasList() const {
    return false;
}
std::vector<std::string> KestCmdItem::GetList() const {
    return {};
}
bool KestCmdItem::HasLumoList() const {
    return false;
}
LumoList<int> KestCmdItem::GetLumoList() const {
    return {};
}
bool KestCmdItem::HasReference() const {
    return false;
}
const KestCmd* KestCmdItem::GetReference() const {
    return nullptr;
}

bool KestCmdItem::HasType(DataType type) const {
    switch (type) {
    case DT_INTEGER:
        return HasInteger();
    case DT_REAL:
        return HasReal();
    case DT_VECTOR3D:
        return HasVector3d();
    case DT_STRING:
        return HasString();
    case DT_LUMO_LIST:
        return HasLumoList();
    case DT_LIST:
        return HasList();
    case DT_REFERENCE:
        return HasReference();
    case DT_ENUM:
        return HasEnum();
    case DT_RESERVED:
        break;
    }
    return false;
}

void KestCmdItem::AddReference(const KestCmd&) {}

void* KestItemListMemory::allocate(std::size_t bytes) {
    return KestItemPool::allocate(bytes, alignof(std::unique_ptr<const KestCmdItem>));
}

void KestItemListMemory::deallocate(void* p, std::size_t bytes) noexcept {
    KestItemPool::deallocate(p, bytes);
}
