#pragma once

// Drawing tests of sprites: the real director, and a 64 x 64 picture of four solid 32 x 32
// cells (red top-left, green top-right, blue bottom-left, yellow bottom-right), sampled without
// filtering, so that a wrong texture coordinate shows as a wrong colour.

#include <vector>

#include "engine/core/CCTexture2D.h"
#include "engine/core/CCTextureCache.h"
#include "engine/core/support/CCFileUtils.h"
#include "platform/image/Image.h"
#include "support/GLSceneTest.h"
#include "support/TestSupport.h"

inline constexpr ccColor3B kRed{255, 0, 0};
inline constexpr ccColor3B kGreen{0, 255, 0};
inline constexpr ccColor3B kBlue{0, 0, 255};
inline constexpr ccColor3B kYellow{255, 255, 0};
inline constexpr ccColor3B kBlack{0, 0, 0};

// The four cells of a 64 x 64 image as seen on screen: top-left, top-right, bottom-left,
// bottom-right.
struct Cells {
    ccColor3B topLeft, topRight, bottomLeft, bottomRight;
};

class SpriteGLTest : public GLSceneTest {
protected:
    void SetUp() override {
        GLSceneTest::SetUp();
        CCFileUtils::sharedFileUtils()->purgeCachedEntries();
        std::vector<uint8_t> pixels(64 * 64 * 4);
        for (int y = 0; y < 64; ++y) {
            for (int x = 0; x < 64; ++x) {
                const ccColor3B c = y < 32 ? (x < 32 ? kRed : kGreen) : (x < 32 ? kBlue : kYellow);
                uint8_t* p = &pixels[(y * 64 + x) * 4];
                p[0] = c.r, p[1] = c.g, p[2] = c.b, p[3] = 255;
            }
        }
        ASSERT_TRUE(Image(64, 64, true, std::move(pixels)).writePNG(folder_.file("cells.png")));
        texture_ = CCTextureCache::sharedTextureCache()->addImage("cells.png");
        ASSERT_NE(texture_, nullptr);
        texture_->setAliasTexParameters();
        glClearColor(0, 0, 0, 1);
    }

    void TearDown() override {
        texture_.reset();
        GLSceneTest::TearDown();
    }

    // The four cells of a 64-point image centred at (x, y), sampled 16 pixels in from its middle.
    ::testing::AssertionResult cellsAt(int x, int y, Cells expected) {
        for (auto [dx, dy, colour] : {std::tuple{-16, 16, expected.topLeft}, {16, 16, expected.topRight},
                                      {-16, -16, expected.bottomLeft}, {16, -16, expected.bottomRight}}) {
            if (auto result = pixelNear(x + dx, y + dy, colour); !result) return result;
        }
        return ::testing::AssertionSuccess();
    }

    TemporaryFolder folder_;
    ScopedResourceFolder useFolder_{folder_.path()};
    RefPtr<CCTexture2D> texture_;
};
