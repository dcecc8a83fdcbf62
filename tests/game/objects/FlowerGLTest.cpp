#include "game/objects/Flower.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/render/CCSpriteFrameCache.h"
#include "game/core/PhysicsSprite.h"
#include "platform/foundation/Log.h"
#include "tests/game/objects/ObjectTestWorld.h"

using game::Flower;

namespace {

// A daisy of five growth frames, 64 x 128 points, head 98 points above its root at the bottom
// centre; a one-frame tulip that barely regrows; a flower whose frames do not exist.
const Value kFlowerData = dict({{"gameobjects",
                                 dict({{"1", dict({{"type_name", "daisy"},
                                                   {"frame_count", 5},
                                                   {"nectar", 2.5},
                                                   {"regrow_rate", 0.5},
                                                   {"head_anchor_position", "{32, 98}"},
                                                   {"joint_anchor_position", "{32, 0}"},
                                                   {"join_to_ground", true},
                                                   {"head_radius", 12},
                                                   {"angular_damping", 2},
                                                   {"linear_damping", 3}})},
                                       {"2", dict({{"type_name", "tulip"},
                                                   {"nectar", 1},
                                                   {"regrow_rate", 0.0005},
                                                   {"head_anchor_position", "{28, 92}"},
                                                   {"joint_anchor_position", "{28, 0}"},
                                                   {"head_radius", 10}})},
                                       {"3", dict({{"type_name", "ghost"}, {"frame_count", 3}, {"nectar", 1}})},
                                       {"4", dict({{"type_name", "greedy"}, {"image_name", "tulip"}, {"nectar", -3},
                                                   {"regrow_rate", 1e12}})}})}});

class FlowerTest : public ObjectTestWorld {
protected:
    void SetUp() override {
        ObjectTestWorld::SetUp();
        if (HasFatalFailure()) return;
        std::vector<std::pair<std::string, CGSize>> frames;
        for (const char* name : {"daisy_1.png", "daisy_2.png", "daisy_3.png", "daisy_4.png", "daisy_5.png",
                                 "daisy_sleep.png"}) {
            frames.push_back({name, CGSizeMake(64, 128)});
        }
        frames.push_back({"tulip.png", CGSizeMake(56, 120)});
        addFrames(frames);
        // The daisy stands on the ground straight above the centre; the tulip to its right.
        load(kFlowerData, {dict({{"type", 1}, {"position", "{0, 1064}"}, {"scale", 1}}),
                           dict({{"type", 2}, {"position", "{300, 1000}"}, {"scale", 1}})});
        daisy_ = dynamic_cast<Flower*>(level_->flowers().at(0));
        tulip_ = dynamic_cast<Flower*>(level_->flowers().at(1));
        ASSERT_TRUE(daisy_ && tulip_);
    }

    // Whether the daisy shows the frame of that name.
    bool shows(Flower* flower, const char* name) {
        return flower->physicsSprite()->isFrameDisplayed(
            CCSpriteFrameCache::sharedSpriteFrameCache()->spriteFrameByName(name).get());
    }

    Flower* daisy_ = nullptr;
    Flower* tulip_ = nullptr;
};

TEST_F(FlowerTest, TheFillPicksTheGrowthFrameAndNightTheSleepFrame) {
    EXPECT_EQ(daisy_->maxDroplets(), 250000u);
    EXPECT_EQ(daisy_->frameNumber(), 4u);
    EXPECT_TRUE(shows(daisy_, "daisy_5.png"));
    const std::pair<uint32_t, uint32_t> table[] = {{1, 1}, {62500, 1}, {62501, 2}, {249999, 4}, {0, 0}, {900000, 4}};
    for (const auto& [droplets, frame] : table) {
        daisy_->setDroplets(droplets);
        EXPECT_EQ(daisy_->frameNumber(), frame) << droplets << " droplets";
    }
    EXPECT_EQ(daisy_->droplets(), 250000u);  // never above the maximum
    daisy_->setDroplets(0);
    EXPECT_TRUE(shows(daisy_, "daisy_1.png"));

    daisy_->onDayIsOver();
    EXPECT_TRUE(daisy_->isSleeping());
    EXPECT_TRUE(shows(daisy_, "daisy_sleep.png"));
    EXPECT_EQ(daisy_->consumeDroplets(1000), 0u);
    EXPECT_FALSE(daisy_->hasBeenVisited());
    for (int i = 0; i < 60; ++i) daisy_->update(kFrame);
    EXPECT_EQ(daisy_->droplets(), 0u);  // no regrowth at night
    EXPECT_TRUE(shows(tulip_, "tulip.png"));  // one frame serves for all
}

TEST_F(FlowerTest, ADrinkBlocksTheNextRegrowthAndSlowRatesNeverRegrow) {
    EXPECT_EQ(daisy_->consumeDroplets(300000), 250000u);
    EXPECT_TRUE(daisy_->hasBeenVisited());
    EXPECT_EQ(daisy_->consumeDroplets(10), 0u);  // empty, yet visited and drunk from
    level_->update(kFrame);
    EXPECT_EQ(daisy_->droplets(), 0u);
    level_->update(kFrame);
    EXPECT_EQ(daisy_->droplets(), 833u);  // trunc(50000 / 60)

    tulip_->consumeDroplets(1000);
    for (int i = 0; i < 600; ++i) level_->update(kFrame);
    EXPECT_EQ(tulip_->droplets(), 99000u);  // trunc(50 / 60) is 0 every frame
}

TEST_F(FlowerTest, NectarOutsideTheDropletRangeIsClampedAndMissingFramesRefuseTheFlower) {
    RefPtr<Flower> greedy = Flower::flowerWithType(4, CGPointMake(0, 1000), 0, 1, 1, nullptr);
    ASSERT_TRUE(greedy);
    EXPECT_EQ(greedy->maxDroplets(), 0u);
    EXPECT_EQ(greedy->regrowDropletsRate(), 4294967295.0f);
    EXPECT_EQ(greedy->nectarPerc(), 0);
    LogCapture log;
    EXPECT_FALSE(Flower::flowerWithType(3, CGPointMake(0, 1000), 0, 1, 1, nullptr));
    EXPECT_TRUE(log.contains("ghost_1.png"));
}

TEST_F(FlowerTest, TheHeadSitsAboveItsRootAndSwingsBackOnItsHingeWhenPushedAside) {
    b2Body* head = daisy_->getPrimaryBody();
    ASSERT_TRUE(head);
    EXPECT_NEAR(head->GetPosition().x * 32, 0, 1e-3);
    EXPECT_NEAR(head->GetPosition().y * 32, 1098, 1e-3);
    EXPECT_EQ(head->GetFixtureList()->GetFilterData().categoryBits, 0x0100);
    EXPECT_EQ(head->GetFixtureList()->GetFilterData().groupIndex, 4);

    for (int i = 0; i < 30; ++i) {
        daisy_->pushTowardsPosition(CGPointMake(400, 1098), 40);
        run(1);
    }
    const b2Vec2 pushed = head->GetPosition();
    EXPECT_GT(pushed.x * 32, 20);
    run(600);
    const b2Vec2 back = head->GetPosition();
    EXPECT_NEAR(back.x * 32, 0, 4);  // upright again, lifted by the anti-gravity
    EXPECT_NEAR(std::hypot(back.x, back.y - 1000 / 32.0f) * 32, 98, 1);  // still on its hinge
    daisy_->pushTowardsPosition(CGPointMake(400, 1098), -5);
    daisy_->pushTowardsPosition(CGPointMake(400, 1098), 0);
    EXPECT_FALSE(head->IsAwake() && head->GetLinearVelocity().Length() > 0.5f);
}

}  // namespace
