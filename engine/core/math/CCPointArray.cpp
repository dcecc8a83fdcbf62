#include "engine/core/math/CCPointArray.h"

#include <algorithm>

#include "platform/foundation/NamedException.h"

namespace {

// An index below `end` is the caller's promise.
void requireIndexBelow(uint64_t index, uint64_t end) {
    CC_REQUIRE(index < end, "NSRangeException", "index %llu beyond bounds [0 .. %llu)",
               static_cast<unsigned long long>(index), static_cast<unsigned long long>(end));
}

}  // namespace

RefPtr<CCPointArray> CCPointArray::arrayWithCapacity(uint64_t capacity) {
    RefPtr<CCPointArray> array = makeRef<CCPointArray>();
    array->initWithCapacity(capacity);
    return array;
}

bool CCPointArray::init() { return initWithCapacity(50); }

bool CCPointArray::initWithCapacity(uint64_t capacity) {
    controlPoints_.clear();
    controlPoints_.reserve(capacity);
    return true;
}

RefPtr<CCPointArray> CCPointArray::copy() const {
    RefPtr<CCPointArray> copy = arrayWithCapacity(10);
    copy->controlPoints_ = controlPoints_;
    return copy;
}

void CCPointArray::addControlPoint(CGPoint point) { controlPoints_.push_back(point); }

void CCPointArray::insertControlPoint(CGPoint point, uint64_t index) {
    requireIndexBelow(index, count() + 1);
    controlPoints_.insert(controlPoints_.begin() + static_cast<int64_t>(index), point);
}

CGPoint CCPointArray::getControlPointAtIndex(int64_t index) const {
    CC_REQUIRE(!controlPoints_.empty(), "NSRangeException", "index %lld of an empty point array",
               static_cast<long long>(index));
    const int64_t last = static_cast<int64_t>(count()) - 1;
    return controlPoints_[static_cast<size_t>(std::clamp<int64_t>(index, 0, last))];
}

void CCPointArray::replaceControlPoint(CGPoint point, uint64_t index) {
    requireIndexBelow(index, count());
    controlPoints_[index] = point;
}

void CCPointArray::removeControlPointAtIndex(uint64_t index) {
    requireIndexBelow(index, count());
    controlPoints_.erase(controlPoints_.begin() + static_cast<int64_t>(index));
}

RefPtr<CCPointArray> CCPointArray::reverse() const {
    RefPtr<CCPointArray> reversed = copy();
    reversed->reverseInline();
    return reversed;
}

void CCPointArray::reverseInline() { std::reverse(controlPoints_.begin(), controlPoints_.end()); }
