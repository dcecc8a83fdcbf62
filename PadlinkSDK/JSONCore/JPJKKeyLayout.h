#pragma once

#include <cstdint>
#include <vector>

#include "PadlinkSDK/JSONCore/JPJKObject.h"

// The key half of a dictionary's hash table: which key, with its hash, sits in which slot.
//
// The decoder reads many dictionaries whose keys are the same cached key objects in the same
// order; they all share one immutable layout, so that each key is retained once per layout rather
// than once per dictionary and the table is laid out once. A layout is changed only while the one
// mutable dictionary that made it holds it; shared layouts belong to immutable dictionaries.
class JPJKKeyLayout : public Object {
public:
    // A table slot; empty when it has no key.
    struct Slot {
        uint64_t keyHash = 0;
        RefPtr<JPJKObject> key;
    };

    // An empty table of `capacity` slots.
    explicit JPJKKeyLayout(uint64_t capacity) : slots(capacity) {}

    // Whether the layout is shared for exactly these key objects, in this order.
    bool holdsSequence(JPJKObject* const* keys, size_t count) const;

    static void* operator new(size_t bytes) { return JPJKBlockPool::allocate(bytes); }
    static void operator delete(void* layout, size_t bytes) { JPJKBlockPool::deallocate(layout, bytes); }

    std::vector<Slot, JPJKPoolAllocator<Slot>> slots;
    // For a shared layout: the slot of each key of the sequence it was made from, in order.
    std::vector<uint32_t, JPJKPoolAllocator<uint32_t>> sequenceSlots;
};
