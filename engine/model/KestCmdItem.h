// The item: one value of a command, answering typed questions about itself. Each reading comes
// as a pair: HasX tells whether the item offers it, GetX returns it (or a neutral value).
#pragma once

#include "engine/KestCmdEngineExport.h"
#include "engine/model/KestMatrix.h"
#include "engine/model/LumoList.h"
#include "engine/vocabulary/KestCmdEnumValues.h"
#include "engine/vocabulary/KestCmdItemDefs.h"

#include <cstddef>
#include <memory>
#include <new>
#include <string>
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
    /// The text GetString returns, without a copy, for an item that keeps it; null for one that
    /// works it out (the base, and classes that do not override this). Valid until the item
    /// changes or goes.
    virtual const std::string* KeptString() const;

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
