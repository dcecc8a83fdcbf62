#include "engine/core/support/CCArray.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "platform/foundation/StringUtils.h"

namespace {

struct Tracked : Object {
    Tracked(int* deaths, int key = 0) : deaths_(deaths), key_(key) {}
    ~Tracked() override { ++*deaths_; }
    int* deaths_;
    int key_;
};

int keyOf(Object* object) {
    return static_cast<Tracked*>(object)->key_;
}

int64_t compareObjects(Object* a, Object* b) {
    return keyOf(a) > keyOf(b) ? 1 : keyOf(a) < keyOf(b) ? -1 : 0;
}

int compareSlots(const void* a, const void* b) {
    return static_cast<int>(compareObjects(*static_cast<Object* const*>(a), *static_cast<Object* const*>(b)));
}

int64_t compareCounting(Object* a, Object* b, void* calls) {
    ++*static_cast<int*>(calls);
    return compareObjects(a, b);
}

std::vector<Object*> contents(const CCArray& array) {
    return std::vector<Object*>(array.begin(), array.end());
}

std::vector<RefPtr<Object>> makeObjects(int* deaths, std::initializer_list<int> keys) {
    std::vector<RefPtr<Object>> objects;
    for (int key : keys) objects.push_back(makeRef<Tracked>(deaths, key));
    return objects;
}

std::vector<Object*> raw(const std::vector<RefPtr<Object>>& objects) {
    std::vector<Object*> pointers;
    for (const RefPtr<Object>& object : objects) pointers.push_back(object.get());
    return pointers;
}

}  // namespace

TEST(CCArray, CopiesAndConversionsShareTheObjectsAndReleaseThemAtTheEnd) {
    int deaths = 0;
    std::vector<RefPtr<Object>> objects = makeObjects(&deaths, {1, 2, 3});
    {
        EXPECT_EQ(CCArray::array()->capacity(), 2u);
        RefPtr<CCArray> array = CCArray::arrayWithNSArray(objects);
        RefPtr<CCArray> copy = array->copy();
        EXPECT_NE(copy, array);
        EXPECT_EQ(contents(*copy), raw(objects));
        EXPECT_EQ(raw(copy->getNSArray()), raw(objects));
        EXPECT_EQ(objects[0]->retainCount(), 3u);

        // addObjectsFromNSArray grows once for the whole vector: 1 -> 8 for six objects.
        RefPtr<CCArray> grown = CCArray::arrayWithCapacity(1);
        grown->addObject(objects[0].get());
        grown->addObjectsFromNSArray(makeObjects(&deaths, {4, 5, 6, 7, 8}));
        EXPECT_EQ(grown->capacity(), 8u);
        EXPECT_EQ(deaths, 0);
    }
    EXPECT_EQ(deaths, 5);
    for (Object* object : raw(objects)) EXPECT_EQ(object->retainCount(), 1u);
}

TEST(CCArray, EmptyArraysAnswerNothingAndRandomPicksMembers) {
    int deaths = 0;
    RefPtr<CCArray> array = CCArray::array();
    EXPECT_EQ(array->lastObject(), nullptr);
    EXPECT_EQ(array->randomObject(), nullptr);

    std::vector<RefPtr<Object>> objects = makeObjects(&deaths, {1, 2, 3});
    array->addObjectsFromNSArray(objects);
    EXPECT_EQ(array->lastObject(), objects[2].get());
    std::set<Object*> drawn;
    for (int i = 0; i < 200; ++i) drawn.insert(array->randomObject());
    EXPECT_EQ(drawn, (std::set<Object*>{objects[0].get(), objects[1].get(), objects[2].get()}));
}

TEST(CCArray, IsEqualToArrayNeverReadsPastTheOtherArray) {
    int deaths = 0;
    std::vector<RefPtr<Object>> objects = makeObjects(&deaths, {1, 2, 3});
    RefPtr<CCArray> empty = CCArray::array();
    RefPtr<CCArray> two = CCArray::arrayWithNSArray({objects[0], objects[1]});
    RefPtr<CCArray> three = CCArray::arrayWithNSArray(objects);

    EXPECT_TRUE(empty->isEqualToArray(three.get()));
    EXPECT_TRUE(empty->isEqualToArray(nullptr));
    EXPECT_TRUE(two->isEqualToArray(three.get()));  // compared over the receiver's count
    EXPECT_FALSE(three->isEqualToArray(two.get()));
    EXPECT_FALSE(two->isEqualToArray(empty.get()));
    EXPECT_FALSE(two->isEqualToArray(CCArray::arrayWithNSArray({objects[1], objects[0]}).get()));
}

TEST(CCArray, ReplacingAnObjectWithItselfKeepsItAlive) {
    int deaths = 0;
    RefPtr<CCArray> array = CCArray::array();
    array->addObject(new Tracked(&deaths, 1));  // the array is the only owner
    array->replaceObjectAtIndex(0, array->objectAtIndex(0));
    EXPECT_EQ(deaths, 0);
    EXPECT_EQ(array->objectAtIndex(0)->retainCount(), 1u);

    array->replaceObjectAtIndex(0, new Tracked(&deaths, 2));
    EXPECT_EQ(deaths, 1);
    EXPECT_EQ(keyOf(array->objectAtIndex(0)), 2);
}

TEST(CCArray, ReorderingAndRemovalKeepRetainCountsBalanced) {
    int deaths = 0;
    std::vector<RefPtr<Object>> objects = makeObjects(&deaths, {0, 1, 2, 3, 4});
    std::vector<Object*> o = raw(objects);
    RefPtr<CCArray> array = CCArray::arrayWithNSArray(objects);

    array->reverseObjects();
    EXPECT_EQ(contents(*array), (std::vector<Object*>{o[4], o[3], o[2], o[1], o[0]}));
    array->exchangeObject(o[4], o[0]);
    array->exchangeObject(o[4], nullptr);  // absent: nothing
    EXPECT_EQ(contents(*array), (std::vector<Object*>{o[0], o[3], o[2], o[1], o[4]}));

    array->removeLastObject();
    array->fastRemoveObjectAtIndex(0);
    EXPECT_EQ(contents(*array), (std::vector<Object*>{o[1], o[3], o[2]}));
    array->addObjectsFromArray(array.get());
    array->removeObjectsInArray(CCArray::arrayWithNSArray({objects[3], objects[1]}).get());
    EXPECT_EQ(contents(*array), (std::vector<Object*>{o[2], o[1], o[3], o[2]}));
    EXPECT_EQ(o[2]->retainCount(), 3u);
    array->removeAllObjects();
    for (Object* object : o) EXPECT_EQ(object->retainCount(), 1u);
}

TEST(CCArray, PerformCallsReachEveryObjectInOrderAndSkipNullSlots) {
    int deaths = 0;
    std::vector<RefPtr<Object>> objects = makeObjects(&deaths, {1, 2});
    RefPtr<Tracked> other = makeRef<Tracked>(&deaths, 7);
    RefPtr<CCArray> array = CCArray::arrayWithNSArray({objects[0], nullptr, objects[1]});

    std::vector<int> seen;
    array->makeObjectsPerformSelector([&](Object* o) { seen.push_back(keyOf(o)); });
    array->makeObjectsPerformSelector([&](Object* o, Object* with) { seen.push_back(keyOf(o) * 10 + keyOf(with)); },
                                      other.get());
    array->makeObjectPerformSelectorWithArrayObjects(other.get(), [&](Object* receiver, Object* each) {
        seen.push_back(each ? keyOf(receiver) * 100 + keyOf(each) : -1);
    });
    array->makeObjectPerformSelectorWithArrayObjects(nullptr, [&](Object*, Object*) { ADD_FAILURE(); });
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 17, 27, 701, -1, 702}));
}

TEST(CCArray, SortsFollowTheirTieRules) {
    int deaths = 0;
    std::vector<RefPtr<Object>> objects = makeObjects(&deaths, {3, 1, 2, 1, 3, 2, 1});
    std::vector<Object*> o = raw(objects);
    const std::vector<Object*> stable{o[1], o[3], o[6], o[2], o[5], o[0], o[4]};
    auto sorted = [&](auto sort) {
        RefPtr<CCArray> array = CCArray::arrayWithNSArray(objects);
        sort(*array);
        return contents(*array);
    };
    EXPECT_EQ(sorted([](CCArray& a) { a.insertionSortUsingCFuncComparator(compareSlots); }), stable);
    EXPECT_EQ(sorted([](CCArray& a) { a.mergesortLUsingCFuncComparator(compareSlots); }), stable);
    EXPECT_EQ(sorted([](CCArray& a) { a.insertionSort(compareObjects); }), stable);
    for (auto sort : {+[](CCArray& a) { a.qsortUsingCFuncComparator(compareSlots); },
                      +[](CCArray& a) { a.sortUsingSelector(compareObjects); }}) {
        std::vector<Object*> result = sorted(sort);
        auto byKey = [](Object* x, Object* y) { return keyOf(x) < keyOf(y); };
        EXPECT_TRUE(std::is_sorted(result.begin(), result.end(), byKey));
    }

    // sortUsingFunction puts the later element first on equality: all-equal keys come out reversed.
    std::vector<RefPtr<Object>> ties = makeObjects(&deaths, {5, 5, 5});
    RefPtr<CCArray> tied = CCArray::arrayWithNSArray(ties);
    int calls = 0;
    tied->sortUsingFunction(compareCounting, &calls);
    EXPECT_EQ(contents(*tied), (std::vector<Object*>{ties[2].get(), ties[1].get(), ties[0].get()}));
    EXPECT_GT(calls, 0);
    for (Object* object : o) EXPECT_EQ(object->retainCount(), 1u);
}

TEST(CCArray, DescriptionListsEveryObject) {
    int deaths = 0;
    RefPtr<CCArray> array = CCArray::array();
    EXPECT_EQ(array->description(), stringWithFormat("<CCArray = %p> = ( )", static_cast<void*>(array.get())));

    RefPtr<Tracked> object = makeRef<Tracked>(&deaths);
    array->addObject(object.get());
    array->addObject(nullptr);
    const std::string text = array->description();
    const std::string tail = "> = ( " + object->description() + ", (null), )";
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
}
