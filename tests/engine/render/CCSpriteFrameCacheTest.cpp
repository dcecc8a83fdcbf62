// Sprite sheets read into the frame cache, without GL: the four frame layouts at both content
// scales, the sheets it refuses whole, load-once bookkeeping, aliases and the removals.

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
    const auto without = [](Value frame, const char* key) {
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
    Value badAliases = Value::array();
    badAliases.append(7);
    Value twoFrames = sheet(format0(), {});
    Value frames = twoFrames["frames"];
    frames.set("broken", with(format0(), "width", 0));
    twoFrames.set("frames", frames);
    const Value sheets[] = {
        sheet(format1(), dict({{"format", 7}})),
        sheet(format1(), dict({{"format", -1}})),
        dict({{"metadata", dict({{"format", 1}})}}),
        dict({{"frames", "hero"}}),
        sheet(without(format0(), "height"), {}),
        sheet(with(format0(), "width", 0), {}),
        sheet(with(format1(), "frame", "{{2,4},{-30,40}}"), dict({{"format", 1}})),
        sheet(with(format0(), "x", std::nan("")), {}),
        sheet(with(format1(), "offset", "{1e999,0}"), dict({{"format", 1}})),
        sheet(with(format3(), "aliases", badAliases), dict({{"format", 3}})),
        sheet(with(format3(), "aliases", "hero-alias"), dict({{"format", 3}})),
        sheet(with(format2(), "rotated", Value::array()), dict({{"format", 2}})),
        sheet("hero", {}),
        twoFrames,  // one good frame does not save the sheet
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
