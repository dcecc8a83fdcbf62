// The bee as drawn: its six sprites in place facing right, blinking, after turning, and its
// trail fading behind it. The sheet's parts are solid colours (see BeeTestSupport.h).

#include <gtest/gtest.h>

#include "game/core/BeeTestSupport.h"
#include "support/GLSceneTest.h"

namespace {

constexpr ccColor3B kHead{250, 200, 0};
constexpr ccColor3B kBlink{250, 120, 0};
constexpr ccColor3B kBody{120, 60, 0};
constexpr ccColor3B kWing{200, 230, 255};

class PlayerDrawingGLTest : public BeeFixture<GLSceneTest> {
protected:
    // A second bee in a world of its own, spawned at the window's centre and drawn by the scene.
    void SetUp() override {
        BeeFixture<GLSceneTest>::SetUp();
        centred_ = std::make_unique<FakeBeeSurroundings>();
        centred_->spawn = {kWidth / 2, kHeight / 2};
        drawn_ = makeRef<Player>();
        ASSERT_TRUE(drawn_->init(centred_.get(), centred_.get()));
        scene_->addChild(drawn_->playerMotionStreak());
        scene_->addChild(drawn_->playerHolder());
    }
    void TearDown() override {
        if (drawn_) {
            drawn_->playerMotionStreak()->removeFromParentAndCleanup(true);
            drawn_->playerHolder()->removeFromParentAndCleanup(true);
            drawn_.reset();
        }
        centred_.reset();
        BeeFixture<GLSceneTest>::TearDown();
    }
    // Antenna-green pixels above and below the head's row.
    std::pair<int, int> antennaPixels() const {
        int above = 0, below = 0;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 100; x < 220; ++x) {
                const ccColor4B p = pixel(x, y);
                if (p.r < 40 && p.g > 150 && p.b < 40) (y > kHeight / 2 ? above : below)++;
            }
        }
        return {above, below};
    }

    std::unique_ptr<FakeBeeSurroundings> centred_;
    RefPtr<Player> drawn_;
};

TEST_F(PlayerDrawingGLTest, SixSpritesInPlaceFacingRightBlinkingAndTurned) {
    runFrames(1);
    const int cx = kWidth / 2, cy = kHeight / 2;
    EXPECT_TRUE(pixelNear(cx, cy, kHead));
    // The body reaches 28 points behind its own centre, 14 points behind the head's.
    EXPECT_TRUE(pixelNear(cx - 35, cy, kBody));
    // The back wing sits 16 points over the body and reaches 18 points behind it.
    EXPECT_TRUE(pixelNear(cx - 28, cy + 20, kWing));
    auto [above, below] = antennaPixels();
    EXPECT_GT(above, 0);
    EXPECT_EQ(below, 0);

    drawn_->blink(0, true);
    runFrames(1);
    EXPECT_TRUE(pixelNear(cx, cy, kBlink));

    // Upside down the bee turns: the left antenna, below the head, shows instead.
    drawn_->vantrelBody()->SetTransform(drawn_->vantrelBody()->GetPosition(), 3.14159265f);
    drawn_->vantrel()->synchronise();
    drawn_->update(1.0f / 60);
    ASSERT_FALSE(drawn_->vantrelFacingRight());
    runFrames(1);
    std::tie(above, below) = antennaPixels();
    EXPECT_EQ(above, 0);
    EXPECT_GT(below, 0);
}

TEST_F(PlayerDrawingGLTest, TheTrailFadesBehindTheBee) {
    // The bee flies left to right along the window's lower part, one frame at a time.
    b2Body* head = drawn_->vantrelBody();
    for (int frame = 0; frame <= 30; ++frame) {
        const float x = (40.0f + frame * 6.0f) / 32;
        head->SetTransform({x, 40.0f / 32}, 0);
        drawn_->vantrel()->synchronise();
        drawn_->update(1.0f / 64);
        runFrames(1);
    }
    // The trail is white and premultiplied: the older end is dimmer than the newer one, and
    // nothing is drawn where the bee never went.
    const ccColor4B older = pixel(60, 40);
    const ccColor4B newer = pixel(160, 40);
    EXPECT_GT(newer.r, older.r);
    EXPECT_GT(older.r, 0);
    EXPECT_EQ(pixel(300, 40).r, 0);
}

}  // namespace
