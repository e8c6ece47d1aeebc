#include "engine/model/detail/KestItemPool.h"
#include "engine/model/KestItemMemory.h"
#include "engine/model/detail/PerThread.h"

#include <atomic>
#include <cstdint>
#include <new>

// Under AddressSanitizer every item gets a heap block of its own, so that the sanitizer still
// sees each one.
#if defined(__SANITIZE_ADDRESS__)
#define KEST_ITEM_POOL 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KEST_ITEM_POOL 0
#endif
#endif
#ifndef KEST_ITEM_POOL
#define KEST_ITEM_POOL 1
#endif

namespace {

// A slab is aligned to its size, so that the slab of any object in it is found by masking the
// object's address. Its header counts the objects in it, plus one while a thread still fills it;
// the slab goes when the count reaches zero, whichever thread drops the last one.
//
// Slabs are cut from regions of `slabs_per_region` slabs, taken from the heap as one unaligned
// block with room for one slab more, from whose first slab boundary on the slabs are cut. A
// region counts its slabs alive, plus one while a thread still cuts from it, and goes back to the
// heap when that reaches zero. The heap would align each slab to its size itself by leaving a
// free head before it, whose two touched pages cost 12 % of a 64 KiB slab (14 MB of a
// million-command job's check); a region wastes a 33rd of its room, and that untouched.
constexpr std::size_t slab_size = std::size_t{1} << 16;
constexpr std::size_t slabs_per_region = 32;
constexpr std::size_t largest_pooled = 256;
constexpr std::size_t grain = alignof(std::max_align_t);

struct Region {
    explicit Region(void* memory) : raw(memory) {}
    void* raw;
    std::atomic<std::size_t> users{1};
};

struct Slab {
    explicit Slab(Region* of) : region(of) {}
    std::atomic<std::size_t> users{1};
    Region* region;
};
constexpr std::size_t header = (sizeof(Slab) + grain - 1) / grain * grain;

std::atomic<std::size_t> slabs{0};

void release(Region* region) noexcept {
    if (region->users.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        ::operator delete(region->raw);
        delete region;
    }
}

void release(Slab* slab) noexcept {
    if (slab->users.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        Region* region = slab->region;
        slab->~Slab();
        slabs.fetch_sub(1, std::memory_order_relaxed);
        release(region);
    }
}

// A region or a slab that a thread fills from its start, and the free rest of it.
template <class Block>
struct Filling {
    Block* block = nullptr;
    char* next = nullptr;
    char* end = nullptr;

    ~Filling() {
        if (block != nullptr) {
            release(block);
        }
        block = nullptr;
        next = end = nullptr;
    }
    // Fills a fresh block, `bytes` from `begin`, after the one filled so far.
    void Start(Block* fresh, char* begin, std::size_t bytes) noexcept {
        if (block != nullptr) {
            release(block);
        }
        block = fresh;
        next = begin;
        end = begin + bytes;
    }
};

// A slab cut from the thread's region, a new region when it has none left.
Slab* cut_slab(Filling<Region>& regions) {
    if (regions.next == regions.end) {
        void* raw = ::operator new((slabs_per_region + 1) * slab_size);
        Region* fresh = nullptr;
        try {
            fresh = new Region(raw);
        } catch (...) {
            ::operator delete(raw);
            throw;
        }
        const auto address = reinterpret_cast<std::uintptr_t>(raw);
        regions.Start(fresh,
                      static_cast<char*>(raw) + (slab_size - address % slab_size) % slab_size,
                      slabs_per_region * slab_size);
    }
    regions.block->users.fetch_add(1, std::memory_order_relaxed);
    Slab* slab = new (regions.next) Slab(regions.block);
    regions.next += slab_size;
    slabs.fetch_add(1, std::memory_order_relaxed);
    return slab;
}

// Blocks aligned to 16 bytes (items whose size is a multiple of 16) and to 8 (the rest) are
// filled into slabs of their own, so that neither waits for padding after the other.
struct Cursors {
    Filling<Slab> of_alignment[2];
    Filling<Region> regions;
};

bool pooled(std::size_t size) {
    return KEST_ITEM_POOL != 0 && size <= largest_pooled;
}

} // namespace

namespace KestItemPool {

void* allocate(std::size_t size, std::size_t align) {
    if (!pooled(size)) {
        return ::operator new(size);
    }
    size = size == 0 ? 8 : (size + 7) / 8 * 8;
    Cursors& mine = KestPerThread::object<Cursors>();
    Filling<Slab>& c = mine.of_alignment[align > 8 ? 1 : 0];
    const auto misalignment = reinterpret_cast<std::uintptr_t>(c.next) & (align - 1);
    if (misalignment != 0) {
        c.next += align - misalignment; // cannot pass `end`, which is aligned to the slab
    }
    if (static_cast<std::size_t>(c.end - c.next) < size) {
        Slab* fresh = cut_slab(mine.regions);
        c.Start(fresh, reinterpret_cast<char*>(fresh) + header, slab_size - header);
    }
    c.block->users.fetch_add(1, std::memory_order_relaxed);
    void* p = c.next;
    c.next += size;
    return p;
}

void deallocate(void* p, std::size_t size) noexcept {
    if (p == nullptr) {
        return;
    }
    if (!pooled(size)) {
        ::operator delete(p);
        return;
    }
    const auto address = reinterpret_cast<std::uintptr_t>(p);
    release(reinterpret_cast<Slab*>(address & ~std::uintptr_t{slab_size - 1}));
}

} // namespace KestItemPool

std::size_t KestItemMemory::slabs_in_use() noexcept {
    return slabs.load(std::memory_order_relaxed);
}
