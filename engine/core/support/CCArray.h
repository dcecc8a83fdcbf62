#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/core/support/ccArrayStore.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/Object.h"

// An ordered, retaining list of objects: an Object wrapper around a ccArray record, which callers
// may also walk directly through data(). Identity is pointer identity. An index argument out of
// range throws NSRangeException in every build.
class CCArray : public Object, public Coding {
public:
    static RefPtr<CCArray> array();
    static RefPtr<CCArray> arrayWithCapacity(uint64_t capacity);
    // A new array holding the objects of `other` (null: none) in order.
    static RefPtr<CCArray> arrayWithArray(const CCArray* other);
    static RefPtr<CCArray> arrayWithNSArray(const std::vector<RefPtr<Object>>& objects);

    // Room for 2 objects.
    CCArray();
    explicit CCArray(uint64_t capacity);

    ccArray* data() const { return data_; }
    uint64_t count() const { return data_->num; }
    uint64_t capacity() const { return data_->max; }

    // First index holding the object, or ccArrayNotFound.
    uint64_t indexOfObject(const Object* object) const;
    bool containsObject(const Object* object) const;
    Object* objectAtIndex(uint64_t index) const;
    // Null when empty.
    Object* lastObject() const;
    // Null when empty; otherwise the object at floor(random() * 2^-31 * count).
    Object* randomObject() const;
    std::vector<RefPtr<Object>> getNSArray() const;
    // True when the receiver is empty, or when `other` holds the receiver's objects at the same
    // indexes (it may hold more after them). A shorter or null `other` is not equal.
    bool isEqualToArray(const CCArray* other) const;

    void addObject(Object* object);
    void addObjectsFromArray(const CCArray* other);
    // Grows once for the whole vector, then appends its objects in order.
    void addObjectsFromNSArray(const std::vector<RefPtr<Object>>& objects);
    void insertObject(Object* object, uint64_t index);

    void removeObject(const Object* object);
    void removeObjectAtIndex(uint64_t index);
    // Removal that moves the last object into the freed slot (order not kept).
    void fastRemoveObject(const Object* object);
    void fastRemoveObjectAtIndex(uint64_t index);
    // Removes one occurrence of each object of `other`.
    void removeObjectsInArray(const CCArray* other);
    // The array must not be empty.
    void removeLastObject();
    void removeAllObjects();

    // Swaps the first slots holding the two objects; nothing when either is absent.
    void exchangeObject(const Object* object1, const Object* object2);
    void exchangeObjectAtIndex(uint64_t index1, uint64_t index2);
    // The new object is retained before the old one is released, so replacing an object with
    // itself keeps it alive.
    void replaceObjectAtIndex(uint64_t index, Object* object);
    void reverseObjects();
    // Shrinks the buffer to the count.
    void reduceMemoryFootprint();

    // Each calls the function once per object in index order, skipping null slots; the function
    // must not change the array.
    void makeObjectsPerformSelector(const std::function<void(Object*)>& selector) const;
    void makeObjectsPerformSelector(const std::function<void(Object*, Object*)>& selector,
                                    Object* object) const;
    // Calls selector(receiver, each) for each object of the array.
    void makeObjectPerformSelectorWithArrayObjects(Object* receiver,
                                                   const std::function<void(Object* receiver, Object* each)>& selector) const;

    // Range-for over the slots, all in one pass. Changing the array while walking it is undefined
    // (a growth moves the buffer), and nothing detects it.
    Object* const* begin() const { return data_->arr; }
    Object* const* end() const { return data_->arr + data_->num; }

    // The comparators take the addresses of two slots.
    void insertionSortUsingCFuncComparator(ccArrayComparator comparator);
    void mergesortLUsingCFuncComparator(ccArrayComparator comparator);
    // Not stable.
    void qsortUsingCFuncComparator(ccArrayComparator comparator);
    // Stable: a pair is out of order when selector(earlier, later) returns exactly 1.
    void insertionSort(const std::function<int64_t(Object*, Object*)>& selector);
    // sortUsingFunction with function(a, b) = selector(a, b).
    void sortUsingSelector(const std::function<int64_t(Object*, Object*)>& selector);
    // Merge sort in which an element of the earlier run goes first only when
    // function(later element, earlier element, context) returns exactly 1: equal elements come
    // out with the later one first.
    void sortUsingFunction(int64_t (*function)(Object*, Object*, void*), void* context);

    // A new CCArray holding the same objects.
    RefPtr<CCArray> copy() const;

    // Keyed coding: the objects go, in order, under the key "nsarray"; every object must adopt
    // Coding. initWithCoder appends the archived objects to this array and answers false, adding
    // nothing, when the archive holds no such list or one of its objects cannot be made.
    bool initWithCoder(KeyedUnarchiver& coder);
    void encodeWithCoder(KeyedArchiver& coder) const override;
    // "<CCArray = 0x...> = ( " then "<description>, " per object, then ")".
    std::string description() const override;

protected:
    ~CCArray() override;

private:
    ccArray* data_;
};
