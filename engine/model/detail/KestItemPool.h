// Memory for items. A job holds millions of small items that are made together while it is read
// and die together when it goes; the pool serves them from large slabs by moving a pointer, and
// gives a slab back once every item in it is gone.
#pragma once

#include <cstddef>

namespace KestItemPool {

/// Memory for an object of `size` bytes with at most the fundamental alignment. Objects above a
/// few hundred bytes come from the global heap. Throws std::bad_alloc.
void* allocate(std::size_t size);
/// Gives back `p`, which allocate(size) returned, with the same `size`.
void deallocate(void* p, std::size_t size) noexcept;

} // namespace KestItemPool
