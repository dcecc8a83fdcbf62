// The progress timer's fan and bar vertices for each kind, its clamping and rebuild rules, and
// timers drawn over the four-cell picture.

#include "engine/render/CCProgressTimer.h"

#include <gtest/gtest.h>

#include <vector>

#include "SpriteGLTest.h"
#include "engine/render/CCSpriteFrame.h"

namespace {

using Points = std::vector<CGPoint>;
constexpr auto kRadial = kCCProgressTimerTypeRadial, kBar = kCCProgressTimerTypeBar;

class CCProgressTimerGLTest : public SpriteGLTest {
protected:
    // A timer over the whole 64 x 64 picture.
    RefPtr<CountingDrawCalls<CCProgressTimer>> timer() {
        auto timer = makeRef<CountingDrawCalls<CCProgressTimer>>();
        timer->initWithSprite(CCSprite::spriteWithSpriteFrame(
            CCSpriteFrame::frameWithTexture(texture_, CGRectMake(0, 0, 64, 64), false, CGPointZero, {64, 64}).get()));
        return timer;
    }

    // The vertices match the alpha points of the unit square, and each texture coordinate is the
    // picture's point there (v grows downwards).
    static void expectPoints(const CCProgressTimer& timer, const Points& want, const char* what) {
        ASSERT_EQ(timer.vertexDataCount(), static_cast<int32_t>(want.size())) << what;
        for (size_t i = 0; i < want.size(); ++i) {
            const ccV2F_C4B_T2F& v = timer.vertexData()[i];
            const CGPoint w = want[i];
            EXPECT_TRUE(std::abs(v.vertices.x - w.x * 64) < 1e-4 && std::abs(v.vertices.y - w.y * 64) < 1e-4 &&
                        std::abs(v.texCoords.u - w.x) < 1e-5 && std::abs(v.texCoords.v + w.y - 1) < 1e-5)
                << what << ", vertex " << i << " at (" << v.vertices.x << ", " << v.vertices.y << ")";
        }
    }
};

TEST_F(CCProgressTimerGLTest, RadialFansAndBarsCoverTheExpectedPartOfTheSprite) {
    const struct {
        const char* what; CCProgressTimerType type; bool reverse; CGPoint midpoint, rate; float percentage; Points want;
    } rows[] = {
        {"radial 25 %", kRadial, false, {0.5, 0.5}, {1, 1}, 25, {{0.5, 0.5}, {0.5, 1}, {1, 1}, {1, 0.5}}},
        {"radial 0 %", kRadial, false, {0.5, 0.5}, {1, 1}, 0, {{0.5, 0.5}, {0.5, 1}, {0.5, 1}}},
        {"radial 100 %", kRadial, false, {0.5, 0.5}, {1, 1}, 100,
         {{0.5, 0.5}, {0.5, 1}, {1, 1}, {1, 0}, {0, 0}, {0, 1}, {0.5, 1}}},
        {"radial reversed 25 %", kRadial, true, {0.5, 0.5}, {1, 1}, 25, {{0.5, 0.5}, {0.5, 1}, {0, 1}, {0, 0.5}}},
        // Midpoints on the border: the hand's line also meets the border at the midpoint.
        {"bottom edge, 12.5 %", kRadial, false, {0.5, 0}, {1, 1}, 12.5f, {{0.5, 0}, {0.5, 1}, {1, 1}, {1, 0.5}}},
        {"bottom edge, 60 %", kRadial, false, {0.5, 0}, {1, 1}, 60, {{0.5, 0}, {0.5, 1}, {1, 1}, {1, 0}, {0.5, 0}}},
        {"corner, 12.5 %", kRadial, false, {0, 0}, {1, 1}, 12.5f, {{0, 0}, {0, 1}, {1, 1}}},
        {"bar from the left, x only", kBar, false, {0, 0.5}, {1, 0}, 50, {{0, 1}, {0, 0}, {0.5, 1}, {0.5, 0}}},
        {"bar from a corner, pushed in", kBar, false, {1, 0}, {1, 1}, 50, {{0.5, 0.5}, {0.5, 0}, {1, 0.5}, {1, 0}}},
        {"reversed bar: left and right of it", kBar, true, {0.5, 0.5}, {1, 1}, 50,
         {{0, 1}, {0, 0}, {0.25, 0.75}, {0.25, 0.25}, {0.75, 0.75}, {0.75, 0.25}, {1, 1}, {1, 0}}},
    };
    for (const auto& row : rows) {
        auto t = timer();
        t->setType(row.type);
        t->setReverseDirection(row.reverse);
        t->setMidpoint(row.midpoint);
        t->setBarChangeRate(row.rate);
        t->setPercentage(row.percentage);
        t->updateProgress();  // 0 % equals the initial value, which builds nothing
        expectPoints(*t, row.want, row.what);
    }
}

TEST_F(CCProgressTimerGLTest, PercentageIsClampedAndOnlyChangesRebuild) {
    auto t = timer();
    t->setPercentage(150);
    EXPECT_EQ(t->percentage(), 100);
    t->setPercentage(-5);
    EXPECT_EQ(t->percentage(), 0);
    // The same percentage again rebuilds nothing, so a new rate waits for a change.
    t->setType(kCCProgressTimerTypeBar);
    t->setMidpoint({0, 0.5});
    t->setPercentage(50);
    t->setBarChangeRate({1, 0});
    t->setPercentage(50);
    expectPoints(*t, {{0, 0.75}, {0, 0.25}, {0.5, 0.75}, {0.5, 0.25}}, "same percentage");
    // A new midpoint keeps the fan's centre until the vertices are dropped.
    t->setType(kCCProgressTimerTypeRadial);
    t->setMidpoint({0.25, 0.75});
    t->setPercentage(25);
    t->setMidpoint({0.5, 0.5});
    t->setPercentage(20);
    EXPECT_TRUE(t->vertexDataCount() == 4 && t->vertexData()[0].vertices.x == 16) << "kept";
    t->setReverseDirection(true);
    EXPECT_EQ(t->vertexDataCount(), 0);
    t->setPercentage(25);
    expectPoints(*t, {{0.5, 0.5}, {0.5, 1}, {0, 1}, {0, 0.5}}, "rebuilt");
    auto empty = CCProgressTimer::progressWithSprite(nullptr);  // nothing to build or draw
    empty->setPercentage(40);
    empty->draw();
}

TEST_F(CCProgressTimerGLTest, TimersShowTheirPartOfThePicture) {
    auto quarter = timer(), bar = timer();
    bar->setType(kCCProgressTimerTypeBar);
    bar->setReverseDirection(true);
    bar->setBarChangeRate({1, 0});
    for (auto [t, x] : {std::pair{quarter, 60.0}, {bar, 160.0}}) {
        t->setPercentage(25);
        t->setPosition({x, 120});
        scene_->addChild(t.get());
    }
    runFrames(1);
    EXPECT_TRUE(cellsAt(60, 120, {kBlack, kGreen, kBlack, kBlack}));
    // The reversed bar shows all but the middle quarter, x 152 to 168.
    EXPECT_TRUE(pixelNear(140, 130, kRed) && pixelNear(180, 110, kYellow) && pixelNear(160, 120, kBlack));
    EXPECT_TRUE(quarter->drawCalls == 1 && bar->drawCalls == 2);
}

}  // namespace
