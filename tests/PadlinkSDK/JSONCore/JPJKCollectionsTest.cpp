#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/foundation/NamedException.h"
#include "tests/PadlinkSDK/JSONCore/JSONTestSupport.h"

namespace {
std::string pairs(int count) {
    std::string text = "{";
    for (int i = 0; i < count; ++i) text += (i ? ",\"k" : "\"k") + std::to_string(i) + "\":" + std::to_string(i);
    return text + "}";
}

// Throws the named exception, or fails the test.
template <typename Call>
void expectNamed(const char* name, Call&& call) {
    try {
        call();
        ADD_FAILURE() << "no exception, wanted " << name;
    } catch (const NamedException& exception) {
        EXPECT_EQ(exception.name(), name) << exception.reason();
    }
}
}  // namespace

TEST(JPJKDictionary, CapacitiesFollowTheTableAndGrow) {
    for (const auto& [count, capacity] : {std::pair{0, 0u}, {1, 3u}, {3, 3u}, {4, 7u}, {100, 191u}}) {
        const auto root = decode(pairs(count));
        const auto* dictionary = static_cast<const JPJKDictionary*>(root.get());
        EXPECT_EQ(dictionary->capacity(), capacity) << count;
        EXPECT_EQ(dictionary->count(), static_cast<uint64_t>(count));
        for (int i = 0; i < count; ++i) {
            EXPECT_TRUE(JPJKObject::isEqual(dictionary->objectForKey(static_cast<JPJKObject*>(str("k" + std::to_string(i)).get())),
                                            num(i).get()));
        }
        EXPECT_FALSE(dictionary->objectForKey(static_cast<JPJKObject*>(str("absent").get())));
    }
    const auto empty = dict({}, true);
    empty->setObject(num(1), JPJKString::stringWithUTF8String("a"));
    EXPECT_EQ(empty->capacity(), 3u);
    EXPECT_THROW(JPJKDictionary::capacityForCount(356000000), std::length_error);
    EXPECT_EQ(JPJKDictionary::capacityForCount(355500000), 472907251u);
}

TEST(JPJKDictionary, DecodedDictionariesWithTheSameKeysKeepTheirOwnObjects) {
    // Dictionaries of one key sequence share their keys' layout. Other orders, repeated keys,
    // sequences meeting in one layout slot, mutable parses and keys pushed out of the decoder's
    // cache while their dictionary is read must each still find their own objects.
    std::string text = R"([{"a":1,"b":2},{"a":3,"b":4},{"b":5,"a":6},{"a":7,"a":8,"b":9},{"a":10,"a":11,"b":12})";
    for (int i = 0; i < 300; ++i) text += ",{\"x" + std::to_string(i) + "\":" + std::to_string(i) + ",\"y" + std::to_string(i) + "\":0}";
    text += ",{";
    for (int i = 0; i < 3000; ++i) text += (i ? ",\"" : "\"") + std::to_string(i) + "\":" + std::to_string(i);
    text += "}]";
    const auto decoder = JPJSONDecoder::decoder();
    for (const bool isMutable : {false, true, false}) {
        const auto root = refCast<JPJKArray>(isMutable ? decoder->mutableObjectWithUTF8String(text.data(), text.size())
                                                       : decoder->objectWithUTF8String(text.data(), text.size()));
        ASSERT_TRUE(root);
        const auto at = [&](uint64_t i) { return static_cast<JPJKDictionary*>(root->objectAtIndex(i)); };
        const auto has = [&](uint64_t i, const std::string& key, int64_t value) {
            return JPJKObject::isEqual(at(i)->objectForKey(static_cast<JPJKObject*>(str(key).get())), num(value).get());
        };
        if (isMutable) at(0)->removeObjectForKey(static_cast<JPJKObject*>(str("a").get()));
        EXPECT_EQ(at(0)->count(), isMutable ? 1u : 2u);
        EXPECT_TRUE(has(0, "b", 2) && has(1, "a", 3) && has(1, "b", 4) && has(2, "a", 6) && has(2, "b", 5));
        EXPECT_TRUE(at(3)->count() == 2 && at(4)->count() == 2 && has(3, "a", 8) && has(4, "a", 11) && has(4, "b", 12));
        for (int i = 0; i < 300; ++i) EXPECT_TRUE(has(5 + i, "x" + std::to_string(i), i)) << i;
        for (int i = 0; i < 3000; ++i) EXPECT_TRUE(has(305, std::to_string(i), i)) << i;
    }
}

TEST(JPJKDictionary, RemovalInsideAWrappingCollisionClusterKeepsTheOthersFindable) {
    // Five keys with the last slot of a 7-slot table as their home: the cluster wraps to the front.
    std::vector<RefPtr<JPJKObject>> keys;
    for (int i = 0; keys.size() < 5; ++i) {
        auto key = JPJKString::stringWithUTF8String("key" + std::to_string(i));
        if (key->hash() % 7 == 6) keys.push_back(key);
    }
    for (size_t removed = 0; removed < keys.size(); ++removed) {
        const auto dictionary = dict({}, true);
        for (size_t i = 0; i < keys.size(); ++i) dictionary->setObject(num(static_cast<int64_t>(i)), keys[i]);
        ASSERT_EQ(dictionary->capacity(), 7u);
        dictionary->removeObjectForKey(keys[removed].get());
        dictionary->removeObjectForKey(keys[removed].get());  // absent now: nothing changes
        EXPECT_EQ(dictionary->count(), keys.size() - 1);
        for (size_t i = 0; i < keys.size(); ++i) {
            Object* found = dictionary->objectForKey(keys[i].get());
            EXPECT_TRUE(i == removed ? !found : JPJKObject::isEqual(found, num(static_cast<int64_t>(i)).get())) << removed << i;
        }
    }
}

TEST(JPJKDictionary, ASecondSetKeepsOneEntryWithTheLaterKeyAndObject) {
    const auto dictionary = dict({}, true);
    const auto first = JPJKString::stringWithUTF8String("same");
    const auto later = JPJKString::stringWithUTF8String("same");
    dictionary->setObject(num(1), first);
    dictionary->setObject(num(2), later);
    JPJKObject* key;
    Object* object;
    ASSERT_EQ(dictionary->count(), 1u);
    dictionary->getObjects(&object, &key);
    EXPECT_EQ(key, later.get());
    EXPECT_TRUE(JPJKObject::isEqual(object, num(2).get()));
}

TEST(JPJKCollections, ImmutableOnesRefuseMutationAndCopyToThemselves) {
    const auto array = arr({num(1)});
    const auto dictionary = dict({{"a", num(1)}});
    const auto key = JPJKString::stringWithUTF8String("a");
    expectNamed("NSInternalInconsistencyException", [&] { array->insertObject(num(2), 0); });
    expectNamed("NSInternalInconsistencyException", [&] { array->removeObjectAtIndex(0); });
    expectNamed("NSInternalInconsistencyException", [&] { array->replaceObjectAtIndex(0, num(2)); });
    expectNamed("NSInternalInconsistencyException", [&] { dictionary->setObject(num(2), key); });
    expectNamed("NSInternalInconsistencyException", [&] { dictionary->removeObjectForKey(key.get()); });
    EXPECT_EQ(array->copy().get(), array.get());
    EXPECT_EQ(dictionary->copy().get(), dictionary.get());
    // A mutable collection copies to a new immutable one; its mutable copy changes alone.
    const auto mutableArray = array->mutableCopy();
    mutableArray->insertObject(num(0), 0);
    const auto frozen = refCast<JPJKArray>(mutableArray->copy());
    ASSERT_TRUE(frozen && frozen.get() != mutableArray.get());
    expectNamed("NSInternalInconsistencyException", [&] { frozen->removeObjectAtIndex(0); });
    EXPECT_EQ(array->count(), 1u);
    EXPECT_TRUE(JPJKObject::isEqual(frozen.get(), mutableArray.get()));
    const auto mutableDictionary = dictionary->mutableCopy();
    mutableDictionary->removeObjectForKey(key.get());
    EXPECT_EQ(dictionary->count(), 1u);
    expectNamed("NSInternalInconsistencyException", [&] { refCast<JPJKDictionary>(mutableDictionary->copy())->setObject(num(1), key); });
}

TEST(JPJKCollections, BadIndexesNullsAndMutationDuringEnumerationRaise) {
    const auto array = refCast<JPJKArray>(JPJSONDecoder::decoder()->mutableObjectWithUTF8String("[1,2,3]", 7));
    expectNamed("NSRangeException", [&] { array->objectAtIndex(3); });
    expectNamed("NSRangeException", [&] { array->insertObject(num(0), 4); });
    expectNamed("NSRangeException", [&] { array->removeObjectAtIndex(3); });
    expectNamed("NSInvalidArgumentException", [&] { array->insertObject(nullptr, 0); });
    expectNamed("NSInvalidArgumentException", [&] { dict({}, true)->setObject(nullptr, JPJKString::emptyString()); });
    expectNamed("NSGenericException", [&] {
        JPJKEnumerate(*array, [&](Object*) {
            array->insertObject(num(9), 0);
            return true;
        });
    });
    array->insertObject(num(4), 4);  // after the 9 the walk inserted
    array->removeObjectAtIndex(0);
    Object* elements[4];
    array->getObjects(elements, 0, 4);
    EXPECT_TRUE(JPJKObject::isEqual(elements[0], num(1).get()) && JPJKObject::isEqual(elements[3], num(4).get()));
    std::vector<Object*> walked;
    JPJKEnumerate(*array, [&](Object* element) { walked.push_back(element); return true; });
    EXPECT_EQ(walked, std::vector<Object*>(elements, elements + 4));
}
