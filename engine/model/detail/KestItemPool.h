// Memory for items and what they are kept in. A job holds millions of small items, with their
// lists and longer texts, that are made together while it is read and die together when it goes;
// the pool serves them from large slabs by moving a pointer, and gives a slab back once every
// block in it is gone.
#pragma once

#include <cstddef>

namespace KestItemPool {

/// Memory for `size` bytes aligned to `align` (8 or 16). Blocks above a few hundred bytes come
/// from the global heap. Throws std::bad_alloc.
void* allocate(std::size_t size, std::size_t align);
/// Gives back `p`, which allocate(size) returned, with the same `size`.
void deallocate(void* p, std::size_t size) noexcept;

} // namespace KestItemPool
