// The texture atlas's quad bookkeeping, without GL: the atlas makes its buffers only when first
// drawn, so inserting, moving, removing and resizing can be checked on the quads alone.

#include "engine/core/CCTextureAtlas.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/foundation/Log.h"
#include "platform/foundation/StringUtils.h"

namespace {

// A quad recognisable by a letter stored in its top-left x.
ccV3F_C4B_T2F_Quad quad(char letter) {
    ccV3F_C4B_T2F_Quad q{};
    q.tl.vertices.x = letter;
    q.br.colors = {1, 2, 3, 4};
    return q;
}

// The letters of the quads in use; '0' for an all-zero slot.
std::string letters(CCTextureAtlas* atlas) {
    std::string text;
    const ccV3F_C4B_T2F_Quad* quads = atlas->quads();
    for (uint64_t i = 0; i < atlas->totalQuads(); ++i) {
        text += quads[i].tl.vertices.x == 0 ? '0' : static_cast<char>(quads[i].tl.vertices.x);
    }
    return text;
}

RefPtr<CCTextureAtlas> atlasWith(const std::string& text, uint64_t capacity) {
    RefPtr<CCTextureAtlas> atlas = CCTextureAtlas::textureAtlasWithTexture(nullptr, capacity);
    for (char letter : text) {
        const ccV3F_C4B_T2F_Quad q = quad(letter);
        atlas->updateQuad(&q, atlas->totalQuads());
    }
    return atlas;
}

TEST(CCTextureAtlasTest, UpdatesAndInsertsPlaceQuadsAsTold) {
    RefPtr<CCTextureAtlas> atlas = CCTextureAtlas::textureAtlasWithTexture(nullptr, 10);
    ASSERT_NE(atlas, nullptr);

    // Updating past the end counts every slot up to it as used; the skipped ones stay zeroed.
    const ccV3F_C4B_T2F_Quad x = quad('X');
    atlas->updateQuad(&x, 5);
    EXPECT_EQ(atlas->totalQuads(), 6u);
    EXPECT_EQ(letters(atlas.get()), "00000X");
    EXPECT_EQ(atlas->quads()[5].br.colors, (ccColor4B{1, 2, 3, 4}));

    atlas = atlasWith("ABC", 10);
    atlas->insertQuad(&x, 0);
    EXPECT_EQ(letters(atlas.get()), "XABC");
    atlas->insertQuad(&x, 4);  // at the end
    EXPECT_EQ(letters(atlas.get()), "XABCX");

    atlas = atlasWith("ABC", 10);
    const ccV3F_C4B_T2F_Quad xy[] = {quad('X'), quad('Y')};
    atlas->insertQuads(xy, 1, 2);
    EXPECT_EQ(letters(atlas.get()), "AXYBC");

    // Filling with empty quads and counting them in.
    atlas->fillWithEmptyQuadsFromIndex(1, 2);
    EXPECT_EQ(letters(atlas.get()), "A00BC");
    const ccV3F_C4B_T2F_Quad z = quad('Z');
    atlas->quads()[5] = z;
    atlas->increaseTotalQuadsWith(1);
    EXPECT_EQ(letters(atlas.get()), "A00BCZ");

    EXPECT_EQ(atlas->description(),
              stringWithFormat("<CCTextureAtlas = %p | totalQuads =  6>", static_cast<void*>(atlas.get())));
}

TEST(CCTextureAtlasTest, MovesKeepEveryQuadOnce) {
    RefPtr<CCTextureAtlas> atlas = atlasWith("ABCDE", 8);
    atlas->moveQuadsFromIndex(2, 2, 0);
    EXPECT_EQ(letters(atlas.get()), "CDABE");

    atlas = atlasWith("ABCDE", 8);
    atlas->moveQuadsFromIndex(0, 2, 3);
    EXPECT_EQ(letters(atlas.get()), "CDEAB");

    atlas->moveQuadsFromIndex(1, 3, 1);  // onto itself
    EXPECT_EQ(letters(atlas.get()), "CDEAB");

    atlas = atlasWith("ABCD", 8);
    atlas->insertQuadFromIndex(3, 1);
    EXPECT_EQ(letters(atlas.get()), "ADBC");
    atlas->insertQuadFromIndex(1, 3);
    EXPECT_EQ(letters(atlas.get()), "ABCD");
    atlas->insertQuadFromIndex(0, 0);
    EXPECT_EQ(letters(atlas.get()), "ABCD");

    // Opening a gap of two after A: the tail is copied up, the count is the caller's to raise.
    atlas->moveQuadsFromIndex(1, 3);
    EXPECT_EQ(atlas->totalQuads(), 4u);
    atlas->increaseTotalQuadsWith(2);
    EXPECT_EQ(letters(atlas.get()), "ABCBCD");
    // And closing it again.
    atlas->moveQuadsFromIndex(3, 1);
    atlas->removeQuadsAtIndex(4, 2);
    EXPECT_EQ(letters(atlas.get()), "ABCD");
}

TEST(CCTextureAtlasTest, RemovalsAndResizesShrinkTheQuadsInUse) {
    RefPtr<CCTextureAtlas> atlas = atlasWith("ABCDE", 8);
    atlas->removeQuadAtIndex(1);
    EXPECT_EQ(letters(atlas.get()), "ACDE");
    atlas->removeQuadsAtIndex(1, 2);
    EXPECT_EQ(letters(atlas.get()), "AE");
    atlas->removeQuadAtIndex(1);
    EXPECT_EQ(letters(atlas.get()), "A");
    atlas->removeAllQuads();
    EXPECT_EQ(atlas->totalQuads(), 0u);

    atlas = atlasWith("ABCDE", 8);
    EXPECT_TRUE(atlas->resizeCapacity(2));
    EXPECT_EQ(letters(atlas.get()), "AB");

    // Growing keeps the quads and adds empty slots.
    EXPECT_TRUE(atlas->resizeCapacity(6));
    EXPECT_EQ(atlas->capacity(), 6u);
    atlas->increaseTotalQuadsWith(4);
    EXPECT_EQ(letters(atlas.get()), "AB0000");
    EXPECT_TRUE(atlas->resizeCapacity(6));

    // An empty atlas is allowed (a label with no text), and grows like any other.
    atlas = atlasWith("", 0);
    ASSERT_NE(atlas, nullptr);
    EXPECT_TRUE(atlas->resizeCapacity(1));
    const ccV3F_C4B_T2F_Quad a = quad('A');
    atlas->insertQuad(&a, 0);
    EXPECT_EQ(letters(atlas.get()), "A");

    // Replacing the whole array takes exactly capacity quads.
    atlas = atlasWith("AB", 3);
    atlas->setQuads({quad('X'), quad('Y'), quad('Z')});
    EXPECT_EQ(letters(atlas.get()), "XY");
    LogCapture capture;
    atlas->setQuads({quad('Q')});
    EXPECT_TRUE(capture.contains("setQuads"));
    EXPECT_EQ(letters(atlas.get()), "XY");
}

TEST(CCTextureAtlasTest, CapacitiesBeyondSixteenBitIndicesAreRefused) {
    LogCapture capture;
    EXPECT_NE(CCTextureAtlas::textureAtlasWithTexture(nullptr, CCTextureAtlas::kCCTextureAtlasMaxCapacity), nullptr);
    EXPECT_TRUE(capture.lines().empty());

    EXPECT_EQ(CCTextureAtlas::textureAtlasWithTexture(nullptr, 16385), nullptr);
    ASSERT_EQ(capture.lines().size(), 1u);
    EXPECT_TRUE(capture.contains("16385"));

    RefPtr<CCTextureAtlas> atlas = atlasWith("ABC", 4);
    capture.clear();
    EXPECT_FALSE(atlas->resizeCapacity(16385));
    EXPECT_EQ(capture.lines().size(), 1u);
    EXPECT_EQ(atlas->capacity(), 4u);  // unchanged
    EXPECT_EQ(letters(atlas.get()), "ABC");
    EXPECT_TRUE(atlas->resizeCapacity(16384));
}

TEST(CCTextureAtlasTest, EditsOutsideTheQuadsAreRefused) {
    RefPtr<CCTextureAtlas> atlas = atlasWith("ABC", 4);
    const ccV3F_C4B_T2F_Quad x = quad('X');
    const ccV3F_C4B_T2F_Quad xy[] = {quad('X'), quad('Y')};
    constexpr uint64_t kHuge = UINT64_MAX;

    // Each refused call logs one line and leaves the atlas as it was.
    const std::vector<std::function<void()>> refused = {
        [&] { atlas->updateQuad(&x, 4); },                // at the capacity
        [&] { atlas->insertQuad(&x, 4); },                // beyond the quads in use
        [&] { atlas->insertQuads(xy, 1, 2); },            // no room for two
        [&] { atlas->insertQuads(xy, 0, kHuge); },        // an amount that wraps
        [&] { atlas->insertQuadFromIndex(3, 0); },
        [&] { atlas->insertQuadFromIndex(0, 3); },
        [&] { atlas->moveQuadsFromIndex(2, 2, 0); },      // the run leaves the quads in use
        [&] { atlas->moveQuadsFromIndex(0, 2, 2); },
        [&] { atlas->moveQuadsFromIndex(1, kHuge, 0); },
        [&] { atlas->moveQuadsFromIndex(4, 0); },         // starts past the end
        [&] { atlas->moveQuadsFromIndex(0, 2); },         // would end past the capacity
        [&] { atlas->removeQuadAtIndex(3); },
        [&] { atlas->removeQuadsAtIndex(2, 2); },
        [&] { atlas->removeQuadsAtIndex(1, kHuge); },
        [&] { atlas->fillWithEmptyQuadsFromIndex(3, 2); },
        [&] { atlas->fillWithEmptyQuadsFromIndex(kHuge, 2); },
        [&] { atlas->increaseTotalQuadsWith(2); },
        [&] { atlas->drawNumberOfQuads(2, 3); },          // refused before any GL work
    };
    for (size_t i = 0; i < refused.size(); ++i) {
        LogCapture capture;
        refused[i]();
        EXPECT_EQ(capture.lines().size(), 1u) << "call " << i;
        EXPECT_EQ(letters(atlas.get()), "ABC") << "call " << i;
        EXPECT_EQ(atlas->quads()[3].tl.vertices.x, 0) << "call " << i;
    }

    // The edges of the allowed ranges still work.
    LogCapture capture;
    atlas->updateQuad(&x, 3);
    EXPECT_EQ(letters(atlas.get()), "ABCX");
    atlas->removeQuadsAtIndex(1, 3);
    atlas->insertQuads(xy, 1, 2);
    EXPECT_EQ(letters(atlas.get()), "AXY");
    atlas->moveQuadsFromIndex(3, 3);
    atlas->moveQuadsFromIndex(0, 3, 0);
    EXPECT_TRUE(capture.lines().empty());
}

}  // namespace
