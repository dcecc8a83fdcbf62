#include "engine/core/support/CCArray.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

struct Keyed : Object {
    explicit Keyed(int key = 0) : key_(key) {}
    int key_;
};

int keyOf(Object* object) { return static_cast<Keyed*>(object)->key_; }

int64_t compareObjects(Object* a, Object* b) { return keyOf(a) > keyOf(b) ? 1 : keyOf(a) < keyOf(b) ? -1 : 0; }

std::vector<Object*> contents(const CCArray& array) { return std::vector<Object*>(array.begin(), array.end()); }

std::vector<RefPtr<Object>> makeObjects(std::initializer_list<int> keys) {
    std::vector<RefPtr<Object>> objects;
    for (int key : keys) objects.push_back(makeRef<Keyed>(key));
    return objects;
}

TEST(CCArray, ReorderingFindsObjectsByIdentity) {
    std::vector<RefPtr<Object>> objects = makeObjects({0, 1, 2, 3, 4});
    const std::vector<Object*> o = contents(*CCArray::arrayWithNSArray(objects));
    RefPtr<CCArray> array = CCArray::arrayWithNSArray(objects);
    array->reverseObjects();
    array->exchangeObject(o[4], o[0]);
    array->exchangeObject(o[4], nullptr);  // absent: nothing
    EXPECT_EQ(contents(*array), (std::vector<Object*>{o[0], o[3], o[2], o[1], o[4]}));
}

TEST(CCArray, IsEqualToArrayNeverReadsPastTheOtherArray) {
    std::vector<RefPtr<Object>> objects = makeObjects({1, 2, 3});
    RefPtr<CCArray> two = CCArray::arrayWithNSArray({objects[0], objects[1]});
    RefPtr<CCArray> three = CCArray::arrayWithNSArray(objects);
    EXPECT_TRUE(CCArray::array()->isEqualToArray(nullptr));
    EXPECT_TRUE(two->isEqualToArray(three.get()));  // compared over the receiver's count
    EXPECT_FALSE(three->isEqualToArray(two.get()));
    EXPECT_FALSE(two->isEqualToArray(CCArray::array().get()));
    EXPECT_FALSE(two->isEqualToArray(CCArray::arrayWithNSArray({objects[1], objects[0]}).get()));
}

TEST(CCArray, ReplacingAnObjectWithItselfKeepsItAlive) {
    RefPtr<CCArray> array = CCArray::array();
    array->addObject(new Keyed);  // the array is the only owner
    array->replaceObjectAtIndex(0, array->objectAtIndex(0));
    EXPECT_EQ(array->objectAtIndex(0)->retainCount(), 1u);
}

TEST(CCArray, SortsFollowTheirTieRules) {
    const std::vector<RefPtr<Object>> objects = makeObjects({3, 1, 2, 1, 3, 2, 1});
    const std::vector<Object*> o = contents(*CCArray::arrayWithNSArray(objects));
    const std::vector<Object*> stable{o[1], o[3], o[6], o[2], o[5], o[0], o[4]};
    RefPtr<CCArray> array = CCArray::arrayWithNSArray(objects);
    array->insertionSort(compareObjects);
    EXPECT_EQ(contents(*array), stable);
    // sortUsingFunction puts the later element first on equality: equal keys come out reversed.
    array = CCArray::arrayWithNSArray(objects);
    array->sortUsingFunction([](Object* x, Object* y, void*) { return compareObjects(x, y); }, nullptr);
    EXPECT_EQ(contents(*array), (std::vector<Object*>{o[6], o[3], o[1], o[5], o[2], o[4], o[0]}));
}

// Out-of-range indexes throw in every build and leave the array as it was.
TEST(CCArray, IndexesOutOfRangeThrowNSRangeException) {
    RefPtr<Keyed> object = makeRef<Keyed>();
    RefPtr<CCArray> empty = CCArray::array();
    RefPtr<CCArray> one = CCArray::array();
    one->addObject(object.get());
    const std::function<void()> misuses[] = {
        [&] { empty->removeLastObject(); },
        [&] { one->objectAtIndex(1); },
        [&] { one->removeObjectAtIndex(1); },
        [&] { one->fastRemoveObjectAtIndex(UINT64_MAX); },
        [&] { one->insertObject(object.get(), 2); },
        [&] { one->exchangeObjectAtIndex(0, 1); },
        [&] { one->replaceObjectAtIndex(1, object.get()); },
    };
    for (const std::function<void()>& misuse : misuses) {
        EXPECT_THAT(misuse, testing::Throws<NamedException>(
                                testing::Property(&NamedException::name, "NSRangeException")));
    }
    EXPECT_EQ(contents(*one), std::vector<Object*>{object.get()});
    EXPECT_EQ(object->retainCount(), 2u);
}

TEST(CCArray, KeyedArchiveRoundTripKeepsNestedArraysInOrder) {
    auto inner = CCArray::array();
    auto outer = CCArray::array();
    outer->addObject(inner.get());
    outer->addObject(CCArray::array().get());
    KeyedArchiver archiver;
    archiver.encodeObject("root", outer.get());
    KeyedUnarchiver coder(archiver.archivedData());
    auto copy = refCast<CCArray>(coder.decodeObject("root"));
    ASSERT_TRUE(copy);
    ASSERT_EQ(copy->count(), 2u);
    auto* first = dynamic_cast<CCArray*>(copy->objectAtIndex(0));
    ASSERT_TRUE(first);
    EXPECT_NE(first, inner.get());
    EXPECT_EQ(first->retainCount(), 1u);

    // An element that is not codable is the caller's mistake; an archive without the list fails.
    outer->addObject(makeRef<Keyed>(1).get());
    EXPECT_THROW(archiver.encodeObject("bad", outer.get()), NamedException);
    KeyedUnarchiver empty(KeyedArchiver().archivedData());
    EXPECT_FALSE(CCArray::array()->initWithCoder(empty));
}

}  // namespace
