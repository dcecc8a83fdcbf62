#include "engine/core/support/ccArray.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/foundation/Object.h"

namespace {

// Counts its deaths and carries a sort key. When `listedAtDeath_` is set, a death while the
// object still stands in `witness_` is counted there.
struct Tracked : Object {
    Tracked(int* deaths, int key = 0) : deaths_(deaths), key_(key) {}
    ~Tracked() override {
        ++*deaths_;
        if (deathOrder_) deathOrder_->push_back(key_);
        if (listedAtDeath_ && ccArrayHasObject(witness_, this)) ++*listedAtDeath_;
    }
    int* deaths_;
    int key_;
    std::vector<int>* deathOrder_ = nullptr;
    const ccArray* witness_ = nullptr;
    int* listedAtDeath_ = nullptr;
};

std::vector<Object*> slots(const ccArray* arr) {
    return std::vector<Object*>(arr->arr, arr->arr + arr->num);
}

int compareKeys(const void* a, const void* b) {
    const int x = static_cast<const Tracked*>(*static_cast<Object* const*>(a))->key_;
    const int y = static_cast<const Tracked*>(*static_cast<Object* const*>(b))->key_;
    return x > y ? 1 : x < y ? -1 : 0;
}

Object* value(uintptr_t v) {
    return static_cast<Object*>(reinterpret_cast<void*>(v));
}

}  // namespace

TEST(ccArray, CapacityDoublesFromOneAndShrinksToFit) {
    int deaths = 0;
    RefPtr<Tracked> a = makeRef<Tracked>(&deaths);
    ccArray* arr = ccArrayCreate(0);
    EXPECT_EQ(arr->max, 1u);
    std::vector<uint64_t> maxima;
    for (int i = 0; i < 5; ++i) {
        ccArrayAppend(arr, a.get());
        maxima.push_back(arr->max);
    }
    EXPECT_EQ(maxima, (std::vector<uint64_t>{1, 2, 4, 4, 8}));
    ccArrayEnsureRoomFor(arr, 12);
    EXPECT_EQ(arr->max, 32u);
    ccArrayShrinkToFit(arr);
    EXPECT_EQ(arr->max, 5u);
    ccArrayRemoveAll(arr);
    EXPECT_EQ(arr->max, 5u);
    ccArrayShrinkToFit(arr);
    EXPECT_EQ(arr->max, 1u);
    ccArrayDestroy(arr);

    ccArray* empty = ccArrayCreate(8);
    EXPECT_EQ(std::vector<Object*>(empty->arr, empty->arr + 8), std::vector<Object*>(8, nullptr));
    ccArrayShrinkToFit(empty);
    EXPECT_EQ(empty->max, 1u);
    ccArrayDestroy(empty);
    ccArrayDestroy(nullptr);
    EXPECT_EQ(a->retainCount(), 1u);
}

TEST(ccArray, RetainsOncePerSlotAndRemovesByIdentity) {
    int deaths = 0;
    RefPtr<Tracked> a = makeRef<Tracked>(&deaths), b = makeRef<Tracked>(&deaths), c = makeRef<Tracked>(&deaths);
    RefPtr<Tracked> twin = makeRef<Tracked>(&deaths);
    ccArray* arr = ccArrayCreate(3);
    for (Object* object : {a.get(), b.get(), c.get()}) ccArrayAppendNoGrow(arr, object);
    ccArrayRemoveAt(arr, 0);
    EXPECT_EQ(slots(arr), (std::vector<Object*>{b.get(), c.get()}));
    ccArrayInsertAt(arr, a.get(), 0);
    ccArrayFastRemoveAt(arr, 0);
    EXPECT_EQ(slots(arr), (std::vector<Object*>{c.get(), b.get()}));

    // A twice-stored object is retained twice and removed one slot at a time.
    ccArrayAppend(arr, c.get());
    EXPECT_EQ(c->retainCount(), 3u);
    EXPECT_EQ(ccArrayIndexOf(arr, twin.get()), ccArrayNotFound);
    ccArrayRemove(arr, c.get());
    EXPECT_EQ(slots(arr), (std::vector<Object*>{b.get(), c.get()}));
    EXPECT_EQ(c->retainCount(), 2u);
    ccArrayFastRemove(arr, twin.get());
    EXPECT_EQ(arr->num, 2u);

    // Appending an array to itself doubles it.
    ccArrayAppendArray(arr, arr);
    EXPECT_EQ(slots(arr), (std::vector<Object*>{b.get(), c.get(), b.get(), c.get()}));
    ccArrayDestroy(arr);
    for (Tracked* object : {a.get(), b.get(), c.get()}) EXPECT_EQ(object->retainCount(), 1u);
}

TEST(ccArray, FullRemoveDropsEveryOccurrenceButRemoveArrayOnlyOne) {
    int deaths = 0;
    RefPtr<Tracked> a = makeRef<Tracked>(&deaths), b = makeRef<Tracked>(&deaths), c = makeRef<Tracked>(&deaths);
    ccArray* minus = ccArrayCreate(1);
    ccArrayAppend(minus, a.get());
    ccArray* full = ccArrayCreate(4);
    ccArray* once = ccArrayCreate(4);
    for (ccArray* arr : {full, once}) {
        for (Object* object : {a.get(), b.get(), a.get(), c.get()}) ccArrayAppend(arr, object);
    }
    ccArrayFullRemoveArray(full, minus);
    EXPECT_EQ(slots(full), (std::vector<Object*>{b.get(), c.get()}));
    ccArrayRemoveArray(once, minus);
    EXPECT_EQ(slots(once), (std::vector<Object*>{b.get(), a.get(), c.get()}));
    EXPECT_EQ(a->retainCount(), 3u);
    for (ccArray* arr : {full, once, minus}) ccArrayDestroy(arr);
    for (Tracked* object : {a.get(), b.get(), c.get()}) EXPECT_EQ(object->retainCount(), 1u);
}

TEST(ccArray, ReleasesLastToFirstAndNeverListsADyingObject) {
    int deaths = 0;
    int listed = 0;
    std::vector<int> order;
    ccArray* arr = ccArrayCreate(4);
    auto addOwned = [&](int key) {
        auto* object = new Tracked(&deaths, key);  // the array is the only owner
        object->deathOrder_ = &order;
        object->witness_ = arr;
        object->listedAtDeath_ = &listed;
        ccArrayAppend(arr, object);
    };
    for (int key = 0; key < 4; ++key) addOwned(key);
    ccArrayRemoveAt(arr, 1);
    ccArrayFastRemoveAt(arr, 0);
    ccArrayRemoveAll(arr);  // slots were [3, 2]
    EXPECT_EQ(order, (std::vector<int>{1, 0, 2, 3}));

    order.clear();
    for (int key = 0; key < 3; ++key) addOwned(key);
    ccArrayDestroy(arr);
    EXPECT_EQ(order, (std::vector<int>{2, 1, 0}));
    EXPECT_EQ(deaths, 7);
    EXPECT_EQ(listed, 0);
}

TEST(ccArray, SortsAreStableAndKeepRetainCounts) {
    int deaths = 0;
    // Odd sizes make a short leftover run at the front, the case that bounds the merge buffer.
    for (uint64_t n : {0, 1, 2, 3, 5, 8, 13, 33}) {
        std::vector<RefPtr<Tracked>> objects;
        ccArray* merged = ccArrayCreate(n);
        ccArray* inserted = ccArrayCreate(n);
        for (uint64_t i = 0; i < n; ++i) {
            objects.push_back(makeRef<Tracked>(&deaths, static_cast<int>((i * 7) % 4)));
            ccArrayAppend(merged, objects.back().get());
            ccArrayAppend(inserted, objects.back().get());
        }
        std::vector<Object*> expected = slots(merged);
        std::stable_sort(expected.begin(), expected.end(), [](Object* x, Object* y) {
            return static_cast<Tracked*>(x)->key_ < static_cast<Tracked*>(y)->key_;
        });
        ccArrayMergeSort(merged, sizeof(Object*), compareKeys);
        ccArrayInsertionSort(inserted, compareKeys);
        EXPECT_EQ(slots(merged), expected) << "n = " << n;
        EXPECT_EQ(slots(inserted), expected) << "n = " << n;
        ccArrayDestroy(merged);
        ccArrayDestroy(inserted);
        for (const RefPtr<Tracked>& object : objects) EXPECT_EQ(object->retainCount(), 1u);
    }
}

TEST(ccValueArray, MatchesPlainValuesAndNeverRetains) {
    int deaths = 0;
    RefPtr<Tracked> object = makeRef<Tracked>(&deaths);
    ccArray* arr = ccValueArrayCreate(4);
    for (uintptr_t v : {10, 20, 30}) ccValueArrayAppend(arr, value(v));
    ccValueArrayAppend(arr, object.get());
    EXPECT_EQ(object->retainCount(), 1u);
    EXPECT_EQ(ccValueArrayIndexOf(arr, value(20)), 1u);
    EXPECT_TRUE(ccValueArrayContains(arr, object.get()));
    EXPECT_EQ(ccValueArrayIndexOf(arr, value(40)), ccArrayNotFound);

    ccValueArrayRemove(arr, object.get());
    ccValueArrayInsertAt(arr, value(15), 1);
    EXPECT_EQ(slots(arr), (std::vector<Object*>{value(10), value(15), value(20), value(30)}));
    ccValueArrayFastRemoveAt(arr, 0);
    EXPECT_EQ(slots(arr), (std::vector<Object*>{value(30), value(15), value(20)}));

    ccValueArrayAppendArray(arr, arr);
    ccArray* minus = ccValueArrayCreate(1);
    ccValueArrayAppendNoGrow(minus, value(15));
    ccValueArrayRemoveArray(arr, minus);
    EXPECT_EQ(slots(arr), (std::vector<Object*>{value(30), value(20), value(30), value(15), value(20)}));
    ccValueArrayFullRemoveArray(arr, minus);
    EXPECT_EQ(slots(arr), (std::vector<Object*>{value(30), value(20), value(30), value(20)}));
    for (ccArray* a : {arr, minus}) ccValueArrayDestroy(a);
    EXPECT_EQ(object->retainCount(), 1u);
}

#ifndef NDEBUG
TEST(ccArrayDeathTest, OutOfContractIndexesAndWritesAssert) {
    ccArray* arr = ccArrayCreate(1);
    ccArrayAppendNoGrow(arr, nullptr);
    EXPECT_DEATH(ccArrayAppendNoGrow(arr, nullptr), "no room");
    EXPECT_DEATH(ccArrayRemoveAt(arr, 1), "out of range");
    EXPECT_DEATH(ccArrayInsertAt(arr, nullptr, 2), "out of range");
    EXPECT_DEATH(ccArraySwapAt(arr, 0, 1), "out of range");
    EXPECT_DEATH(ccValueArrayInsertAt(arr, nullptr, 0), "no room");
    ccArrayDestroy(arr);
}
#endif
