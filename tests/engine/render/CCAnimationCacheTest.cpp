// Animation lists read into the animation cache, without GL: formats 1 and 2 as a table, and the
// lists and animations it refuses with one log line.

#include "engine/render/CCAnimationCache.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <vector>

#include "engine/core/support/CCFileUtils.h"
#include "engine/render/CCSpriteFrameCache.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Value.h"
#include "support/HeadlessDirectorTest.h"
#include "support/TestSupport.h"

namespace {

Value dict(std::initializer_list<std::pair<const char*, Value>> entries) {
    Value value = Value::dictionary();
    for (const auto& [key, item] : entries) value.set(key, item);
    return value;
}

Value list(std::initializer_list<Value> items) {
    Value value = Value::array();
    for (const Value& item : items) value.append(item);
    return value;
}

// A format-2 frame entry.
Value entry(const char* name, Value delayUnits, Value notification = {}) {
    Value frame = dict({{"spriteframe", name}, {"delayUnits", std::move(delayUnits)}});
    if (!notification.isNone()) frame.set("notification", std::move(notification));
    return frame;
}

class CCAnimationCacheTest : public HeadlessDirectorTest {
protected:
    void SetUp() override {
        HeadlessDirectorTest::SetUp();
        CCFileUtils::sharedFileUtils()->purgeCachedEntries();
        // "a" is known from the start; "b" only from the sheet a format-2 list names.
        frames()->addSpriteFrame(CCSpriteFrame::frameWithTexture(nullptr, CGRectMake(0, 0, 8, 8)), "a");
        const Value b = dict({{"frame", "{{8,0},{8,8}}"}, {"offset", "{0,0}"}, {"sourceSize", "{8,8}"}});
        folder_.write("sheet.plist", dict({{"frames", dict({{"b", b}})}, {"metadata", dict({{"format", 1}})}}).toXML());
    }

    CCAnimationCache* cache() { return CCAnimationCache::sharedAnimationCache(); }
    CCSpriteFrameCache* frames() { return CCSpriteFrameCache::sharedSpriteFrameCache(); }

    TemporaryFolder folder_;
    ScopedResourceFolder useFolder_{folder_.path()};
};

TEST_F(CCAnimationCacheTest, FormatsOneAndTwoGiveTheirAnimations) {
    const Value v2 = dict({{"format", 2}, {"spritesheets", list({"sheet.plist"})}});
    const Value note = dict({{"sound", "step"}});
    const auto format2 = [&](Value run) { return dict({{"properties", v2}, {"animations", dict({{"run", run}})}}); };
    const struct {
        const char* name;
        Value root;
        std::vector<const char*> frameNames;  // of animation "run"
        float totalDelayUnits, delayPerUnit;
        uint64_t loops;
        bool restore;
    } rows[] = {
        {"format 1 without properties",
         dict({{"animations", dict({{"run", dict({{"frames", list({"a", "nope", "a"})}, {"delay", "0.25"}})}})}}),
         {"a", "a"}, 2, 0.25f, 1, false},
        {"format 2 loading its sheet",
         format2(dict({{"frames", list({entry("b", 2, note), entry("nope", 5), entry("a", 0.5)})},
                       {"delayPerUnit", 0.1},
                       {"loops", "3"},
                       {"restoreOriginalFrame", true}})),
         {"b", "a"}, 2.5f, 0.1f, 3, true},
        {"format 2, unknown frames only", format2(dict({{"frames", list({entry("nope", 1)})}})), {}, 0, 0, 1, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        folder_.write("anims.plist", row.root.toBinary());
        cache()->addAnimationsWithFile("anims.plist");
        const RefPtr<CCAnimation> run = cache()->animationByName("run");
        ASSERT_NE(run, nullptr);
        ASSERT_EQ(run->frames().size(), row.frameNames.size());
        for (size_t i = 0; i < row.frameNames.size(); ++i) {
            const CCAnimationFrame& frame = *run->frames()[i];
            EXPECT_EQ(frame.spriteFrame(), frames()->spriteFrameByName(row.frameNames[i]).get());
            const bool hasNote = frame.userInfo() && *frame.userInfo() == note;
            EXPECT_EQ(hasNote, row.frameNames[i][0] == 'b');
        }
        EXPECT_EQ(std::tuple(run->totalDelayUnits(), run->delayPerUnit(), run->loops(), run->restoreOriginalFrame()),
                  std::tuple(row.totalDelayUnits, row.delayPerUnit, row.loops, row.restore));
        cache()->removeAnimationByName("run");
    }
}

TEST_F(CCAnimationCacheTest, ListsReadByAnyCacheFillTheSharedOne) {
    const Value run = dict({{"frames", list({"a"})}, {"delay", 0.5}});
    const RefPtr<CCAnimationCache> own = makeRef<CCAnimationCache>();
    own->addAnimationsWithDictionary(dict({{"animations", dict({{"run", run}})}}));
    own->addAnimationsWithDictionary(
        dict({{"properties", dict({{"format", 2}})}, {"animations", dict({{"walk", dict({{"frames", list({})}})}})}}));
    EXPECT_EQ(own->animationByName("run"), nullptr);
    EXPECT_EQ(own->animationByName("walk"), nullptr);
    ASSERT_NE(cache()->animationByName("run"), nullptr);
    EXPECT_EQ(cache()->animationByName("run")->delayPerUnit(), 0.5f);
    EXPECT_NE(cache()->animationByName("walk"), nullptr);
}

TEST_F(CCAnimationCacheTest, BrokenListsAndAnimationsAreRefusedWithOneLogLine) {
    const auto format2 = [](Value animation) {
        return dict({{"properties", dict({{"format", 2}})}, {"animations", dict({{"run", std::move(animation)}})}});
    };
    const Value one = list({entry("a", 1)});
    const Value roots[] = {
        dict({{"animations", "run"}}),
        Value(list({})),
        dict({{"properties", dict({{"format", 3}})}, {"animations", dict({{"run", dict({{"frames", one}})}})}}),
        dict({{"animations", dict({{"run", dict({{"frames", list({"a"})}, {"delay", -1}})}})}}),
        dict({{"animations", dict({{"run", dict({{"frames", "a"}})}})}}),
        dict({{"animations", dict({{"run", dict({{"frames", list({"nope", 3})}, {"delay", 1}})}})}}),
        format2(dict({{"frames", one}, {"loops", -2}})),
        format2(dict({{"frames", one}, {"delayPerUnit", std::nan("")}})),
        format2(dict({{"frames", list({entry("a", 1), entry("a", HUGE_VAL)})}})),
        format2(dict({{"frames", Value::dictionary()}})),
    };
    for (size_t i = 0; i < std::size(roots); ++i) {
        SCOPED_TRACE(i);
        LogCapture log;
        cache()->addAnimationsWithDictionary(roots[i]);
        EXPECT_EQ(cache()->animationByName("run"), nullptr);
        EXPECT_EQ(log.lines().size(), 1u);
    }
    LogCapture log;
    folder_.write("broken.plist", "<plist><dict><key>animations</key>");
    cache()->addAnimationsWithFile("broken.plist");
    cache()->addAnimationsWithFile("missing.plist");
    EXPECT_EQ(log.lines().size(), 2u);
}

}  // namespace
