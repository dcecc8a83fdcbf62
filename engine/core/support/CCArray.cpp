#include "engine/core/support/CCArray.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/foundation/StringUtils.h"

namespace {
[[maybe_unused]] const bool codingRegistered = [] {
    KeyedUnarchiver::registerClass("CCArray", [](KeyedUnarchiver& coder) -> RefPtr<Object> {
        auto array = CCArray::array();
        if (!array->initWithCoder(coder)) return nullptr;
        return array;
    });
    return true;
}();
}  // namespace

RefPtr<CCArray> CCArray::array() {
    return makeRef<CCArray>();
}

RefPtr<CCArray> CCArray::arrayWithCapacity(uint64_t capacity) {
    return makeRef<CCArray>(capacity);
}

RefPtr<CCArray> CCArray::arrayWithArray(const CCArray* other) {
    RefPtr<CCArray> array = makeRef<CCArray>(other ? other->count() : 0);
    array->addObjectsFromArray(other);
    return array;
}

RefPtr<CCArray> CCArray::arrayWithNSArray(const std::vector<RefPtr<Object>>& objects) {
    RefPtr<CCArray> array = makeRef<CCArray>(objects.size());
    array->addObjectsFromNSArray(objects);
    return array;
}

CCArray::CCArray() : CCArray(2) {}

CCArray::CCArray(uint64_t capacity) : data_(ccArrayCreate(capacity)) {}

CCArray::~CCArray() {
    ccArrayDestroy(data_);
}

uint64_t CCArray::indexOfObject(const Object* object) const {
    return ccArrayIndexOf(data_, object);
}

bool CCArray::containsObject(const Object* object) const {
    return ccArrayHasObject(data_, object);
}

Object* CCArray::objectAtIndex(uint64_t index) const {
    ccArrayRequireIndex(data_, index);
    return data_->arr[index];
}

Object* CCArray::lastObject() const {
    return data_->num > 0 ? data_->arr[data_->num - 1] : nullptr;
}

Object* CCArray::randomObject() const {
    if (data_->num == 0) return nullptr;
    const double r = static_cast<double>(random()) * 0x1p-31;  // random() < 2^31, so r < 1
    const auto index = static_cast<uint64_t>(std::floor(r * static_cast<double>(data_->num)));
    // The product can round up to count for counts beyond 2^22.
    return data_->arr[std::min(index, data_->num - 1)];
}

std::vector<RefPtr<Object>> CCArray::getNSArray() const {
    return std::vector<RefPtr<Object>>(begin(), end());
}

bool CCArray::isEqualToArray(const CCArray* other) const {
    if (data_->num == 0) return true;
    if (!other || other->count() < data_->num) return false;
    for (uint64_t i = 0; i < data_->num; ++i) {
        if (data_->arr[i] != other->data_->arr[i]) return false;
    }
    return true;
}

void CCArray::addObject(Object* object) {
    ccArrayAppend(data_, object);
}

void CCArray::addObjectsFromArray(const CCArray* other) {
    if (other) ccArrayAppendArray(data_, other->data_);
}

void CCArray::addObjectsFromNSArray(const std::vector<RefPtr<Object>>& objects) {
    ccArrayEnsureRoomFor(data_, objects.size());
    for (const RefPtr<Object>& object : objects) ccArrayAppendNoGrow(data_, object.get());
}

void CCArray::insertObject(Object* object, uint64_t index) {
    ccArrayInsertAt(data_, object, index);
}

void CCArray::removeObject(const Object* object) {
    ccArrayRemove(data_, object);
}

void CCArray::removeObjectAtIndex(uint64_t index) {
    ccArrayRemoveAt(data_, index);
}

void CCArray::fastRemoveObject(const Object* object) {
    ccArrayFastRemove(data_, object);
}

void CCArray::fastRemoveObjectAtIndex(uint64_t index) {
    ccArrayFastRemoveAt(data_, index);
}

void CCArray::removeObjectsInArray(const CCArray* other) {
    if (other) ccArrayRemoveArray(data_, other->data_);
}

void CCArray::removeLastObject() {
    CC_REQUIRE(data_->num > 0, "NSRangeException", "removeLastObject on an empty array");
    ccArrayRemoveAt(data_, data_->num - 1);
}

void CCArray::removeAllObjects() {
    ccArrayRemoveAll(data_);
}

void CCArray::exchangeObject(const Object* object1, const Object* object2) {
    const uint64_t index1 = ccArrayIndexOf(data_, object1);
    if (index1 == ccArrayNotFound) return;
    const uint64_t index2 = ccArrayIndexOf(data_, object2);
    if (index2 == ccArrayNotFound) return;
    ccArraySwapAt(data_, index1, index2);
}

void CCArray::exchangeObjectAtIndex(uint64_t index1, uint64_t index2) {
    ccArraySwapAt(data_, index1, index2);
}

void CCArray::replaceObjectAtIndex(uint64_t index, Object* object) {
    ccArrayRequireIndex(data_, index);
    ccArrayInsertAt(data_, object, index);
    ccArrayRemoveAt(data_, index + 1);
}

void CCArray::reverseObjects() {
    const uint64_t count = data_->num;
    for (uint64_t i = 0; i < count / 2; ++i) ccArraySwapAt(data_, i, count - 1 - i);
}

void CCArray::reduceMemoryFootprint() {
    ccArrayShrinkToFit(data_);
}

void CCArray::makeObjectsPerformSelector(const std::function<void(Object*)>& selector) const {
    ccArrayMakeObjectsPerformSelector(data_, selector);
}

void CCArray::makeObjectsPerformSelector(const std::function<void(Object*, Object*)>& selector,
                                         Object* object) const {
    ccArrayMakeObjectsPerformSelectorWithObject(data_, selector, object);
}

void CCArray::makeObjectPerformSelectorWithArrayObjects(
    Object* receiver, const std::function<void(Object*, Object*)>& selector) const {
    ccArrayMakeObjectPerformSelectorWithEach(data_, selector, receiver);
}

void CCArray::insertionSortUsingCFuncComparator(ccArrayComparator comparator) {
    ccArrayInsertionSort(data_, comparator);
}

void CCArray::mergesortLUsingCFuncComparator(ccArrayComparator comparator) {
    ccArrayMergeSort(data_, sizeof(Object*), comparator);
}

void CCArray::qsortUsingCFuncComparator(ccArrayComparator comparator) {
    std::qsort(data_->arr, data_->num, sizeof(Object*), comparator);
}

void CCArray::insertionSort(const std::function<int64_t(Object*, Object*)>& selector) {
    ccArrayInsertionSortBy(data_, [&selector](Object* earlier, Object* later) {
        return selector(earlier, later) == 1;
    });
}

void CCArray::sortUsingSelector(const std::function<int64_t(Object*, Object*)>& selector) {
    auto function = [](Object* a, Object* b, void* context) -> int64_t {
        return (*static_cast<const std::function<int64_t(Object*, Object*)>*>(context))(a, b);
    };
    sortUsingFunction(function, const_cast<std::function<int64_t(Object*, Object*)>*>(&selector));
}

void CCArray::sortUsingFunction(int64_t (*function)(Object*, Object*, void*), void* context) {
    // Objects only move between slots and the merge buffer, so no object can die mid-sort and
    // no retains are needed.
    ccArrayMergeSortBy(data_, [function, context](Object* left, Object* right) {
        return function(right, left, context) == 1;
    });
}

RefPtr<CCArray> CCArray::copy() const {
    return arrayWithArray(this);
}

std::string CCArray::description() const {
    std::string text = stringWithFormat("<%s = %p> = ( ", className(*this).c_str(), static_cast<const void*>(this));
    for (Object* object : *this) {
        text += object ? object->description() : "(null)";
        text += ", ";
    }
    return text + ")";
}

bool CCArray::initWithCoder(KeyedUnarchiver& coder) {
    const std::vector<RefPtr<Object>> objects = coder.decodeObjects("nsarray");
    if (coder.failed()) return false;
    addObjectsFromNSArray(objects);
    return true;
}

void CCArray::encodeWithCoder(KeyedArchiver& coder) const {
    coder.encodeObjects("nsarray", getNSArray());
}
