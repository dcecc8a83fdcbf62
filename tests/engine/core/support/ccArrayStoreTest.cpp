#include "engine/core/support/ccArrayStore.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "platform/foundation/Object.h"

namespace {

// Carries a sort key; at its death logs the key, or -1 when it still stands in `witness_`.
struct Tracked : Object {
    explicit Tracked(int key = 0, std::vector<int>* deaths = nullptr) : key_(key), deaths_(deaths) {}
    ~Tracked() override {
        if (deaths_) deaths_->push_back(witness_ && ccArrayHasObject(witness_, this) ? -1 : key_);
    }
    int key_;
    std::vector<int>* deaths_;
    const ccArray* witness_ = nullptr;
};

std::vector<Object*> slots(const ccArray* arr) { return std::vector<Object*>(arr->arr, arr->arr + arr->num); }

int compareKeys(const void* a, const void* b) {
    const int x = static_cast<const Tracked*>(*static_cast<Object* const*>(a))->key_;
    const int y = static_cast<const Tracked*>(*static_cast<Object* const*>(b))->key_;
    return x > y ? 1 : x < y ? -1 : 0;
}

Object* value(uintptr_t v) { return static_cast<Object*>(reinterpret_cast<void*>(v)); }

TEST(ccArrayStore, GrowsByDoublingRetainsPerSlotAndRemovesByIdentity) {
    RefPtr<Tracked> a = makeRef<Tracked>(), b = makeRef<Tracked>(), c = makeRef<Tracked>();
    ccArray* arr = ccArrayCreate(0);
    for (Tracked* object : {a.get(), b.get(), c.get(), c.get(), a.get()}) ccArrayAppend(arr, object);
    EXPECT_EQ(arr->max, 8u);  // doubled from 1
    ccArrayRemove(arr, c.get());  // the first occurrence, order kept
    ccArrayFastRemoveAt(arr, 0);  // the last moves in
    ccArrayAppendArray(arr, arr);  // appending itself doubles it
    ccArrayShrinkToFit(arr);
    EXPECT_EQ(arr->max, 6u);
    ccArray* minus = ccArrayCreate(1);
    ccArrayAppend(minus, a.get());
    ccArrayRemoveArray(arr, minus);  // one occurrence per object of minus
    EXPECT_EQ(slots(arr), (std::vector<Object*>{b.get(), c.get(), a.get(), b.get(), c.get()}));
    ccArrayFullRemoveArray(arr, minus);  // every occurrence
    EXPECT_EQ(slots(arr), (std::vector<Object*>{b.get(), c.get(), b.get(), c.get()}));
    EXPECT_EQ(c->retainCount(), 3u);
    for (ccArray* each : {arr, minus}) ccArrayDestroy(each);
    for (Tracked* object : {a.get(), b.get(), c.get()}) EXPECT_EQ(object->retainCount(), 1u);
}

TEST(ccArrayStore, ReleasesLastToFirstAndNeverListsADyingObject) {
    std::vector<int> deaths;
    ccArray* arr = ccArrayCreate(4);
    for (int key = 0; key < 7; ++key) {
        auto* object = new Tracked(key, &deaths);  // the array is the only owner
        object->witness_ = arr;
        ccArrayAppend(arr, object);
    }
    ccArrayRemoveAt(arr, 1);
    ccArrayFastRemoveAt(arr, 0);  // slots now 6 2 3 4 5
    ccArrayDestroy(arr);
    EXPECT_EQ(deaths, (std::vector<int>{1, 0, 5, 4, 3, 2, 6}));
}

TEST(ccArrayStore, SortsAreStableAndKeepRetainCounts) {
    // Odd sizes make a short leftover run at the front, the case that bounds the merge buffer.
    for (uint64_t n : {0, 1, 2, 3, 5, 8, 13, 33}) {
        std::vector<RefPtr<Tracked>> objects;
        ccArray* merged = ccArrayCreate(n);
        for (uint64_t i = 0; i < n; ++i) {
            ccArrayAppend(merged, objects.emplace_back(makeRef<Tracked>(static_cast<int>(i * 7 % 4))).get());
        }
        ccArray* inserted = ccArrayCreate(n);
        ccArrayAppendArray(inserted, merged);
        std::vector<Object*> stable = slots(merged);
        std::stable_sort(stable.begin(), stable.end(), [](Object* x, Object* y) { return compareKeys(&x, &y) < 0; });
        ccArrayMergeSort(merged, sizeof(Object*), compareKeys);
        ccArrayInsertionSort(inserted, compareKeys);
        EXPECT_EQ(slots(merged), stable) << "n = " << n;
        EXPECT_EQ(slots(inserted), stable) << "n = " << n;
        for (ccArray* each : {merged, inserted}) ccArrayDestroy(each);
        for (const RefPtr<Tracked>& object : objects) EXPECT_EQ(object->retainCount(), 1u);
    }
}

// Broken preconditions throw in every build, before anything changes.
TEST(ccArrayStore, BadIndexesAndMissingRoomThrowInEveryBuild) {
    RefPtr<Tracked> object = makeRef<Tracked>();
    ccArray* arr = ccArrayCreate(1);
    ccArrayAppendNoGrow(arr, object.get());
    const std::pair<const char*, std::function<void()>> cases[] = {
        {"NSRangeException", [&] { ccArrayRemoveAt(arr, 1); }},
        {"NSRangeException", [&] { ccArrayFastRemoveAt(arr, 1); }},
        {"NSRangeException", [&] { ccArraySwapAt(arr, 0, 1); }},
        {"NSRangeException", [&] { ccValueArrayInsertAt(arr, value(1), 2); }},
        {"NSRangeException", [&] { ccValueArrayRemoveAt(arr, UINT64_MAX); }},
        {"NSInternalInconsistencyException", [&] { ccArrayAppendNoGrow(arr, object.get()); }},
        {"NSInternalInconsistencyException", [&] { ccValueArrayInsertAt(arr, value(1), 0); }},
        {"NSInternalInconsistencyException", [&] { ccArrayMergeSort(arr, sizeof(int), compareKeys); }},
    };
    for (const auto& [name, misuse] : cases) {
        EXPECT_THAT(misuse, testing::Throws<NamedException>(testing::Property(&NamedException::name, name)));
    }
    EXPECT_EQ(object->retainCount(), 2u);
    ccArrayDestroy(arr);
}

}  // namespace
