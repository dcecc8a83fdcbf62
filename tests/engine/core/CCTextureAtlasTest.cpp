// The texture atlas's quad bookkeeping, without GL: the atlas makes its buffers only when first
// drawn, so inserting, moving, removing and resizing can be checked on the quads alone.

#include "engine/core/CCTextureAtlas.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/foundation/Log.h"

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

TEST(CCTextureAtlasTest, EditsPlaceMoveAndRemoveQuadsAsTold) {
    const ccV3F_C4B_T2F_Quad x = quad('X'), xy[] = {quad('X'), quad('Y')};
    const struct {
        const char* start;
        uint64_t capacity;
        std::function<void(CCTextureAtlas*)> edit;
        const char* expected;
    } edits[] = {
        // Updating past the end counts every slot up to it as used; the skipped ones stay zeroed.
        {"", 10, [&](CCTextureAtlas* a) { a->updateQuad(&x, 5); }, "00000X"},
        {"ABC", 10, [&](CCTextureAtlas* a) { a->insertQuad(&x, 0); a->insertQuad(&x, 4); }, "XABCX"},
        {"ABC", 10, [&](CCTextureAtlas* a) { a->insertQuads(xy, 1, 2); }, "AXYBC"},
        {"ABCDE", 8, [](CCTextureAtlas* a) { a->fillWithEmptyQuadsFromIndex(1, 2); }, "A00DE"},
        {"ABCDE", 8, [](CCTextureAtlas* a) { a->moveQuadsFromIndex(2, 2, 0); }, "CDABE"},
        {"ABCDE", 8, [](CCTextureAtlas* a) { a->moveQuadsFromIndex(0, 2, 3); }, "CDEAB"},
        {"ABCD", 8, [](CCTextureAtlas* a) { a->insertQuadFromIndex(3, 1); }, "ADBC"},
        // Opening a gap of two after A: the tail is copied up, the count is the caller's to raise.
        {"ABCD", 8, [](CCTextureAtlas* a) { a->moveQuadsFromIndex(1, 3); a->increaseTotalQuadsWith(2); }, "ABCBCD"},
        {"ABCDE", 8, [](CCTextureAtlas* a) { a->removeQuadAtIndex(1); a->removeQuadsAtIndex(1, 2); }, "AE"},
        // Shrinking drops the quads beyond; growing keeps them and adds empty slots.
        {"ABCDE", 8,
         [](CCTextureAtlas* a) { a->resizeCapacity(2); a->resizeCapacity(6); a->increaseTotalQuadsWith(4); },
         "AB0000"},
        // An empty atlas is allowed (a label with no text), and grows like any other.
        {"", 0, [&](CCTextureAtlas* a) { a->resizeCapacity(1); a->insertQuad(&x, 0); }, "X"},
        // Replacing the whole array takes exactly capacity quads.
        {"AB", 3, [](CCTextureAtlas* a) { a->setQuads({quad('X'), quad('Y'), quad('Z')}); }, "XY"},
    };
    for (const auto& row : edits) {
        SCOPED_TRACE(row.expected);
        RefPtr<CCTextureAtlas> atlas = atlasWith(row.start, row.capacity);
        ASSERT_NE(atlas, nullptr);
        LogCapture capture;
        row.edit(atlas.get());
        EXPECT_EQ(letters(atlas.get()), row.expected);
        EXPECT_TRUE(capture.lines().empty());
    }
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
        [&] { atlas->moveQuadsFromIndex(2, 2, 0); },      // the run leaves the quads in use
        [&] { atlas->moveQuadsFromIndex(1, kHuge, 0); },
        [&] { atlas->moveQuadsFromIndex(4, 0); },         // starts past the end
        [&] { atlas->moveQuadsFromIndex(0, 2); },         // would end past the capacity
        [&] { atlas->removeQuadAtIndex(3); },
        [&] { atlas->removeQuadsAtIndex(1, kHuge); },
        [&] { atlas->fillWithEmptyQuadsFromIndex(kHuge, 2); },
        [&] { atlas->increaseTotalQuadsWith(2); },
        [&] { atlas->drawNumberOfQuads(2, 3); },          // refused before any GL work
        [&] { atlas->setQuads({quad('Q')}); },            // not exactly the capacity
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
