#include "PadlinkSDK/JSONCore/JPJKArray.h"

#include <algorithm>

RefPtr<JPJKArray> JPJKArray::arrayWithObjects(RefPtr<Object>* objects, size_t count, bool isMutable) {
    for (size_t i = 0; i < count; ++i) {
        CC_REQUIRE(objects[i], "NSInvalidArgumentException", "*** -[JPJKArray arrayWithObjects]: attempt to insert nil");
    }
    Storage elements(std::make_move_iterator(objects), std::make_move_iterator(objects + count));
    return RefPtr<JPJKArray>::adoptNew(new JPJKArray(std::move(elements), isMutable));
}

RefPtr<JPJKArray> JPJKArray::arrayWithObjects(std::vector<RefPtr<Object>> objects, bool isMutable) {
    return arrayWithObjects(objects.data(), objects.size(), isMutable);
}

Object* JPJKArray::objectAtIndex(uint64_t index) const {
    CC_REQUIRE(index < objects_.size(), "NSRangeException", "*** -[JPJKArray objectAtIndex]: index (%lu) beyond bounds (%lu)",
               index, objects_.size());
    return objects_[index].get();
}

void JPJKArray::getObjects(Object** buffer, uint64_t location, uint64_t length) const {
    CC_REQUIRE(buffer || location + length == 0, "NSRangeException",
               "*** -[JPJKArray getObjects]: pointer to objects array is NULL but range length is %lu", location + length);
    CC_REQUIRE(location <= objects_.size() && length <= objects_.size() - location, "NSRangeException",
               "*** -[JPJKArray getObjects]: index (%lu) beyond bounds (%lu)", location + length, objects_.size());
    for (uint64_t i = 0; i < length; ++i) buffer[i] = objects_[location + i].get();
}

size_t JPJKArray::countByEnumerating(JPJKFastEnumerationState* state, Object** buffer, size_t length) const {
    if (state->state == 0) state->mutationsPtr = &mutations_;
    state->itemsPtr = buffer;
    const size_t count = std::min<uint64_t>(length, objects_.size() - std::min<uint64_t>(state->state, objects_.size()));
    for (size_t i = 0; i < count; ++i) buffer[i] = objects_[state->state + i].get();
    state->state += count;
    return count;
}

void JPJKArray::insertObject(RefPtr<Object> object, uint64_t index) {
    requireMutable("insertObject");
    CC_REQUIRE(object, "NSInvalidArgumentException", "*** -[JPJKArray insertObject]: attempt to insert nil");
    CC_REQUIRE(index <= objects_.size(), "NSRangeException", "*** -[JPJKArray insertObject]: index (%lu) beyond bounds (%lu)",
               index, objects_.size() + 1);
    objects_.insert(objects_.begin() + static_cast<ptrdiff_t>(index), std::move(object));
    countMutation();
}

void JPJKArray::removeObjectAtIndex(uint64_t index) {
    requireMutable("removeObjectAtIndex");
    CC_REQUIRE(index < objects_.size(), "NSRangeException",
               "*** -[JPJKArray removeObjectAtIndex]: index (%lu) beyond bounds (%lu)", index, objects_.size());
    // The element is released after the array is consistent again, in case its release reaches it.
    RefPtr<Object> removed = std::move(objects_[index]);
    objects_.erase(objects_.begin() + static_cast<ptrdiff_t>(index));
    countMutation();
}

void JPJKArray::replaceObjectAtIndex(uint64_t index, RefPtr<Object> object) {
    requireMutable("replaceObjectAtIndex");
    CC_REQUIRE(object, "NSInvalidArgumentException", "*** -[JPJKArray replaceObjectAtIndex]: attempt to insert nil");
    CC_REQUIRE(index < objects_.size(), "NSRangeException",
               "*** -[JPJKArray replaceObjectAtIndex]: index (%lu) beyond bounds (%lu)", index, objects_.size());
    objects_[index].swap(object);
    countMutation();
}

RefPtr<JPJKObject> JPJKArray::copy() const {
    if (mutations_ == 0) return JPJKObject::copy();
    return RefPtr<JPJKObject>(new JPJKArray(objects_, false));
}

RefPtr<JPJKArray> JPJKArray::mutableCopy() const { return RefPtr<JPJKArray>(new JPJKArray(objects_, true)); }

bool JPJKArray::isEqualTo(const JPJKObject& other) const {
    const auto& array = static_cast<const JPJKArray&>(other);
    if (objects_.size() != array.objects_.size()) return false;
    for (size_t i = 0; i < objects_.size(); ++i) {
        if (!JPJKObject::isEqual(objects_[i].get(), array.objects_[i].get())) return false;
    }
    return true;
}

void JPJKArray::requireMutable(const char* operation) const {
    CC_REQUIRE(mutations_ != 0, "NSInternalInconsistencyException",
               "*** -[JPJKArray %s]: mutating method sent to immutable object", operation);
}

void JPJKArray::countMutation() { mutations_ = mutations_ == UINT64_MAX ? 1 : mutations_ + 1; }
