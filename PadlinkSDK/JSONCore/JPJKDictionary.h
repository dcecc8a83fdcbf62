#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "PadlinkSDK/JSONCore/JPJKFastEnumeration.h"
#include "PadlinkSDK/JSONCore/JPJKKeyLayout.h"
#include "PadlinkSDK/JSONCore/JPJKObject.h"

class JPJKDictionaryEnumerator;

// The library's dictionary: an open-addressing hash table with linear probing whose sizes come
// from a fixed list of prime-like capacities, mutable or not as decided at creation. Keys are
// library values (retained, compared with isEqual); objects may be any object (retained).
//
// Programming errors raise NamedException: mutating an immutable dictionary
// (NSInternalInconsistencyException), a null key or object (NSInvalidArgumentException), and a
// dictionary beyond the largest capacity (std::length_error).
class JPJKDictionary : public JPJKObject {
public:
    // Dictionaries of at most this many pairs may share their key layout.
    static constexpr size_t kMaxSharedPairs = 64;

    // Takes over the `count` references at `objects` (which are left null) and retains the keys;
    // the pairs are added in order, so a repeated key keeps its last object. `keyHashes` are the
    // keys' hash(). `shared`, when given, is the caller's place for a layout to share between
    // immutable dictionaries: one held there for these very key objects in this order is taken,
    // and one made here for up to kMaxSharedPairs keys without repeats is left there.
    static RefPtr<JPJKDictionary> dictionaryWithObjects(RefPtr<Object>* objects, JPJKObject* const* keys,
                                                        const uint64_t* keyHashes, size_t count, bool isMutable,
                                                        RefPtr<JPJKKeyLayout>* shared = nullptr);
    // A dictionary of these pairs, for building trees to encode.
    static RefPtr<JPJKDictionary> dictionaryWithPairs(
        std::vector<std::pair<RefPtr<JPJKObject>, RefPtr<Object>>> pairs, bool isMutable);

    // The table size for `count` pairs: the first listed capacity not below floor(count * 1.33).
    // Throws std::length_error beyond the last one (about 355 million pairs).
    static uint64_t capacityForCount(uint64_t count);

    // Number of pairs.
    uint64_t count() const { return count_; }
    // Slots of the table.
    uint64_t capacity() const { return capacity_; }
    // The object of an equal key, or null (owned by the dictionary).
    Object* objectForKey(const JPJKObject* key) const;
    // Fills either buffer (each may be null) with `count()` objects and keys in table order (not retained).
    void getObjects(Object** objects, JPJKObject** keys) const;
    // Fast enumeration of the keys in table order (see JPJKEnumerate).
    size_t countByEnumerating(JPJKFastEnumerationState* state, Object** buffer, size_t length) const;
    // A new enumerator of the keys.
    RefPtr<JPJKDictionaryEnumerator> keyEnumerator() const;

    // Mutations of a mutable dictionary. setObject() keeps a copy() of the key and grows the table
    // when the pairs would no longer fit its capacity.
    void setObject(RefPtr<Object> object, RefPtr<JPJKObject> key);
    void removeObjectForKey(const JPJKObject* key);

    // An immutable dictionary answers itself; a mutable one a new immutable dictionary of its pairs.
    RefPtr<JPJKObject> copy() const override;
    // A new mutable dictionary of the pairs.
    RefPtr<JPJKDictionary> mutableCopy() const;

    // Kind Dictionary; equal when both hold equal keys with equal objects.
    Kind kind() const override { return Kind::Dictionary; }
    uint64_t hash() const override { return count_; }
    bool isEqualTo(const JPJKObject& other) const override;

private:
    friend class JPJKDictionaryEnumerator;  // walks the slots

    using Objects = std::vector<RefPtr<Object>, JPJKPoolAllocator<RefPtr<Object>>>;

    // A dictionary with an empty table of `capacity` slots.
    JPJKDictionary(uint64_t capacity, bool isMutable);
    // An immutable dictionary on a shared layout, with no objects yet.
    explicit JPJKDictionary(RefPtr<JPJKKeyLayout> layout);
    static RefPtr<JPJKDictionary> copyOf(const JPJKDictionary& source, bool isMutable);

    // Puts the pair in the first free slot from the key's home slot on, replacing an equal key's
    // pair; drops it when the table is full.
    void add(RefPtr<JPJKObject> key, uint64_t keyHash, RefPtr<Object> object);
    // Slot of an equal key, or capacity_.
    uint64_t find(const Object* key, uint64_t keyHash) const;
    // Empties the slot and moves the pairs of the cluster after it so that no probe stops early.
    void removeSlot(uint64_t slot);
    // The slot after `slot` on a probe sequence, wrapping at the end of the table.
    uint64_t nextSlot(uint64_t slot) const { return slot + 1 == capacity_ ? 0 : slot + 1; }
    void requireMutable(const char* operation) const;
    void countMutation();

    uint64_t count_ = 0;
    uint64_t capacity_;
    uint64_t mutations_;  // as JPJKArray's
    // Keys and hashes of the capacity_ slots; shared only between immutable dictionaries.
    RefPtr<JPJKKeyLayout> layout_;
    Objects objects_;  // of the capacity_ slots; null where the slot has no key
};
