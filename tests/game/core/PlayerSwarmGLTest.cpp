// The swarm over a generated bee sheet: the buddies' offsets, the trail ring and what each buddy
// reads from it, the trailing offset, the spring and the wobble, and buddies joining, leaving and
// speaking.

#include "game/core/PlayerSwarm.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>

#include "engine/core/support/CCFileUtils.h"
#include "engine/render/CCSprite.h"
#include "engine/render/CCSpriteFrameCache.h"
#include "game/core/Buddy.h"
#include "game/core/GameMessage.h"
#include "game/core/GameMessages.h"
#include "platform/foundation/Random.h"
#include "support/AllocationCounter.h"
#include "support/GLSceneTest.h"
#include "support/GameArtFiles.h"

namespace {

PlayerCacheData pose(double x, double y, float rotation = 0) { return {{x, y}, rotation, {255, 255, 255}, false}; }

class PlayerSwarmTest : public GLSceneTest {
protected:
    void SetUp() override {
        GLSceneTest::SetUp();
        CCFileUtils::sharedFileUtils()->purgeCachedEntries();
        writeCellFont(folder_, "FuturaBeeLarge_osx", 8, 12);
        writeCellFont(folder_, "FuturaBee_osx", 4, 6);
        writeSpriteSheet(folder_, "vantrel", {{"small_bee_1.png", 8, 8, {250, 200, 0}},
                                              {"small_bee_2.png", 8, 8, {240, 190, 0}},
                                              {"small_bee_3.png", 8, 8, {230, 180, 0}}});
        CCSpriteFrameCache::sharedSpriteFrameCache()->addSpriteFramesWithFile("vantrel.plist");
        Random::seed(3);
        ASSERT_TRUE(swarm_->createBuddies());
        scene_->addChild(swarm_->buddyHolder());
    }
    void TearDown() override {
        swarm_.reset();
        GLSceneTest::TearDown();
    }

    TemporaryFolder folder_;
    ScopedResourceFolder useFolder_{folder_.path()};
    RefPtr<PlayerSwarm> swarm_ = makeRef<PlayerSwarm>();
};

TEST_F(PlayerSwarmTest, BuddiesReadTheTrailTheirOffsetBehindTheNewestPose) {
    EXPECT_EQ(PlayerSwarm::cacheIndexOffsets(), (std::array<int, 10>{16, 32, 44, 52, 56, 60, 64, 68, 72, 76}));
    EXPECT_EQ(swarm_->buddy(9)->cacheIndexOffset(), 76);

    // The ring starts full of the starting pose: the first buddy (16 back) chases it for the
    // first 16 frames, then the first pose written after it.
    const PlayerCacheData start = pose(-5, 300, 30);
    swarm_->initPlayerCache(start);
    swarm_->addBuddyAt({0, 0}, 0);
    Buddy* first = swarm_->buddy(0);
    for (int frame = 1; frame <= 17; ++frame) {
        PlayerCacheData next = pose(frame, 300, 30);
        next.colour = {static_cast<uint8_t>(frame), 0, 0};
        next.flipY = frame % 2;
        swarm_->updatePlayerCache(next);
        swarm_->updateBuddies(1 / 60.0f, 20, 0, true, 0);
        const PlayerCacheData& expected = frame <= 16 ? start : swarm_->cacheEntry(1);
        EXPECT_EQ(first->targetPosition(), expected.position) << frame;
        EXPECT_EQ(first->sprite()->color(), expected.colour) << frame;
        EXPECT_EQ(first->sprite()->flipY(), expected.flipY) << frame;
    }
    EXPECT_EQ(first->targetPosition(), CGPointMake(1, 300));
    EXPECT_EQ(first->targetRotation(), 30);

    // The index wraps from 76 to 0; the last buddy (76 back) reads the slot after the newest.
    while (swarm_->cacheIndex() != 76) swarm_->updatePlayerCache(pose(0, 0));
    swarm_->updatePlayerCache(pose(111, 222));
    EXPECT_EQ(swarm_->cacheIndex(), 0);
    EXPECT_EQ(swarm_->cacheEntry(0).position, CGPointMake(111, 222));
    for (int k = 1; k < PlayerSwarm::kMaxBuddies; ++k) swarm_->addBuddyAt({0, 0}, 0);
    swarm_->updatePlayerCache(pose(7, 8));  // index 1: the last buddy reads slot 2
    swarm_->updateBuddies(1 / 60.0f, 20, 0, true, 0);
    EXPECT_EQ(swarm_->buddy(9)->targetPosition(), swarm_->cacheEntry(2).position);
    EXPECT_EQ(swarm_->buddy(0)->targetPosition(), swarm_->cacheEntry(1 - 16 + 77).position);
}

TEST_F(PlayerSwarmTest, TheTrailOffsetGrowsAsTheBeeSlows) {
    const struct {
        float speed, rotation;
        bool underneath, facingRight;
        CGPoint offset;
    } cases[] = {
        {0, 0, false, true, {-70, 0}},         // hovering: 70 points behind
        {13.25f, 0, false, true, {0, 0}},      // full speed and above: none
        {30, 0, false, true, {0, 0}},
        {6.625f, 0, false, true, {-8.75, 0}},  // half speed: 70 x 0.5^3
        {0, 90, false, true, {0, 70}},         // turned with the head (clockwise degrees)
        {0, 0, true, true, {0, -70}},          // underneath, facing right: below
        {0, 0, true, false, {0, 70}},
    };
    for (const auto& c : cases) {
        const CGPoint offset = PlayerSwarm::trailOffset(c.speed, c.rotation, c.underneath, c.facingRight);
        EXPECT_NEAR(offset.x, c.offset.x, 1e-4) << c.speed << " " << c.rotation;
        EXPECT_NEAR(offset.y, c.offset.y, 1e-4) << c.speed << " " << c.rotation;
    }
}

TEST_F(PlayerSwarmTest, TheSpringChasesTheTargetAndTheWobbleGrowsFrom4To16Points) {
    // The spring: one step from 10 points right of the target, at rest, with no wobble yet.
    Buddy* buddy = swarm_->buddy(0);
    buddy->showAt({110, 50}, 0);
    buddy->setTargetPosition({100, 50});
    buddy->update(0, CGPointZero, 0, 1);  // no time: no wobble, no change
    EXPECT_EQ(buddy->sprite()->position(), CGPointMake(110, 50));
    buddy->randomiseOscillation();
    buddy->update(0.001f, CGPointZero, 0, 0);  // strength 0: no wobble
    const double velocity = buddy->invMass() * 0.001 * (10 * -0.75);
    EXPECT_NEAR(buddy->velocity().x, velocity, 1e-9);
    EXPECT_NEAR(buddy->sprite()->position().x, 110 + velocity, 1e-9);

    // The wobble's largest swing over 3 s is 4 x strength: 4 at full speed, 16 at rest. The
    // frames allocate nothing.
    for (const float speed : {13.25f, 0.0f}) {
        const double amplitude = speed > 0 ? 4 : 16;
        buddy->randomiseOscillation();
        double largest = 0;
        AllocationCounter counter;
        for (int frame = 0; frame < 180; ++frame) {
            swarm_->updatePlayerCache(pose(frame, 0));
            swarm_->updateBuddies(1 / 60.0f, speed, 0, true, 0);
            largest = std::max({largest, std::fabs(buddy->oscOffset().x), std::fabs(buddy->oscOffset().y)});
        }
        EXPECT_EQ(counter.count(), 0u);
        EXPECT_LE(largest, amplitude + 1e-4) << speed;
        EXPECT_GT(largest, amplitude * 0.99) << speed;
    }
    // A hidden buddy does not move.
    swarm_->buddy(5)->sprite()->setPosition({1, 2});
    swarm_->updateBuddies(1 / 60.0f, 0, 0, true, 0);
    EXPECT_EQ(swarm_->buddy(5)->sprite()->position(), CGPointMake(1, 2));
}

TEST_F(PlayerSwarmTest, BuddiesJoinLeaveAndSpeak) {
    // No buddies: nobody speaks.
    swarm_->showBuddyEncouragementMessage();
    swarm_->showBuddyWarningMessage();
    swarm_->showBuddyBonusMessage();
    for (int i = 0; i < PlayerSwarm::kMaxBuddies; ++i) EXPECT_EQ(swarm_->buddy(i)->messages()->queue(), nullptr);

    const std::set<std::string> found{"LET'S\nGO!", "THANKS\nBUDDY!", "FOUND\nME!", "HEY\nTHERE!",
                                      "BUSY\nTIME!", "NICE\nONE!",    "GET\nBUSY!"};
    for (int i = 0; i < 3; ++i) swarm_->addBuddyAt({10.0 * i, 20}, 45);
    EXPECT_EQ(swarm_->buddiesShowing(), 3);
    EXPECT_FLOAT_EQ(swarm_->buddyBonus(), 0.3f);
    for (int i = 0; i < 3; ++i) {
        Buddy* buddy = swarm_->buddy(i);
        EXPECT_TRUE(buddy->sprite()->visible());
        EXPECT_EQ(buddy->sprite()->position(), CGPointMake(10.0 * i, 20));
        EXPECT_EQ(buddy->sprite()->rotation(), 45);
        EXPECT_TRUE(found.count(buddy->message()->text())) << buddy->message()->text();
        EXPECT_EQ(buddy->messages()->queue(), buddy->message());
    }
    EXPECT_FALSE(swarm_->buddy(3)->sprite()->visible());

    // The bonus: exactly the three showing say "+".
    swarm_->showBuddyBonusMessage();
    for (int i = 0; i < PlayerSwarm::kMaxBuddies; ++i) {
        EXPECT_EQ(swarm_->buddy(i)->message()->text() == "\n+", i < 3) << i;
    }
    swarm_->showBuddyWarningMessage();
    int warned = 0;
    for (int i = 0; i < 3; ++i) warned += swarm_->buddy(i)->message()->text() != "\n+";
    EXPECT_EQ(warned, 1);

    // An eleventh adds nothing and says nothing.
    for (int i = 3; i < 10; ++i) swarm_->addBuddyAt({0, 0}, 0);
    const std::string lastLine = swarm_->buddy(9)->message()->text();
    swarm_->addBuddyAt({0, 0}, 0);
    EXPECT_EQ(swarm_->buddiesShowing(), 10);
    EXPECT_FLOAT_EQ(swarm_->buddyBonus(), 1.0f);

    // The last one leaves, hidden, its bubble let go.
    swarm_->removeBuddy();
    EXPECT_EQ(swarm_->buddiesShowing(), 9);
    EXPECT_FALSE(swarm_->buddy(9)->sprite()->visible());
    EXPECT_EQ(swarm_->buddy(9)->messages()->queue(), nullptr);
    EXPECT_EQ(swarm_->buddy(9)->message()->owner(), nullptr);
    EXPECT_EQ(swarm_->buddy(9)->message()->text(), lastLine);
    while (swarm_->buddiesShowing() > 0) swarm_->removeBuddy();
    swarm_->removeBuddy();
    EXPECT_EQ(swarm_->buddiesShowing(), 0);
    EXPECT_FLOAT_EQ(swarm_->buddyBonus(), 0);
}

}  // namespace
