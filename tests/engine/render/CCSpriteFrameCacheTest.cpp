// Sprite sheets read into the frame cache, without GL: the four frame layouts at both content
// scales, the sheets it refuses whole, the frames it refuses alone, load-once bookkeeping, aliases
// and the removals.

#include "engine/render/CCSpriteFrameCache.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>

#include "engine/core/CCDirector.h"
#include "engine/core/CCTexture2D.h"
#include "engine/core/support/CCFileUtils.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NamedException.h"
#include "platform/foundation/Value.h"
#include "support/HeadlessDirectorTest.h"
#include "support/TestSupport.h"

namespace {

Value dict(std::initializer_list<std::pair<const char*, Value>> entries) {
    Value value = Value::dictionary();
    for (const auto& [key, item] : entries) value.set(key, item);
    return value;
}

// A sheet of one frame "hero" with the given layout and metadata (none when `metadata` is none).
Value sheet(Value frame, Value metadata) {
    Value root = dict({{"frames", dict({{"hero", std::move(frame)}})}});
    if (!metadata.isNone()) root.set("metadata", std::move(metadata));
    return root;
}

// Every layout describes the same frame: pixel rect (2, 4, 30, 40), offset (3, -1), untrimmed
// 64 x 48; formats 2 and 3 store it rotated.
Value format0() {
    return dict({{"x", 2}, {"y", "4"}, {"width", 30.0}, {"height", 40}, {"offsetX", 3}, {"offsetY", "-1"},
                 {"originalWidth", -64}, {"originalHeight", 48}});
}
Value format1() { return dict({{"frame", "{{2,4},{30,40}}"}, {"offset", "{3,-1}"}, {"sourceSize", "{64, 48}"}}); }
Value format2() {
    Value frame = format1();
    frame.set("rotated", "YES");
    return frame;
}
Value format3() {
    Value aliases = Value::array();
    aliases.append("hero-alias");
    return dict({{"textureRect", "{{2,4},{100,100}}"}, {"spriteSize", "{30,40}"}, {"spriteOffset", "{3,-1}"},
                 {"spriteSourceSize", "{64,48}"}, {"textureRotated", true}, {"aliases", aliases}});
}

class CCSpriteFrameCacheTest : public HeadlessDirectorTest {
protected:
    void SetUp() override {
        HeadlessDirectorTest::SetUp();
        CCFileUtils::sharedFileUtils()->purgeCachedEntries();
    }
    void TearDown() override {
        CCSpriteFrameCache::purgeSharedSpriteFrameCache();
        HeadlessDirectorTest::TearDown();
    }

    CCSpriteFrameCache* cache() { return CCSpriteFrameCache::sharedSpriteFrameCache(); }
    void write(const std::string& name, const Value& root, bool binary = false) {
        folder_.write(name, binary ? root.toBinary() : root.toXML());
    }

    TemporaryFolder folder_;
    ScopedResourceFolder useFolder_{folder_.path()};
};

TEST_F(CCSpriteFrameCacheTest, EveryFormatGivesTheSameFrameAtBothScales) {
    struct Case {
        const char* file;
        Value root;
        bool binary;
        bool rotated;
        const char* texture;
    };
    const Case cases[] = {
        {"f0.plist", sheet(format0(), {}), false, false, "f0.png"},
        {"f1.plist", sheet(format1(), dict({{"format", 1}})), false, false, "f1.png"},
        {"f2.plist", sheet(format2(), dict({{"format", "2"}})), true, true, "f2.png"},
        {"art/f3.plist", sheet(format3(), dict({{"format", 3}, {"textureFileName", "sub/x.png"}})), false, true,
         "art/sub/x.png"},
    };
    for (double scale : {1.0, 2.0}) {
        CCDirector::sharedDirector()->setContentScaleFactor(scale);
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.file) + " at scale " + std::to_string(scale));
            write(c.file, c.root, c.binary);
            cache()->addSpriteFramesWithFile(c.file);
            const RefPtr<CCSpriteFrame> frame = cache()->spriteFrameByName("hero");
            ASSERT_NE(frame, nullptr);
            EXPECT_EQ(frame->rectInPixels(), CGRectMake(2, 4, 30, 40));
            EXPECT_EQ(frame->rect(), CGRectMake(2 / scale, 4 / scale, 30 / scale, 40 / scale));
            EXPECT_EQ(frame->offsetInPixels(), CGPointMake(3, -1));
            EXPECT_EQ(frame->offset(), CGPointMake(3 / scale, -1 / scale));
            EXPECT_EQ(frame->originalSizeInPixels(), CGSizeMake(64, 48));
            EXPECT_EQ(frame->rotated(), c.rotated);
            EXPECT_EQ(frame->textureFilename(), c.texture);
            cache()->removeSpriteFrames();
        }
    }
    // Format 3's alias finds the frame, and removing by the alias takes both away.
    write("f3.plist", sheet(format3(), dict({{"format", 3}})));
    cache()->addSpriteFramesWithFile("f3.plist");
    EXPECT_EQ(cache()->spriteFrameByName("hero-alias"), cache()->spriteFrameByName("hero"));
    cache()->removeSpriteFrameByName("hero-alias");
    EXPECT_EQ(cache()->spriteFrameByName("hero"), nullptr);
    EXPECT_EQ(cache()->spriteFrameByName("hero-alias"), nullptr);
}

TEST_F(CCSpriteFrameCacheTest, BrokenSheetsAddNothingAndLogOnce) {
    const Value sheets[] = {
        sheet(format1(), dict({{"format", 7}})),
        sheet(format1(), dict({{"format", -1}})),
        dict({{"metadata", dict({{"format", 1}})}}),
        dict({{"frames", "hero"}}),
    };
    for (size_t i = 0; i < std::size(sheets); ++i) {
        SCOPED_TRACE(i);
        LogCapture log;
        cache()->addSpriteFramesWithDictionary(sheets[i], "sheet.png");
        EXPECT_EQ(cache()->spriteFrameByName("hero"), nullptr);
        ASSERT_EQ(log.lines().size(), 1u);
        EXPECT_TRUE(log.contains("Lumora: CCSpriteFrameCache"));
    }

    // A file that is not a property list is refused too, and is still counted as loaded.
    folder_.write("junk.plist", "not a list");
    LogCapture log;
    cache()->addSpriteFramesWithFile("junk.plist");
    write("junk.plist", sheet(format0(), {}));
    cache()->addSpriteFramesWithFile("junk.plist");
    EXPECT_EQ(cache()->spriteFrameByName("hero"), nullptr);
    EXPECT_EQ(log.lines().size(), 1u);
}

TEST_F(CCSpriteFrameCacheTest, EachFrameStandsAloneMissingNumbersReadZeroUnsafeOnesAreRefused) {
    const auto without = [](const Value& frame, const char* key) {
        Value copy = Value::dictionary();
        for (const auto& [k, v] : frame.entries()) {
            if (k != key) copy.set(k, v);
        }
        return copy;
    };
    const auto with = [](Value frame, const char* key, Value value) {
        frame.set(key, std::move(value));
        return frame;
    };
    const auto strings = [](std::initializer_list<Value> items) {
        Value array = Value::array();
        for (const Value& item : items) array.append(item);
        return array;
    };
    const Value layouts[] = {format0(), format1(), format2(), format3()};
    const std::string refused = "frame \"hero\" of sheet mixed.plist refused: ";
    const std::string skipped = "frame \"hero\" of sheet mixed.plist: aliases that are not strings are skipped";
    struct Case {
        int format;
        Value hero;  // next to the format's good frame "good"
        bool kept;
        CGRect rect;         // pixels, when kept
        std::string logged;  // the one line the frame gives, or empty for none
        const char* alias;   // a name that finds "hero", or null
    };
    const Case cases[] = {
        {0, without(format0(), "height"), true, CGRectMake(2, 4, 30, 0), "", nullptr},
        {0, with(format0(), "width", 0), true, CGRectMake(2, 4, 0, 40), "", nullptr},
        {1, Value::dictionary(), true, CGRectZero, "", nullptr},
        {1, with(format1(), "frame", "{{2,4},{-30}}"), true, CGRectMake(2, 4, -30, 0), "", nullptr},
        {2, with(format2(), "rotated", Value::array()), true, CGRectMake(2, 4, 30, 40), "", nullptr},
        {3, with(format3(), "aliases", strings({7, "hero-alias"})), true, CGRectMake(2, 4, 30, 40), skipped,
         "hero-alias"},
        {3, with(format3(), "aliases", "hero-alias"), true, CGRectMake(2, 4, 30, 40), skipped, nullptr},
        {0, with(format0(), "x", std::nan("")), false, {}, refused + "a number that is not finite", nullptr},
        {1, with(format1(), "offset", "{1e999,0}"), false, {}, refused + "a number that is not finite", nullptr},
        {0, with(format0(), "width", 3e38), false, {}, refused + "a length beyond 2147483648 pixels", nullptr},
        {3, with(format3(), "spriteSourceSize", "{1e300,1}"), false, {}, refused + "a length beyond 2147483648 pixels",
         nullptr},
        {1, Value("hero"), false, {}, refused + "not a dictionary", nullptr},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(i);
        Value frames = dict({{"good", layouts[c.format]}});
        frames.set("hero", c.hero);
        write("mixed.plist", dict({{"frames", frames}, {"metadata", dict({{"format", c.format}})}}));
        LogCapture log;
        cache()->addSpriteFramesWithFile("mixed.plist");
        const RefPtr<CCSpriteFrame> good = cache()->spriteFrameByName("good");
        ASSERT_NE(good, nullptr);
        EXPECT_EQ(good->rectInPixels(), CGRectMake(2, 4, 30, 40));
        const RefPtr<CCSpriteFrame> hero = cache()->spriteFrameByName("hero");
        ASSERT_EQ(hero != nullptr, c.kept);
        if (hero) {
            EXPECT_EQ(hero->rectInPixels(), c.rect);
        }
        if (c.alias) {
            EXPECT_EQ(cache()->spriteFrameByName(c.alias), hero);
        }
        if (c.logged.empty()) {
            EXPECT_TRUE(log.lines().empty());
        } else {
            ASSERT_EQ(log.lines().size(), 1u);
            EXPECT_TRUE(log.contains(c.logged)) << log.lines()[0];
        }
        cache()->removeSpriteFramesFromFile("mixed.plist");
        cache()->removeSpriteFrameByName("hero-alias");
    }
}

TEST_F(CCSpriteFrameCacheTest, LoadsOnceAndForgetsWhatItRemoves) {
    Value root = sheet(format0(), {});
    Value frames = root["frames"];
    // The widest original width: its absolute value does not fit 32 bits.
    Value extreme = format0();
    extreme.set("originalWidth", INT32_MIN);
    frames.set("extreme", extreme);
    root.set("frames", frames);
    write("s.plist", root);
    cache()->addSpriteFramesWithFile("s.plist");
    ASSERT_NE(cache()->spriteFrameByName("extreme"), nullptr);
    EXPECT_EQ(cache()->spriteFrameByName("extreme")->originalSizeInPixels().width, 2147483648.0);

    // Loaded once: a frame removed by hand stays away until the file is removed and loaded again.
    cache()->addSpriteFrame(CCSpriteFrame::frameWithTextureFilename("other.png", CGRectMake(0, 0, 1, 1)), "hero");
    cache()->addSpriteFramesWithFile("s.plist");
    EXPECT_EQ(cache()->spriteFrameByName("hero")->textureFilename(), "other.png");
    cache()->removeSpriteFramesFromFile("s.plist");
    EXPECT_EQ(cache()->spriteFrameByName("hero"), nullptr);
    cache()->addSpriteFramesWithFile("s.plist");
    EXPECT_EQ(cache()->spriteFrameByName("hero")->textureFilename(), "s.png");

    // Unused frames go; a frame held elsewhere stays, and the sheet may be loaded again.
    const RefPtr<CCSpriteFrame> held = cache()->spriteFrameByName("hero");
    cache()->removeUnusedSpriteFrames();
    EXPECT_EQ(cache()->spriteFrameByName("extreme"), nullptr);
    EXPECT_EQ(cache()->spriteFrameByName("hero"), held);
    cache()->addSpriteFramesWithFile("s.plist");
    EXPECT_NE(cache()->spriteFrameByName("extreme"), nullptr);

    // Frames holding a texture go with it, identity compared.
    const auto texture = makeRef<CCTexture2D>();
    cache()->addSpriteFramesWithDictionary(sheet(format1(), dict({{"format", 1}})), texture);
    cache()->addSpriteFrame(CCSpriteFrame::frameWithTexture(makeRef<CCTexture2D>(), CGRectMake(0, 0, 1, 1)), "kept");
    cache()->removeSpriteFramesFromTexture(texture.get());
    EXPECT_EQ(cache()->spriteFrameByName("hero"), nullptr);
    EXPECT_NE(cache()->spriteFrameByName("kept"), nullptr);
    EXPECT_THROW(cache()->addSpriteFrame(nullptr, "none"), NamedException);
}

}  // namespace
