#pragma once

#include <cstdint>
#include <vector>

#include "PadlinkSDK/JSONCore/JPJKFastEnumeration.h"
#include "PadlinkSDK/JSONCore/JPJKObject.h"

// The library's array: elements (retained) in order, mutable or not as decided at creation.
//
// Programming errors raise NamedException: mutating an immutable array
// (NSInternalInconsistencyException), a null element (NSInvalidArgumentException), an index out of
// range (NSRangeException).
class JPJKArray : public JPJKObject {
public:
    // Takes over the `count` references at `objects` (which are left null).
    static RefPtr<JPJKArray> arrayWithObjects(RefPtr<Object>* objects, size_t count, bool isMutable);
    // An array of these elements, for building trees to encode.
    static RefPtr<JPJKArray> arrayWithObjects(std::vector<RefPtr<Object>> objects, bool isMutable);

    // Number of elements.
    uint64_t count() const { return objects_.size(); }
    // The element at the index (owned by the array).
    Object* objectAtIndex(uint64_t index) const;
    // Copies the elements [location, location + length) into `buffer` (not retained).
    void getObjects(Object** buffer, uint64_t location, uint64_t length) const;
    // Fast enumeration: up to `length` elements per call, 0 at the end; the state watches the
    // mutation counter (see JPJKEnumerate).
    size_t countByEnumerating(JPJKFastEnumerationState* state, Object** buffer, size_t length) const;

    // Mutations of a mutable array. An index may equal the count for insertion only.
    void insertObject(RefPtr<Object> object, uint64_t index);
    void removeObjectAtIndex(uint64_t index);
    void replaceObjectAtIndex(uint64_t index, RefPtr<Object> object);

    // An immutable array answers itself; a mutable one a new immutable array of its elements.
    RefPtr<JPJKObject> copy() const override;
    // A new mutable array of the elements.
    RefPtr<JPJKArray> mutableCopy() const;

    // Kind Array; equal when the elements are, pairwise.
    Kind kind() const override { return Kind::Array; }
    uint64_t hash() const override { return objects_.size(); }
    bool isEqualTo(const JPJKObject& other) const override;

private:
    using Storage = std::vector<RefPtr<Object>, JPJKPoolAllocator<RefPtr<Object>>>;

    JPJKArray(Storage objects, bool isMutable) : objects_(std::move(objects)), mutations_(isMutable ? 1 : 0) {}

    void requireMutable(const char* operation) const;
    void countMutation();

    Storage objects_;  // never holds null
    // 0: immutable. Otherwise the number of mutations so far, wrapping from UINT64_MAX to 1.
    uint64_t mutations_;
};
