#include "engine/core/support/ccArrayStore.h"

#include <cinttypes>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/foundation/Object.h"

namespace {

void retainObject(Object* object) {
    if (object) object->retain();
}

void releaseObject(Object* object) {
    if (object) object->release();
}

Object** resizeSlots(Object** slots, uint64_t count) {
    if (count > SIZE_MAX / sizeof(Object*)) throw std::bad_alloc();
    auto* resized = static_cast<Object**>(std::realloc(slots, count * sizeof(Object*)));
    if (!resized) throw std::bad_alloc();
    return resized;
}

ccArray* createRecord(uint64_t capacity, bool zeroFilled) {
    const uint64_t max = capacity == 0 ? 1 : capacity;
    Object** slots = resizeSlots(nullptr, max);
    if (zeroFilled) std::memset(slots, 0, max * sizeof(Object*));
    return new ccArray{0, max, slots};
}

void freeRecord(ccArray* arr) {
    std::free(arr->arr);
    delete arr;
}

// A no-grow store needs a free slot: num < max.
void requireRoom(const ccArray* arr) {
    CC_REQUIRE(arr->num < arr->max, "NSInternalInconsistencyException", "no room for a no-grow store: %" PRIu64
               " slots in use of %" PRIu64, arr->num, arr->max);
}

uint64_t slotIndex(const ccArray* arr, const void* value) {
    for (uint64_t i = 0; i < arr->num; ++i) {
        if (arr->arr[i] == value) return i;
    }
    return ccArrayNotFound;
}

// Moves slots index .. num-1 up one and counts the new slot; the caller made room.
void openSlot(ccArray* arr, uint64_t index) {
    CC_REQUIRE(index <= arr->num, "NSRangeException", "insertion index %" PRIu64 " beyond bounds [0 .. %" PRIu64 "]",
               index, arr->num);
    requireRoom(arr);
    std::memmove(arr->arr + index + 1, arr->arr + index, (arr->num - index) * sizeof(Object*));
    ++arr->num;
}

// Drops slot index, moving later slots down one, and answers what it held.
Object* closeSlot(ccArray* arr, uint64_t index) {
    ccArrayRequireIndex(arr, index);
    Object* removed = arr->arr[index];
    --arr->num;
    std::memmove(arr->arr + index, arr->arr + index + 1, (arr->num - index) * sizeof(Object*));
    return removed;
}

// Drops slot index by moving the last slot into it, and answers what it held.
Object* fastCloseSlot(ccArray* arr, uint64_t index) {
    ccArrayRequireIndex(arr, index);
    Object* removed = arr->arr[index];
    arr->arr[index] = arr->arr[--arr->num];
    return removed;
}

// One pass dropping every slot whose value occurs in `minus`; the others close up in order.
void dropAllOccurring(ccArray* arr, const ccArray* minus, bool releaseDropped) {
    uint64_t kept = 0;
    for (uint64_t i = 0; i < arr->num; ++i) {
        Object* object = arr->arr[i];
        if (slotIndex(minus, object) != ccArrayNotFound) {
            if (releaseDropped) releaseObject(object);
        } else {
            arr->arr[kept++] = object;
        }
    }
    arr->num = kept;
}

}  // namespace

ccArray* ccArrayCreate(uint64_t capacity) {
    return createRecord(capacity, true);
}

void ccArrayDestroy(ccArray* arr) {
    if (!arr) return;
    ccArrayRemoveAll(arr);
    freeRecord(arr);
}

void ccArrayRemoveAll(ccArray* arr) {
    while (arr->num > 0) releaseObject(arr->arr[--arr->num]);
}

void ccArrayDoubleCapacity(ccArray* arr) {
    arr->arr = resizeSlots(arr->arr, arr->max * 2);
    arr->max *= 2;
}

void ccArrayEnsureRoomFor(ccArray* arr, uint64_t extra) {
    while (arr->max < arr->num + extra) ccArrayDoubleCapacity(arr);
}

void ccArrayShrinkToFit(ccArray* arr) {
    if (arr->max <= arr->num || (arr->num == 0 && arr->max == 1)) return;
    const uint64_t max = arr->num == 0 ? 1 : arr->num;
    arr->arr = resizeSlots(arr->arr, max);
    arr->max = max;
}

uint64_t ccArrayIndexOf(const ccArray* arr, const Object* object) {
    return slotIndex(arr, object);
}

bool ccArrayHasObject(const ccArray* arr, const Object* object) {
    return slotIndex(arr, object) != ccArrayNotFound;
}

void ccArrayAppendNoGrow(ccArray* arr, Object* object) {
    requireRoom(arr);
    retainObject(object);
    arr->arr[arr->num++] = object;
}

void ccArrayAppend(ccArray* arr, Object* object) {
    ccArrayEnsureRoomFor(arr, 1);
    ccArrayAppendNoGrow(arr, object);
}

void ccArrayAppendArrayNoGrow(ccArray* arr, const ccArray* plus) {
    const uint64_t count = plus->num;  // taken first: plus may be arr itself
    for (uint64_t i = 0; i < count; ++i) ccArrayAppendNoGrow(arr, plus->arr[i]);
}

void ccArrayAppendArray(ccArray* arr, const ccArray* plus) {
    ccArrayEnsureRoomFor(arr, plus->num);
    ccArrayAppendArrayNoGrow(arr, plus);
}

void ccArrayInsertAt(ccArray* arr, Object* object, uint64_t index) {
    ccArrayEnsureRoomFor(arr, 1);
    openSlot(arr, index);
    retainObject(object);
    arr->arr[index] = object;
}

void ccArraySwapAt(ccArray* arr, uint64_t index1, uint64_t index2) {
    ccArrayRequireIndex(arr, index1);
    ccArrayRequireIndex(arr, index2);
    ccSwapPointers(&arr->arr[index1], &arr->arr[index2]);
}

void ccArrayRemoveAt(ccArray* arr, uint64_t index) {
    releaseObject(closeSlot(arr, index));
}

void ccArrayFastRemoveAt(ccArray* arr, uint64_t index) {
    releaseObject(fastCloseSlot(arr, index));
}

void ccArrayFastRemove(ccArray* arr, const Object* object) {
    const uint64_t index = slotIndex(arr, object);
    if (index != ccArrayNotFound) ccArrayFastRemoveAt(arr, index);
}

void ccArrayRemove(ccArray* arr, const Object* object) {
    const uint64_t index = slotIndex(arr, object);
    if (index != ccArrayNotFound) ccArrayRemoveAt(arr, index);
}

void ccArrayRemoveArray(ccArray* arr, const ccArray* minus) {
    for (uint64_t i = 0; i < minus->num; ++i) ccArrayRemove(arr, minus->arr[i]);
}

void ccArrayFullRemoveArray(ccArray* arr, const ccArray* minus) {
    dropAllOccurring(arr, minus, true);
}

void ccArrayMakeObjectsPerformSelector(const ccArray* arr, const std::function<void(Object*)>& selector) {
    for (uint64_t i = 0; i < arr->num; ++i) {
        if (arr->arr[i]) selector(arr->arr[i]);
    }
}

void ccArrayMakeObjectsPerformSelectorWithObject(const ccArray* arr,
                                                 const std::function<void(Object*, Object*)>& selector,
                                                 Object* object) {
    for (uint64_t i = 0; i < arr->num; ++i) {
        if (arr->arr[i]) selector(arr->arr[i], object);
    }
}

void ccArrayMakeObjectPerformSelectorWithEach(const ccArray* arr,
                                              const std::function<void(Object*, Object*)>& selector,
                                              Object* receiver) {
    if (!receiver) return;
    for (uint64_t i = 0; i < arr->num; ++i) selector(receiver, arr->arr[i]);
}

void ccArrayInsertionSort(ccArray* arr, ccArrayComparator comparator) {
    ccArrayInsertionSortBy(arr, [comparator](Object* earlier, Object* later) {
        return comparator(&earlier, &later) == 1;
    });
}

void ccArrayMergeSort(ccArray* arr, size_t elementSize, ccArrayComparator comparator) {
    CC_REQUIRE(elementSize == sizeof(Object*), "NSInternalInconsistencyException",
               "element size %zu: slots are object pointers", elementSize);
    ccArrayMergeSortBy(arr, [comparator](Object* left, Object* right) {
        return comparator(&left, &right) <= 0;
    });
}

ccArray* ccValueArrayCreate(uint64_t capacity) {
    return createRecord(capacity, false);
}

void ccValueArrayDestroy(ccArray* arr) {
    if (!arr) return;
    arr->num = 0;
    freeRecord(arr);
}

void ccValueArrayRemoveAll(ccArray* arr) {
    arr->num = 0;
}

void ccValueArrayDoubleCapacity(ccArray* arr) {
    ccArrayDoubleCapacity(arr);
}

void ccValueArrayEnsureRoomFor(ccArray* arr, uint64_t extra) {
    ccArrayEnsureRoomFor(arr, extra);
}

uint64_t ccValueArrayIndexOf(const ccArray* arr, const void* value) {
    return slotIndex(arr, value);
}

bool ccValueArrayContains(const ccArray* arr, const void* value) {
    return slotIndex(arr, value) != ccArrayNotFound;
}

void ccValueArrayAppendNoGrow(ccArray* arr, void* value) {
    requireRoom(arr);
    arr->arr[arr->num++] = static_cast<Object*>(value);
}

void ccValueArrayAppend(ccArray* arr, void* value) {
    ccArrayEnsureRoomFor(arr, 1);
    ccValueArrayAppendNoGrow(arr, value);
}

void ccValueArrayAppendArrayNoGrow(ccArray* arr, const ccArray* plus) {
    const uint64_t count = plus->num;  // taken first: plus may be arr itself
    for (uint64_t i = 0; i < count; ++i) ccValueArrayAppendNoGrow(arr, plus->arr[i]);
}

void ccValueArrayAppendArray(ccArray* arr, const ccArray* plus) {
    ccArrayEnsureRoomFor(arr, plus->num);
    ccValueArrayAppendArrayNoGrow(arr, plus);
}

void ccValueArrayInsertAt(ccArray* arr, void* value, uint64_t index) {
    openSlot(arr, index);
    arr->arr[index] = static_cast<Object*>(value);
}

void ccValueArrayRemoveAt(ccArray* arr, uint64_t index) {
    closeSlot(arr, index);
}

void ccValueArrayFastRemoveAt(ccArray* arr, uint64_t index) {
    fastCloseSlot(arr, index);
}

void ccValueArrayRemove(ccArray* arr, const void* value) {
    const uint64_t index = slotIndex(arr, value);
    if (index != ccArrayNotFound) closeSlot(arr, index);
}

void ccValueArrayRemoveArray(ccArray* arr, const ccArray* minus) {
    for (uint64_t i = 0; i < minus->num; ++i) ccValueArrayRemove(arr, minus->arr[i]);
}

void ccValueArrayFullRemoveArray(ccArray* arr, const ccArray* minus) {
    dropAllOccurring(arr, minus, false);
}
