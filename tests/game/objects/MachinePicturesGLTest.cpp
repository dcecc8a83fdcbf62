// Machines drawn from the build's own sprite sheet and rope texture: what is drawn stands where
// the bodies are, ropes repeat their texture, the clock's hands read the time.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "engine/core/CCLayerColor.h"
#include "engine/core/CCTextureCache.h"
#include "engine/render/CCSprite.h"
#include "engine/render/CCSpriteBatchNode.h"
#include "engine/render/CCSpriteFrameCache.h"
#include "game/core/PhysicsSprite.h"
#include "game/objects/BigBen.h"
#include "game/objects/Cart.h"
#include "game/objects/Rotator.h"
#include "game/objects/VRope.h"
#include "game/objects/Wheel.h"
#include "tests/game/objects/MachineTestWorld.h"

namespace {

constexpr float kPi = 3.14159265f;
const std::string kResources = VANTREL_APP_RESOURCES;
const ccColor4B kBackdrop = {120, 200, 120, 255};  // a green nothing of the art uses

Value box(double width, double height, const char* centre = "{0, 0}", bool sensor = false) {
    return dict({{"type", 4}, {"width", width}, {"height", height}, {"centre", centre}, {"is_sensor", sensor}});
}

const Value kData = dict(
    {{"gameobjects",
      dict({{"1004", dict({{"type_name", "turbine"},
                           {"image_name", "turbine_blade"},
                           {"blade_anchor_position", "{6, 10}"},
                           {"fixtures", array({dict({{"type", 2},
                                                     {"vertices", array({"{6, -4}", "{82, -2}", "{82, 2}", "{6, 4}"})}})})}})},
            {"1010", dict({{"type_name", "big_wheel"},
                           {"wheel", dict({{"segment_count", 8},
                                           {"segment_anchor_point", "{0.5, 0}"},
                                           {"fixtures", array({box(24, 14, "{0, 108}", true)})}})}})},
            {"1011", dict({{"type_name", "clock"},
                           {"big_hand_image_name", "clock_hand_big"},
                           {"small_hand_image_name", "clock_hand_small"},
                           {"big_hand_anchor_point", "{4, 4}"},
                           {"small_hand_anchor_point", "{4, 4}"}})}})}});

class MachinePicturesTest : public MachineTestWorld {
protected:
    void SetUp() override {
        MachineTestWorld::SetUp();
        if (HasFatalFailure()) return;
        CCSpriteFrameCache::sharedSpriteFrameCache()->addSpriteFramesWithFile(kResources + "/objects_fg.plist");
        scene_->addChild(CCLayerColor::layerWithColor(kBackdrop).get());
        load(kData);
    }
    void TearDown() override {
        game::BigBen::setClock(nullptr);
        MachineTestWorld::TearDown();
    }

    // A holder that shows the world point at the middle of the window.
    CCNode* viewAround(CGPoint world) {
        RefPtr<CCNode> holder = CCNode::node();
        holder->setPosition(CGPointMake(kWidth / 2 - world.x, kHeight / 2 - world.y));
        scene_->addChild(holder.get());
        return holder.get();
    }

    // Whether the window pixel shows something other than the backdrop.
    bool drawnAt(double x, double y) {
        const ccColor4B got = pixel(static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y)));
        return std::abs(got.r - kBackdrop.r) + std::abs(got.g - kBackdrop.g) + std::abs(got.b - kBackdrop.b) > 40;
    }

    static bool bodyHas(b2Body* body, b2Vec2 point) {
        for (b2Fixture* f = body->GetFixtureList(); f; f = f->GetNext()) {
            if (f->TestPoint(point)) return true;
        }
        return false;
    }
};

TEST_F(MachinePicturesTest, TurbineBladesAreDrawnOverTheirFixtures) {
    const CGPoint centre = CGPointMake(0, 1300);
    RefPtr<game::Rotator> turbine = game::Rotator::rotatorWithType(1004, centre, 0, 1, 1, nullptr);
    PhysicsSprite* sprite = turbine->physicsSprite();
    ASSERT_TRUE(sprite && sprite->body());
    viewAround(centre)->addChild(sprite);
    runFrames(1);
    for (int degrees = 0; degrees < 360; degrees += 30) {
        SCOPED_TRACE(degrees);
        const float a = degrees * kPi / 180;
        const bool blade = degrees % 120 == 90;
        const b2Vec2 point = sprite->body()->GetPosition() + (50.0f / 32) * b2Vec2(std::cos(a), std::sin(a));
        EXPECT_EQ(bodyHas(sprite->body(), point), blade);
        EXPECT_EQ(drawnAt(kWidth / 2 + 50 * std::cos(a), kHeight / 2 + 50 * std::sin(a)), blade);
    }
}

TEST_F(MachinePicturesTest, WheelSegmentsAreDrawnOverTheirSeats) {
    const CGPoint centre = CGPointMake(0, 1300);
    RefPtr<game::Wheel> wheel = game::Wheel::wheelWithType(1010, centre, 0, 1, 1, nullptr);
    ASSERT_TRUE(wheel && wheel->getPrimaryBody());
    viewAround(centre)->addChild(wheel->physicsSprite());
    runFrames(1);
    for (int k = 0; k < 16; ++k) {
        SCOPED_TRACE(k);
        const float a = (90 - 22.5f * k) * kPi / 180;
        const bool seat = k % 2 == 0;
        const b2Vec2 point = wheel->getPrimaryBody()->GetPosition() + (108.0f / 32) * b2Vec2(std::cos(a), std::sin(a));
        EXPECT_EQ(bodyHas(wheel->getPrimaryBody(), point), seat);
        EXPECT_EQ(drawnAt(kWidth / 2 + 110 * std::cos(a), kHeight / 2 + 110 * std::sin(a)), seat);
    }
}

TEST_F(MachinePicturesTest, RopeTextureRepeatsAlongASegmentLongerThanItself) {
    RefPtr<CCTexture2D> texture = CCTextureCache::sharedTextureCache()->addImage(kResources + "/rope_plain.png");
    ASSERT_TRUE(texture);
    ASSERT_EQ(texture->contentSize().width, 32);
    RefPtr<CCSpriteBatchNode> sheet = CCSpriteBatchNode::batchNodeWithTexture(texture);
    scene_->addChild(sheet.get());
    // 59 pixels: two points, one stick and one sprite 59 pixels wide, over 32-pixel stripes.
    RefPtr<game::VRope> rope = game::VRope::ropeWithPoints(CGPointMake(130, 120), CGPointMake(189, 120), sheet.get());
    ASSERT_TRUE(rope);
    ASSERT_EQ(rope->ropeSprites().size(), 1u);
    runFrames(1);
    const int left = static_cast<int>(std::ceil(rope->ropeSprites()[0]->position().x - 29.5));
    int variation = 0;
    int mismatch = 0;
    for (int k = 1; k < 26; ++k) {
        const ccColor4B a = pixel(left + k, 120);
        const ccColor4B b = pixel(left + k + 32, 120);
        mismatch = std::max(mismatch, std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b));
        const ccColor4B c = pixel(left + 1, 120);
        variation = std::max(variation, std::abs(a.r - c.r) + std::abs(a.g - c.g) + std::abs(a.b - c.b));
    }
    EXPECT_GT(variation, 60) << "the stripes show";
    EXPECT_LT(mismatch, 40) << "and come round again after 32 pixels";
}

TEST_F(MachinePicturesTest, HandsAtThreeOClockPointRightAndUp) {
    setenv("TZ", "UTC0", 1);
    game::BigBen::setClock([] { return std::time_t{3 * 3600}; });
    RefPtr<game::BigBen> clock = game::BigBen::bigBenWithType(1011, CGPointMake(0, 0), 0, 1, 1);
    clock->sprite()->setPosition(CGPointMake(kWidth / 2, kHeight / 2));
    scene_->addChild(clock->sprite());
    runFrames(1);
    EXPECT_TRUE(drawnAt(kWidth / 2 + 20, kHeight / 2)) << "the hour hand to the right";
    EXPECT_TRUE(drawnAt(kWidth / 2, kHeight / 2 + 28)) << "the minute hand up";
    EXPECT_FALSE(drawnAt(kWidth / 2 - 20, kHeight / 2));
    EXPECT_FALSE(drawnAt(kWidth / 2, kHeight / 2 - 28));
    unsetenv("TZ");
    tzset();
}

}  // namespace
