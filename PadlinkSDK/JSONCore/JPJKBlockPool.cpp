#include "PadlinkSDK/JSONCore/JPJKBlockPool.h"

#include <algorithm>
#include <mutex>
#include <new>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define JPJK_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define JPJK_ADDRESS_SANITIZER 1
#endif
#endif

#ifdef JPJK_ADDRESS_SANITIZER
#include <sanitizer/asan_interface.h>
#endif

namespace {
constexpr size_t kGranule = 16;
constexpr size_t kClasses = 16;  // blocks of 16 .. 256 bytes
constexpr size_t kBatch = 512;   // blocks moved between a thread and the shared lists at once
constexpr size_t kChunkBytes = 64 << 10;  // carved into blocks of one size
#ifdef JPJK_ADDRESS_SANITIZER
// Every block is a heap block of its own, so that the leak checker reports a value nobody
// released; a free block is poisoned but for its link, so that a use after release is reported.
constexpr bool kSeparateBlocks = true;
#else
constexpr bool kSeparateBlocks = false;
#endif

struct FreeBlock {
    FreeBlock* next;
};

struct Batch {
    FreeBlock* head;
    size_t count;
};

struct SharedLists {
    std::mutex mutex;
    std::vector<Batch> batches[kClasses];
};

// Never destroyed: threads may give blocks back after static destruction began.
SharedLists& shared() {
    static auto* const lists = new SharedLists;
    return *lists;
}

void giveToShared(size_t sizeClass, FreeBlock* head, size_t count) {
    SharedLists& lists = shared();
    const std::lock_guard<std::mutex> lock(lists.mutex);
    lists.batches[sizeClass].push_back({head, count});
}

struct ThreadLists {
    FreeBlock* head[kClasses] = {};
    size_t count[kClasses] = {};

    ~ThreadLists();
};

// Set once this thread's lists are gone: blocks released later (by other thread-local objects
// going away) go straight to the shared lists.
thread_local bool threadListsGone = false;
thread_local ThreadLists threadLists;

ThreadLists::~ThreadLists() {
    for (size_t sizeClass = 0; sizeClass < kClasses; ++sizeClass) {
        if (head[sizeClass]) giveToShared(sizeClass, head[sizeClass], count[sizeClass]);
    }
    threadListsGone = true;
}

size_t blockBytes(size_t sizeClass) { return (sizeClass + 1) * kGranule; }

void markFree(FreeBlock* block, size_t sizeClass) {
#ifdef JPJK_ADDRESS_SANITIZER
    ASAN_POISON_MEMORY_REGION(reinterpret_cast<char*>(block) + sizeof(FreeBlock), blockBytes(sizeClass) - sizeof(FreeBlock));
#else
    (void)block;
    (void)sizeClass;
#endif
}

void markInUse(FreeBlock* block, size_t sizeClass) {
#ifdef JPJK_ADDRESS_SANITIZER
    ASAN_UNPOISON_MEMORY_REGION(block, blockBytes(sizeClass));
#else
    (void)block;
    (void)sizeClass;
#endif
}

// Fills this thread's empty list of the class: a batch from the shared lists, or new memory.
void refill(ThreadLists& lists, size_t sizeClass) {
    {
        SharedLists& common = shared();
        const std::lock_guard<std::mutex> lock(common.mutex);
        if (!common.batches[sizeClass].empty()) {
            const Batch batch = common.batches[sizeClass].back();
            common.batches[sizeClass].pop_back();
            lists.head[sizeClass] = batch.head;
            lists.count[sizeClass] = batch.count;
            return;
        }
    }
    const size_t bytes = blockBytes(sizeClass);
    const size_t blocks = kSeparateBlocks ? kBatch : kChunkBytes / bytes;
    char* const chunk = kSeparateBlocks ? nullptr : static_cast<char*>(::operator new(kChunkBytes));
    for (size_t i = 0; i < blocks; ++i) {
        auto* block = reinterpret_cast<FreeBlock*>(kSeparateBlocks ? ::operator new(bytes) : chunk + i * bytes);
        block->next = lists.head[sizeClass];
        lists.head[sizeClass] = block;
        markFree(block, sizeClass);
    }
    lists.count[sizeClass] = blocks;
}
}  // namespace

namespace JPJKBlockPool {

void* allocate(size_t bytes) {
    const size_t sizeClass = (std::max<size_t>(bytes, 1) - 1) / kGranule;
    if (sizeClass >= kClasses) return ::operator new(bytes);
    if (threadListsGone) return ::operator new(blockBytes(sizeClass));  // a block the lists may take later
    ThreadLists& lists = threadLists;
    if (!lists.head[sizeClass]) refill(lists, sizeClass);
    FreeBlock* const block = lists.head[sizeClass];
    markInUse(block, sizeClass);
    lists.head[sizeClass] = block->next;
    --lists.count[sizeClass];
    // A list freed by a tree's release is cold by the time a parse takes from it.
    __builtin_prefetch(block->next);
    return block;
}

void deallocate(void* memory, size_t bytes) {
    const size_t sizeClass = (std::max<size_t>(bytes, 1) - 1) / kGranule;
    if (sizeClass >= kClasses) return ::operator delete(memory);
    auto* const block = static_cast<FreeBlock*>(memory);
    if (threadListsGone) {
        block->next = nullptr;
        markFree(block, sizeClass);
        return giveToShared(sizeClass, block, 1);
    }
    ThreadLists& lists = threadLists;
    block->next = lists.head[sizeClass];
    markFree(block, sizeClass);
    lists.head[sizeClass] = block;
    if (++lists.count[sizeClass] < 2 * kBatch) return;
    // Keep one batch; hand the one after it to the other threads.
    FreeBlock* last = block;
    for (size_t i = 1; i < kBatch; ++i) last = last->next;
    giveToShared(sizeClass, last->next, lists.count[sizeClass] - kBatch);
    last->next = nullptr;
    lists.count[sizeClass] = kBatch;
}

}  // namespace JPJKBlockPool
