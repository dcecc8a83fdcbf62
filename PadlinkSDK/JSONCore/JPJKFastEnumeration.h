#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/foundation/NamedException.h"
#include "platform/foundation/Object.h"

// The walk state of countByEnumerating(): a collection hands out its items in batches through it.
struct JPJKFastEnumerationState {
    uint64_t state = 0;                    // the collection's position; 0 before the first batch
    Object** itemsPtr = nullptr;           // the current batch (not retained)
    const uint64_t* mutationsPtr = nullptr;  // the collection's mutation counter
};

// Calls `body(Object*)` for each item `collection.countByEnumerating()` yields, in batches of 16,
// until the body answers false; answers whether the walk reached the end. Before each item it
// checks that the collection was not changed since the walk began, so that a body that changes it
// raises NSGenericException instead of reading released items.
template <typename Collection, typename Body>
bool JPJKEnumerate(const Collection& collection, Body&& body) {
    JPJKFastEnumerationState walk;
    Object* batch[16];
    uint64_t mutationsAtStart = 0;
    bool started = false;
    while (const size_t count = collection.countByEnumerating(&walk, batch, 16)) {
        if (!started) mutationsAtStart = *walk.mutationsPtr;
        started = true;
        for (size_t i = 0; i < count; ++i) {
            CC_REQUIRE(*walk.mutationsPtr == mutationsAtStart, "NSGenericException",
                       "*** Collection <%s: %p> was mutated while being enumerated.",
                       className(collection).c_str(), static_cast<const void*>(&collection));
            if (!body(walk.itemsPtr[i])) return false;
        }
    }
    return true;
}
