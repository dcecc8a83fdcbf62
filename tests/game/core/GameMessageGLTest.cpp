// Speech bubbles and their queues over generated fonts: queue order and relinking, stacking,
// showing and the timer, the spring, value against text, no allocation in steady frames, and the
// digits on screen.

#include "game/core/GameMessage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/core/support/CCFileUtils.h"
#include "game/core/GameMessageDelegate.h"
#include "game/core/GameMessages.h"
#include "platform/foundation/Random.h"
#include "support/AllocationCounter.h"
#include "support/GLSceneTest.h"
#include "support/GameArtFiles.h"

namespace {

class FakeGame : public GameMessageDelegate {
public:
    CCNode* messagesHolder() const override { return holder.get(); }
    float playerNectar() const override { return nectar; }
    float playerHiveHoney() const override { return honey; }
    float playerDistanceTravelled() const override { return distance; }
    float dayTimeRemaining() const override { return timeLeft; }

    RefPtr<CCNode> holder = CCNode::node();
    float nectar = 0, honey = 0, distance = 0, timeLeft = 0;
};

class GameMessageTest : public GLSceneTest {
protected:
    void SetUp() override {
        GLSceneTest::SetUp();
        CCFileUtils::sharedFileUtils()->purgeCachedEntries();
        CCLabelBMFont::purgeCachedData();
        writeCellFont(folder_, "FuturaBeeLarge_osx", 8, 12, {255, 255, 255});
        writeCellFont(folder_, "FuturaBee_osx", 4, 6, {255, 255, 255});
        Random::seed(7);
        scene_->addChild(game_.holder.get());
        target_->setPosition({100, 100});
        queue_->initWithTargetObject(target_.get());
        GameMessage::setGameDelegate(&game_);
    }
    void TearDown() override {
        GameMessage::setGameDelegate(nullptr);
        queue_.reset();
        GLSceneTest::TearDown();
    }

    static RefPtr<GameMessage> bubble(int type = 2, int info = GameMessage::kInfoNectarBonus, int location = 1) {
        RefPtr<GameMessage> made = GameMessage::gameMessageWithType(type, info, GameMessage::kModeGreen, location);
        EXPECT_NE(made, nullptr);
        EXPECT_NE(made->line1Text(), nullptr);
        return made;
    }

    // The queue first to last, checking every link both ways.
    std::vector<GameMessage*> order() {
        std::vector<GameMessage*> seen;
        GameMessage* previous = nullptr;
        for (GameMessage* m = queue_->queue(); m; m = m->childMessage()) {
            EXPECT_EQ(m->parentMessage(), previous);
            EXPECT_EQ(m->owner(), queue_.get());
            EXPECT_EQ(m->target(), previous ? static_cast<const GameMessagePositionProtocol*>(previous) : queue_->target());
            seen.push_back(m);
            previous = m;
        }
        EXPECT_EQ(queue_->queueEnd(), previous);
        EXPECT_EQ(queue_->count(), seen.size());
        return seen;
    }

    TemporaryFolder folder_;
    ScopedResourceFolder useFolder_{folder_.path()};
    FakeGame game_;
    RefPtr<CCNode> target_ = CCNode::node();
    RefPtr<GameMessages> queue_ = makeRef<GameMessages>();
};

TEST_F(GameMessageTest, QueuesKeepSixDropTheLastAndRelinkOnRemoval) {
    std::vector<RefPtr<GameMessage>> bubbles;
    for (int i = 0; i < 7; ++i) bubbles.push_back(bubble());
    for (int i = 0; i < 6; ++i) queue_->addMessageToFrontOfQueue(bubbles[i].get(), 2.0f);
    EXPECT_EQ(order(), (std::vector<GameMessage*>{bubbles[5].get(), bubbles[4].get(), bubbles[3].get(),
                                                  bubbles[2].get(), bubbles[1].get(), bubbles[0].get()}));
    EXPECT_EQ(bubbles[0]->parent(), game_.holder.get());

    // A seventh at the front drops the one at the end.
    queue_->addMessageToFrontOfQueue(bubbles[6].get(), 2.0f);
    EXPECT_EQ(order().front(), bubbles[6].get());
    EXPECT_EQ(order().back(), bubbles[1].get());
    EXPECT_EQ(bubbles[0]->owner(), nullptr);
    EXPECT_FALSE(bubbles[0]->visible());
    EXPECT_EQ(bubbles[0]->parent(), nullptr);

    // An end-add of a queued bubble moves it to the front.
    queue_->addMessageToEndOfQueue(bubbles[3].get(), 2.0f);
    EXPECT_EQ(order(), (std::vector<GameMessage*>{bubbles[3].get(), bubbles[6].get(), bubbles[5].get(),
                                                  bubbles[4].get(), bubbles[2].get(), bubbles[1].get()}));

    // Removal from the middle, the front and the end joins the neighbours up.
    queue_->removeMessage(bubbles[5].get());
    queue_->removeMessage(bubbles[3].get());
    queue_->removeMessage(bubbles[1].get());
    EXPECT_EQ(order(), (std::vector<GameMessage*>{bubbles[6].get(), bubbles[4].get(), bubbles[2].get()}));
    for (int removed : {5, 3, 1}) {
        EXPECT_EQ(bubbles[removed]->parentMessage(), nullptr);
        EXPECT_EQ(bubbles[removed]->childMessage(), nullptr);
        EXPECT_EQ(bubbles[removed]->owner(), nullptr);
    }

    // A bubble of another queue leaves it for this one.
    auto other = makeRef<GameMessages>();
    other->initWithTargetObject(target_.get());
    other->addMessageToEndOfQueue(bubbles[4].get());
    EXPECT_EQ(order(), (std::vector<GameMessage*>{bubbles[6].get(), bubbles[2].get()}));
    EXPECT_EQ(bubbles[4]->owner(), other.get());

    // A queue that goes away lets its bubbles go.
    other.reset();
    EXPECT_EQ(bubbles[4]->owner(), nullptr);
    EXPECT_EQ(bubbles[4]->parent(), nullptr);
    queue_->clearQueue();
    EXPECT_EQ(queue_->queue(), nullptr);
    EXPECT_EQ(queue_->count(), 0u);
    EXPECT_EQ(bubbles[2]->parentMessage(), nullptr);
}

TEST_F(GameMessageTest, ANewTargetLeadsTheFirstBubbleAndTheBubblesQueuedAfter) {
    struct Spot final : GameMessagePositionProtocol {
        CGPoint position() const override { return CGPointMake(300, 200); }
    } spot;
    const RefPtr<GameMessage> first = bubble(), second = bubble(), later = bubble();
    queue_->addMessageToEndOfQueue(first.get(), 2.0f);
    queue_->addMessageToEndOfQueue(second.get(), 2.0f);
    queue_->setTarget(&spot);
    EXPECT_EQ(queue_->target(), &spot);
    EXPECT_EQ(order(), (std::vector<GameMessage*>{first.get(), second.get()}));  // the first follows the spot

    queue_->addMessageToFrontOfQueue(later.get(), 2.0f);
    EXPECT_EQ(order(), (std::vector<GameMessage*>{later.get(), first.get(), second.get()}));
    queue_->update(0.1f, 0);
    EXPECT_EQ(later->position(), CGPointMake(300, 250));  // location 1: 50 points above the spot
}

TEST_F(GameMessageTest, StackedBubblesShrinkAndFadeByTheirPlaceInTheQueue) {
    const RefPtr<GameMessage> a = bubble(), b = bubble(), c = bubble(), plain = bubble(1);
    queue_->addMessageToEndOfQueue(a.get(), 2.0f);
    queue_->addMessageToEndOfQueue(b.get(), 2.0f);
    queue_->addMessageToEndOfQueue(c.get(), 2.0f);
    struct Expected {
        GameMessage* message;
        float scale;
        uint8_t opacity;
    };
    const auto check = [](std::initializer_list<Expected> expected) {
        for (const Expected& e : expected) {
            EXPECT_FLOAT_EQ(e.message->messageScale(), e.scale);
            EXPECT_FLOAT_EQ(e.message->scale(), e.scale);
            EXPECT_EQ(e.message->messageOpacity(), e.opacity);
            EXPECT_EQ(e.message->line1Text()->opacity(), e.opacity);
        }
    };
    check({{a.get(), 1, 255}, {b.get(), 0.8f, 204}, {c.get(), 0.64f, 163}});

    // The first leaving moves everyone up a place.
    queue_->removeMessage(a.get());
    check({{a.get(), 1, 255}, {b.get(), 1, 255}, {c.get(), 0.8f, 204}});

    // A type 1 bubble keeps the size of the one before it, and passes it on.
    queue_->addMessageToFrontOfQueue(a.get(), 2.0f);
    queue_->removeMessage(b.get());
    queue_->addMessageToEndOfQueue(plain.get(), 2.0f);
    check({{a.get(), 1, 255}, {c.get(), 0.8f, 204}, {plain.get(), 0.8f, 204}});

    // Stacked bubbles take the first's label alignment.
    a->setLocation(6);
    EXPECT_EQ(c->line1Text()->alignment(), CCLabelBMFont::kAlignmentRight);
    EXPECT_EQ(plain->line2Text()->anchorPoint(), CGPointMake(1, 1));
}

TEST_F(GameMessageTest, ShowingSnapsAHiddenBubbleAndTheTimerHidesIt) {
    const RefPtr<GameMessage> m = bubble(2, GameMessage::kInfoNectarBonus, 2);
    EXPECT_EQ(m->positionOffset(), CGPointMake(50, 50));
    queue_->addMessageToFrontOfQueue(m.get(), 1.0f, 12);
    queue_->update(0.25f, 0);
    EXPECT_EQ(m->position(), CGPointMake(150, 150));  // jumps straight to its place

    // The target moves: the spring takes over, velocity in points per frame.
    target_->setPosition({110, 100});
    queue_->update(0.25f, 0);
    const double expectedVelocity = 0.25 / m->mass() * (-10 * -0.75);
    EXPECT_NEAR(m->velocity().x, expectedVelocity, 1e-5);
    EXPECT_NEAR(m->position().x, 150 + expectedVelocity, 1e-5);
    EXPECT_EQ(m->velocity().y, 0);

    // Shown again while visible: the timer restarts, the place and spring stay.
    const CGPoint at = m->position();
    const float mass = m->mass();
    m->showForTime(1.0f);
    EXPECT_EQ(m->position(), at);
    EXPECT_EQ(m->mass(), mass);
    EXPECT_FLOAT_EQ(m->delay(), 1.0f);

    // The offset turns with the bubble, clockwise: at 90 degrees location 2's (50, 50) is
    // (50, -50).
    const RefPtr<GameMessage> snapping = bubble(2, GameMessage::kInfoBuddyLine, 2);
    EXPECT_TRUE(snapping->alwaysSnap());
    EXPECT_FALSE(snapping->line1Text()->visible());
    auto other = makeRef<GameMessages>();
    other->initWithTargetObject(target_.get());
    other->addMessageToFrontOfQueue(snapping.get(), 1.0f);
    other->update(0.1f, 90);
    EXPECT_NEAR(snapping->position().x, 110 + 50, 1e-4);
    EXPECT_NEAR(snapping->position().y, 100 - 50, 1e-4);
    EXPECT_EQ(snapping->rotation(), 90);

    // The timer runs out: hidden, still and out of the queue at that update.
    queue_->update(0.999f, 0);
    EXPECT_TRUE(m->visible());
    queue_->update(0.001f, 0);
    EXPECT_FALSE(m->visible());
    EXPECT_FALSE(m->isTimed());
    EXPECT_EQ(m->velocity(), CGPointZero);
    EXPECT_EQ(queue_->queue(), nullptr);
    EXPECT_EQ(m->parent(), nullptr);
}

TEST_F(GameMessageTest, AStackedBubbleTrailsTheOneBeforeItButNeverComesNearerThanItsOffset) {
    // The first bubble springs after a target that jumps and swings past it; the second eases
    // after the first. `gap`: the second's offset from the first, its scale applied (points).
    struct Row {
        int type, location;
        CGPoint jump;
        CGPoint direction;  // of the offset, a unit vector
        double gap;
    } rows[] = {
        {1, 5, {0, 200}, {0, -1}, 50},   // below, full size: the first swings up, then back down
        {1, 5, {0, -200}, {0, -1}, 50},  // and the other way
        {2, 3, {-200, 0}, {1, 0}, 40},   // beside, stacked at 0.8 of the first's size
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("type " + std::to_string(row.type) + ", location " + std::to_string(row.location));
        const RefPtr<GameMessage> first = bubble(row.type, GameMessage::kInfoFlowersVisited, row.location);
        const RefPtr<GameMessage> second = bubble(row.type, GameMessage::kInfoBuddiesFound, row.location);
        target_->setPosition({100, 100});
        queue_->addMessageToEndOfQueue(first.get(), 100.0f);
        queue_->addMessageToEndOfQueue(second.get(), 100.0f);
        queue_->update(1 / 60.0f, 0);
        target_->setPosition({100 + row.jump.x, 100 + row.jump.y});
        double least = 1e9, most = 0;
        for (int frame = 0; frame < 600; ++frame) {
            queue_->update(1 / 60.0f, 0);
            const CGPoint a = first->position(), b = second->position();
            const double along = (b.x - a.x) * row.direction.x + (b.y - a.y) * row.direction.y;
            least = std::min(least, along);
            most = std::max(most, along);
        }
        EXPECT_GE(least, row.gap - 1e-6);
        EXPECT_GT(most, row.gap + 10) << "it still trails";
        EXPECT_NEAR(second->position().x, first->position().x + row.direction.x * row.gap, 0.5) << "and settles";
        EXPECT_NEAR(second->position().y, first->position().y + row.direction.y * row.gap, 0.5);
        queue_->clearQueue();
    }
}

TEST_F(GameMessageTest, ValuesTextsCaptionsAndColours) {
    const RefPtr<GameMessage> m = bubble();
    EXPECT_EQ(m->line1Text()->color(), (ccColor3B{103, 234, 103}));
    EXPECT_EQ(m->valueText(), "");  // 0 is the starting value: nothing written
    m->setValue(5);
    EXPECT_EQ(m->valueText(), "+5");
    m->setValue(-3);
    EXPECT_EQ(m->valueText(), "-3");
    // The same value leaves a text set since.
    m->setValueText("COOL!");
    m->setValue(-3);
    EXPECT_EQ(m->valueText(), "COOL!");
    m->setValue(4);
    EXPECT_EQ(m->valueText(), "+4");

    // Self-updating infos show their source unsigned, truncated; seconds left round up.
    const struct {
        int info;
        float FakeGame::*source;
        float value;
        const char* shown;
    } cases[] = {
        {GameMessage::kInfoNectar, &FakeGame::nectar, 12.9f, "12"},
        {GameMessage::kInfoHiveHoney, &FakeGame::honey, 0.5f, "0"},  // an empty hive shows its 0
        {GameMessage::kInfoHiveHoney, &FakeGame::honey, 7.5f, "7"},
        {GameMessage::kInfoDistanceTravelled, &FakeGame::distance, 99.99f, "99"},
        {GameMessage::kInfoSecondsLeft, &FakeGame::timeLeft, 9.2f, "10"},
    };
    for (const auto& c : cases) {
        const RefPtr<GameMessage> automatic = bubble(1, c.info);
        game_.*c.source = c.value;
        queue_->addMessageToFrontOfQueue(automatic.get(), 1.0f);
        queue_->update(0.01f, 0);
        EXPECT_EQ(automatic->valueText(), c.shown) << c.info;
    }

    // Modes colour line 1 (and line 2 for a buddy's line); an unknown info has no caption.
    const RefPtr<GameMessage> line = GameMessage::gameMessageWithType(2, GameMessage::kInfoBuddyLine, 3, 1, 40);
    EXPECT_EQ(line->line2Colour(), (ccColor3B{254, 255, 104}));
    EXPECT_EQ(line->positionOffset(), CGPointMake(0, 40));
    line->setDistance(20);
    EXPECT_EQ(line->positionOffset(), CGPointMake(0, 20));
    EXPECT_EQ(GameMessage::gameMessageWithType(1, 40, 0)->text(), "");
}

TEST_F(GameMessageTest, SteadyFramesAllocateNothingWhileNoTextChanges) {
    std::vector<RefPtr<GameMessage>> bubbles;
    for (int i = 0; i < 6; ++i) {
        bubbles.push_back(bubble(2, i % 2 ? GameMessage::kInfoNectar : GameMessage::kInfoTimeBonus, i % 8 + 1));
        queue_->addMessageToEndOfQueue(bubbles.back().get(), 100.0f, 25);
    }
    game_.nectar = 3.5f;
    runFrames(2);
    queue_->update(1 / 60.0f, 10);
    AllocationCounter counter;
    for (int frame = 0; frame < 30; ++frame) {
        target_->setPosition({100.0 + frame, 100});
        game_.nectar = 3.5f + frame * 0.01f;  // the whole units do not change
        queue_->update(1 / 60.0f, 10);
        runFrames(1);
    }
    EXPECT_EQ(counter.count(), 0u);
}

TEST_F(GameMessageTest, TheDigitsDrawAtTheBubblesPlaceAndTheStackedOneSmaller) {
    const RefPtr<GameMessage> first = bubble(), second = bubble();
    target_->setPosition({80, 80});
    queue_->addMessageToEndOfQueue(first.get(), 5.0f, 1);
    queue_->addMessageToEndOfQueue(second.get(), 5.0f, 1);
    queue_->update(0.01f, 0);
    runFrames(1);
    // "+1" centred above (80, 130): two 8 x 12 cells from x 72 to 88, from y 128 up to 140.
    EXPECT_TRUE(pixelNear(74, 134, {103, 234, 103}));
    EXPECT_TRUE(pixelNear(86, 134, {103, 234, 103}));
    EXPECT_TRUE(pixelNear(70, 134, {0, 0, 0}));
    EXPECT_TRUE(pixelNear(90, 134, {0, 0, 0}));
    // The second sits 40 points (50 x 0.8) above the first, its cells 0.8 as wide (12.8 points)
    // and 0.8 as opaque.
    EXPECT_NEAR(second->position().x, 80, 1e-4);
    EXPECT_NEAR(second->position().y, 170, 1e-4);
    EXPECT_TRUE(pixelNear(69, 174, {0, 0, 0}));
    EXPECT_TRUE(pixelNear(75, 174, {82, 187, 82}));
    EXPECT_TRUE(pixelNear(91, 174, {0, 0, 0}));
}

}  // namespace
