#pragma once

#include <cstddef>

// Memory for the JSON library's values and collection storage, which one parse makes and one
// tree's release frees by the hundred thousand.
//
// Blocks come in sizes of 16 to 256 bytes in steps of 16; larger requests go to the global
// allocator. Each thread keeps its own lists of free blocks, so that allocating and freeing take
// no lock. A thread holding more than two batches of free blocks of one size hands a batch to
// lists shared by all threads (under a mutex), and a thread that runs out takes a batch from there
// before it carves new memory: values decoded on a network thread and released on the main thread
// are reused instead of piling up. Carved memory stays with the pool for the rest of the run, so
// the pool's size follows the most values alive at once.
namespace JPJKBlockPool {

// `bytes` (at least 1) of memory aligned to 16 bytes.
void* allocate(size_t bytes);
// Gives back memory that allocate() answered for the same `bytes`; any thread may give it back.
void deallocate(void* block, size_t bytes);

}  // namespace JPJKBlockPool

// A standard allocator drawing on the block pool, for the storage of arrays and dictionaries.
template <typename T>
struct JPJKPoolAllocator {
    using value_type = T;

    JPJKPoolAllocator() = default;
    template <typename U>
    JPJKPoolAllocator(const JPJKPoolAllocator<U>&) {}

    T* allocate(size_t count) { return static_cast<T*>(JPJKBlockPool::allocate(count * sizeof(T))); }
    void deallocate(T* storage, size_t count) { JPJKBlockPool::deallocate(storage, count * sizeof(T)); }

    template <typename U>
    bool operator==(const JPJKPoolAllocator<U>&) const { return true; }
};
