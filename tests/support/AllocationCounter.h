#pragma once

#include <cstdint>

// Counts the calls of operator new (and new[]) that the constructing thread makes while the
// counter lives; tests use it to show that a steady frame or tick allocates nothing. Counters do
// not nest.
class AllocationCounter {
public:
    AllocationCounter();
    ~AllocationCounter();
    AllocationCounter(const AllocationCounter&) = delete;
    AllocationCounter& operator=(const AllocationCounter&) = delete;

    uint64_t count() const;
};
