#include "support/AllocationCounter.h"

#include <dlfcn.h>

#include <cstdlib>
#include <new>

// The replacements count and then forward to the definitions they hide (the sanitizer runtime's
// or the C++ library's), so every allocation is still paired with its own operator delete and the
// sanitizers' checks keep working.
namespace {
thread_local bool counting = false;
thread_local uint64_t allocations = 0;

using NewFunction = void* (*)(std::size_t);

NewFunction hiddenDefinition(const char* symbol) {
    auto function = reinterpret_cast<NewFunction>(dlsym(RTLD_NEXT, symbol));
    if (!function) std::abort();
    return function;
}

void* countedAllocation(NewFunction allocate, std::size_t size) {
    if (counting) ++allocations;
    return allocate(size);
}
}  // namespace

void* operator new(std::size_t size) {
    static const NewFunction hidden = hiddenDefinition("_Znwm");
    return countedAllocation(hidden, size);
}

void* operator new[](std::size_t size) {
    static const NewFunction hidden = hiddenDefinition("_Znam");
    return countedAllocation(hidden, size);
}

AllocationCounter::AllocationCounter() {
    allocations = 0;
    counting = true;
}

AllocationCounter::~AllocationCounter() { counting = false; }

uint64_t AllocationCounter::count() const { return allocations; }
