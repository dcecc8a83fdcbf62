#pragma once

#include <cstdint>

#include "PadlinkSDK/JSONCore/JPJKBlockPool.h"
#include "platform/foundation/Object.h"

// Base of the JSON library's value classes: strings, numbers, null, data, arrays and dictionaries.
//
// Values compare by content (isEqual) and hash consistently with it, so that they can serve as
// dictionary keys; objects of other classes may sit in arrays and dictionaries too, where they
// compare by identity and are encoded only through a formatter.
class JPJKObject : public Object {
public:
    enum class Kind { String, Number, Null, Data, Array, Dictionary };

    virtual Kind kind() const = 0;
    // Equal objects have equal hashes.
    virtual uint64_t hash() const = 0;
    // Same content; `other` is of the same kind (isEqual(a, b) below checks that).
    virtual bool isEqualTo(const JPJKObject& other) const = 0;
    // An immutable object with the same content: immutable objects answer themselves.
    virtual RefPtr<JPJKObject> copy() const;

    // Values live in the block pool; the virtual destructor hands the most derived size back.
    static void* operator new(size_t bytes) { return JPJKBlockPool::allocate(bytes); }
    static void operator delete(void* value, size_t bytes) { JPJKBlockPool::deallocate(value, bytes); }

    // Identical, or both library values of one kind with equal content. Null pointers equal only
    // each other.
    static bool isEqual(const Object* a, const Object* b);
};

// The value hash of the decoder and of strings: h starts at kJPJKHashSeed and takes each byte b as
// h = (h >> 19) XOR (h * 33 + b - 29), in unsigned 64-bit arithmetic.
inline constexpr uint64_t kJPJKHashSeed = 1402737925;
inline uint64_t JPJKHashByte(uint64_t h, uint8_t byte) { return (h >> 19) ^ (h * 33 + byte - 29); }
