#pragma once

#include <algorithm>
#include <cinttypes>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/foundation/NamedException.h"

class Object;

// Ordered lists in a plain heap record, manipulated by free functions.
//
// The object family (ccArray...) retains each object once per slot it stands in and releases it
// when the slot goes; identity is pointer identity. Null may be stored: retaining or releasing it
// does nothing. The value family (ccValueArray...) stores pointer-sized values (atlas indices
// cast to pointers, for instance) in the same record and never retains or releases them; two
// values match when they are the same bits.
//
// An array belongs to one thread at a time. Indexes must be in range (NSRangeException otherwise)
// and the no-grow calls need room already made (NSInternalInconsistencyException otherwise); both
// are checked in every build.
struct ccArray {
    uint64_t num;   // slots in use, 0 .. num-1; num <= max
    uint64_t max;   // slots in the buffer, at least 1
    Object** arr;   // heap buffer of max slots; slots at or above num are meaningless
};

// Index answered for an absent object or value.
inline constexpr uint64_t ccArrayNotFound = INT64_MAX;

// Compares two slots given their addresses (pointers to Object*): negative, 0 or positive.
using ccArrayComparator = int (*)(const void*, const void*);

// Throws NSRangeException unless slot `index` is in use (index < num).
inline void ccArrayRequireIndex(const ccArray* arr, uint64_t index) {
    CC_REQUIRE(index < arr->num, "NSRangeException", "index %" PRIu64 " beyond bounds [0 .. %" PRIu64 ")", index,
               arr->num);
}

// A new empty record with max = capacity (1 when 0) and zero-filled slots; the caller owns it and
// frees it with ccArrayDestroy. Allocation failure throws std::bad_alloc.
ccArray* ccArrayCreate(uint64_t capacity);
// Releases the objects from the last slot to the first, then frees the buffer and the record.
// Null does nothing.
void ccArrayDestroy(ccArray* arr);
// Releases the objects from the last slot to the first; the buffer and max are kept.
void ccArrayRemoveAll(ccArray* arr);

void ccArrayDoubleCapacity(ccArray* arr);
// Doubles max until num + extra fits.
void ccArrayEnsureRoomFor(ccArray* arr, uint64_t extra);
// Reallocates the buffer to num slots (1 when empty) when it is larger.
void ccArrayShrinkToFit(ccArray* arr);

// First slot holding the object, or ccArrayNotFound.
uint64_t ccArrayIndexOf(const ccArray* arr, const Object* object);
bool ccArrayHasObject(const ccArray* arr, const Object* object);

// Retains and stores at slot num; the caller guarantees num < max.
void ccArrayAppendNoGrow(ccArray* arr, Object* object);
void ccArrayAppend(ccArray* arr, Object* object);
// Appends every object of `plus` in order, each retained; the caller guarantees the room.
// `plus` may be `arr` itself: its objects then appear twice.
void ccArrayAppendArrayNoGrow(ccArray* arr, const ccArray* plus);
void ccArrayAppendArray(ccArray* arr, const ccArray* plus);
// Stores the object (retained) at index <= num, moving later slots up one.
void ccArrayInsertAt(ccArray* arr, Object* object, uint64_t index);
// Exchanges two slots in range; no retain changes.
void ccArraySwapAt(ccArray* arr, uint64_t index1, uint64_t index2);

// Drops slot index < num, keeping the order, and releases its object. The array is consistent
// before the release runs, so a destructor may use it.
void ccArrayRemoveAt(ccArray* arr, uint64_t index);
// Drops slot index < num by moving the last object into it (order not kept), then releases.
void ccArrayFastRemoveAt(ccArray* arr, uint64_t index);
// The first slot holding the object, removed as by ccArrayFastRemoveAt / ccArrayRemoveAt;
// an absent object changes nothing.
void ccArrayFastRemove(ccArray* arr, const Object* object);
void ccArrayRemove(ccArray* arr, const Object* object);
// One ccArrayRemove per object of `minus`, in order: one occurrence each.
void ccArrayRemoveArray(ccArray* arr, const ccArray* minus);
// Drops every slot whose object occurs anywhere in `minus`, keeping the others in order.
void ccArrayFullRemoveArray(ccArray* arr, const ccArray* minus);

// Calls the function on every object in slot order, skipping null slots (a message to nothing).
// The function must not change the array.
void ccArrayMakeObjectsPerformSelector(const ccArray* arr, const std::function<void(Object*)>& selector);
void ccArrayMakeObjectsPerformSelectorWithObject(const ccArray* arr,
                                                 const std::function<void(Object*, Object*)>& selector,
                                                 Object* object);
// Calls selector(receiver, each) once per object in slot order; a null receiver does nothing.
void ccArrayMakeObjectPerformSelectorWithEach(const ccArray* arr,
                                              const std::function<void(Object* receiver, Object* each)>& selector,
                                              Object* receiver);

// Stable insertion sort: an element moves down while comparator(&earlier, &it) returns exactly 1.
void ccArrayInsertionSort(ccArray* arr, ccArrayComparator comparator);
// Stable bottom-up merge sort: the left element is taken while comparator(&left, &right) <= 0.
// Slots are pointers, so elementSize must be sizeof(Object*).
void ccArrayMergeSort(ccArray* arr, size_t elementSize, ccArrayComparator comparator);

// Value family: same record, values never retained or released.

// As ccArrayCreate, slots not zero-filled.
ccArray* ccValueArrayCreate(uint64_t capacity);
// Frees the buffer and the record; null does nothing.
void ccValueArrayDestroy(ccArray* arr);
void ccValueArrayRemoveAll(ccArray* arr);
void ccValueArrayDoubleCapacity(ccArray* arr);
void ccValueArrayEnsureRoomFor(ccArray* arr, uint64_t extra);

// First slot holding the same value, or ccArrayNotFound.
uint64_t ccValueArrayIndexOf(const ccArray* arr, const void* value);
bool ccValueArrayContains(const ccArray* arr, const void* value);
// Stores at slot num; the caller guarantees num < max.
void ccValueArrayAppendNoGrow(ccArray* arr, void* value);
void ccValueArrayAppend(ccArray* arr, void* value);
void ccValueArrayAppendArrayNoGrow(ccArray* arr, const ccArray* plus);
void ccValueArrayAppendArray(ccArray* arr, const ccArray* plus);
// Stores at index <= num, moving later slots up one; no growth: the caller created the array
// with room for every value it will hold.
void ccValueArrayInsertAt(ccArray* arr, void* value, uint64_t index);
void ccValueArrayRemoveAt(ccArray* arr, uint64_t index);
void ccValueArrayFastRemoveAt(ccArray* arr, uint64_t index);
void ccValueArrayRemove(ccArray* arr, const void* value);
void ccValueArrayRemoveArray(ccArray* arr, const ccArray* minus);
void ccValueArrayFullRemoveArray(ccArray* arr, const ccArray* minus);

// Exchanges the contents of two pointer-sized slots.
template <typename T>
void ccSwapPointers(T** a, T** b) {
    T* kept = *a;
    *a = *b;
    *b = kept;
}

// The two sort algorithms over the slots with any ordering test; the functions above and the
// CCArray sorts are built on them. Neither changes retain counts.

// Stable insertion sort: an element moves down while outOfOrder(earlier, it) is true.
template <typename OutOfOrder>
void ccArrayInsertionSortBy(ccArray* arr, OutOfOrder outOfOrder) {
    Object** slots = arr->arr;
    for (uint64_t i = 1; i < arr->num; ++i) {
        for (uint64_t j = i; j > 0 && outOfOrder(slots[j - 1], slots[j]); --j) {
            ccSwapPointers(&slots[j - 1], &slots[j]);
        }
    }
}

// Bottom-up merge sort with runs of width 1, 2, 4, ... laid out from the end of the array, so
// that a left run never holds more than num/2 objects: the temporary buffer has num/2 + 1 slots.
// Each left run is copied out and merged back; its element is taken while takeLeft(left, right).
template <typename TakeLeft>
void ccArrayMergeSortBy(ccArray* arr, TakeLeft takeLeft) {
    const uint64_t count = arr->num;
    if (count < 2) return;
    Object** slots = arr->arr;
    std::vector<Object*> buffer(count / 2 + 1);
    for (uint64_t width = 1; width < count; width *= 2) {
        for (uint64_t end = count; end > width; end = end > 2 * width ? end - 2 * width : 0) {
            const uint64_t middle = end - width;
            const uint64_t start = middle - std::min(middle, width);
            const uint64_t leftCount = middle - start;
            CC_REQUIRE(leftCount <= buffer.size(), "NSInternalInconsistencyException",
                       "merge run of %zu objects beyond the buffer of %zu", static_cast<size_t>(leftCount),
                       buffer.size());
            for (uint64_t i = 0; i < leftCount; ++i) buffer[i] = slots[start + i];
            uint64_t left = 0, right = middle, out = start;
            while (left < leftCount && right < end) {
                slots[out++] = takeLeft(buffer[left], slots[right]) ? buffer[left++] : slots[right++];
            }
            while (left < leftCount) slots[out++] = buffer[left++];
        }
    }
}
