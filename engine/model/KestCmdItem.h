// The item: one value of a command, answering typed questions about itself. Each reading comes
// as a pair: HasX tells whether the item offers it, GetX returns it (or a neutral value).
#pragma once

#include "engine/KestCmdEngineExport.h"
#include "engine/model/KestMatrix.h"
#include "engine/model/LumoList.h"
#include "engine/vocabulary/KestCmdEnumValues.h"
#include "engine/vocabulary/KestCmdItemDefs.h"

#include <cstddef>
#include <limits>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

class KestCmd;

/// Abstract base of all items. The base answers "no" to every question and returns neutral
/// values: empty text, 0, 0.0, the zero vector, EV_UNSET, an empty list, null.
class KEST_CMD_ENGINE_API KestCmdItem {
  public:
    KestCmdItem() = default;
    KestCmdItem(const KestCmdItem&) = default;
    KestCmdItem& operator=(const KestCmdItem&) = default;
    virtual ~KestCmdItem();

    virtual bool HasString() const;
    virtual std::string GetString() const;
    virtual bool HasInteger() const;
    virtual int GetInteger() const;
    virtual bool HasReal() const;
    virtual double GetReal() const;
    virtual bool HasVector3d() const;
    virtual KestMatrix<3, 1, double> GetVector3d() const;
    virtual bool HasEnum() const;
    virtual KestCmdItemDefs::EnumValue GetEnum() const;
    virtual bool HasList() const;
    virtual std::vector<std::string> GetList() const;
    virtual bool HasLumoList() const;
    virtual LumoList<int> GetLumoList() const;
    virtual bool HasReference() const;
    virtual const KestCmd* GetReference() const;
    /// Asks the accessor of `type` (HasInteger for DT_INTEGER, ...); false for DT_RESERVED and
    /// for any number outside the enumeration.
    virtual bool HasType(KestCmdItemDefs::DataType type) const;
    /// Makes the item refer to `target`, if the item can hold a reference; the base ignores it.
    virtual void AddReference(const KestCmd& target);
    /// A new, independent copy of this item.
    virtual std::unique_ptr<KestCmdItem> Clone() const = 0;
    /// The text GetString returns, without a copy, for an item that keeps it; nothing for one
    /// that works it out (the base, and classes that do not override this). Valid until the item
    /// changes or goes.
    virtual std::optional<std::string_view> KeptText() const;

    /// Items made with new (of every class derived from this one) come from KestItemPool: a
    /// job's items are packed together and made and destroyed without a heap call each.
    static void* operator new(std::size_t size);
    static void operator delete(void* p, std::size_t size) noexcept;
    /// Over-aligned classes and placement new go to the global forms.
    static void* operator new(std::size_t size, std::align_val_t align) {
        return ::operator new(size, align);
    }
    static void operator delete(void* p, std::size_t, std::align_val_t align) noexcept {
        ::operator delete(p, align);
    }
    static void* operator new(std::size_t, void* place) noexcept { return place; }
    static void operator delete(void*, void*) noexcept {}
};

/// Memory for the lists that hold a command's items (the std::allocator below): short lists come
/// from the item pool, beside the items, long ones from the heap.
namespace KestItemListMemory {
KEST_CMD_ENGINE_API void* allocate(std::size_t bytes);
KEST_CMD_ENGINE_API void deallocate(void* p, std::size_t bytes) noexcept;
} // namespace KestItemListMemory

/// The allocator of the lists of owning item pointers (KestCmd::ItemList, the type Items
/// returns). A command's list of one kind mostly holds one or two items; the heap would give
/// such a list's 8 or 16 bytes a block of 32, the pool gives 8 or 16. It has to be declared here,
/// beside the item class, so that every use of the list type sees it.
template <>
class std::allocator<std::unique_ptr<const KestCmdItem>> {
  public:
    using value_type = std::unique_ptr<const KestCmdItem>;
    using pointer = value_type*;
    using const_pointer = const value_type*;
    using reference = value_type&;
    using const_reference = const value_type&;
    using size_type = std::size_t;
    using difference_type = std::ptrdiff_t;
    using propagate_on_container_move_assignment = std::true_type;
    using is_always_equal = std::true_type;
    template <class U>
    struct rebind {
        using other = std::allocator<U>;
    };

    allocator() noexcept = default;
    template <class U>
    allocator(const std::allocator<U>&) noexcept {}

    value_type* allocate(std::size_t n) {
        if (n > max_size()) {
            throw std::bad_array_new_length();
        }
        return static_cast<value_type*>(KestItemListMemory::allocate(n * sizeof(value_type)));
    }
    value_type* allocate(std::size_t n, const void*) { return allocate(n); }
    void deallocate(value_type* p, std::size_t n) noexcept {
        KestItemListMemory::deallocate(p, n * sizeof(value_type));
    }
    std::size_t max_size() const noexcept {
        return std::numeric_limits<std::size_t>::max() / sizeof(value_type);
    }
    template <class U, class... Args>
    void construct(U* p, Args&&... args) noexcept(std::is_nothrow_constructible_v<U, Args...>) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
    template <class U>
    void destroy(U* p) noexcept {
        p->~U();
    }
    value_type* address(value_type& x) const noexcept { return std::addressof(x); }
    const value_type* address(const value_type& x) const noexcept { return std::addressof(x); }

    friend bool operator==(const allocator&, const allocator&) noexcept { return true; }
    friend bool operator!=(const allocator&, const allocator&) noexcept { return false; }
};
