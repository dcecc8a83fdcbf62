#include "game/core/VTDualTouchTracker.h"

#include <gtest/gtest.h>

#include "engine/actions/instant/CCCallFunc.h"
#include "support/HeadlessDirectorTest.h"

namespace {

// Notes each action the tracker sends, with the measures it can read at that moment.
class GestureLog : public Object {
public:
    void began(Object* tracker) { note("begin", tracker); }
    void updated(Object* tracker) { note("update", tracker); }
    void ended(Object* tracker) { note("end", tracker); }

    std::vector<std::string> actions;

private:
    void note(const char* what, Object* sender) {
        ASSERT_NE(dynamic_cast<VTDualTouchTracker*>(sender), nullptr);
        actions.emplace_back(what);
    }
};

Touch touch(int64_t identity, double x, double y, uint64_t phase = kTouchPhaseMoved) {
    return {identity, phase, {x, y}};
}

Event touchEvent(EventType type, std::vector<Touch> touches) {
    Event event;
    event.type = type;
    event.touches = std::move(touches);
    return event;
}

// Trackpad positions are scaled by a 1024 x 512 window.
class VTDualTouchTrackerTest : public HeadlessDirectorTest {
protected:
    void SetUp() override {
        HeadlessDirectorTest::SetUp();
        setWindowSize({1024, 512});
        log = makeRef<GestureLog>();
        tracker = makeRef<VTDualTouchTracker>();
        tracker->setDelegate(log.get());
        tracker->setBeginTrackingAction(ccCallSelector(&GestureLog::began));
        tracker->setUpdateTrackingAction(ccCallSelector(&GestureLog::updated));
        tracker->setEndTrackingAction(ccCallSelector(&GestureLog::ended));
        tracker->setIsEnabled(true);
    }

    // Two fingers land at (0.25, 0.25) and (0.5, 0.5).
    void beginTwo() {
        EXPECT_TRUE(tracker->ccTouchesBeganWithEvent(
            touchEvent(EventType::touchesBegan, {touch(1, 0.25, 0.25, kTouchPhaseBegan), touch(2, 0.5, 0.5)})));
    }
    // The fingers move to (x1, y1) and (x2, y2), listed in the other order.
    void moveTwo(double x1, double y1, double x2, double y2) {
        EXPECT_TRUE(tracker->ccTouchesMovedWithEvent(
            touchEvent(EventType::touchesMoved, {touch(2, x2, y2), touch(1, x1, y1)})));
    }

    RefPtr<GestureLog> log;
    RefPtr<VTDualTouchTracker> tracker;
};

TEST_F(VTDualTouchTrackerTest, TrackingStartsOnlyBeyondTheThresholdInSomeMeasure) {
    // Offsets in window points of each finger from where it landed; the threshold is 1 point.
    // Every position is exact in binary, so "exactly the threshold" is exact too.
    struct Case {
        const char* what;
        double dx1, dy1, dx2, dy2;
        bool starts;
    };
    const Case cases[] = {
        {"moved one point right and one up: exactly the threshold", 1, 1, 1, 1, false},
        {"grown one point each way: exactly the threshold", 0, 0, 1, 1, false},
        {"origin 1.5 points right", 1.5, 0, 1.5, 0, true},
        {"origin 1.5 points down", 0, -1.5, 0, -1.5, true},
        {"box 1.5 points wider", 0, 0, 1.5, 0, true},
        {"box 1.5 points lower", 0, 0, 0, -1.5, true},
    };
    for (const Case& c : cases) {
        log->actions.clear();
        tracker->releaseTouches();
        beginTwo();
        moveTwo(0.25 + c.dx1 / 1024, 0.25 + c.dy1 / 512, 0.5 + c.dx2 / 1024, 0.5 + c.dy2 / 512);
        EXPECT_EQ(tracker->isTracking(), c.starts) << c.what;
        EXPECT_EQ(log->actions, c.starts ? std::vector<std::string>{"begin"} : std::vector<std::string>{}) << c.what;
        tracker->cancelTracking();
    }
}

TEST_F(VTDualTouchTrackerTest, MeasuresFollowTheFingersByIdentityInWindowPoints) {
    beginTwo();
    moveTwo(0.125, 0.375, 0.625, 0.5);  // finger 1 left and up, finger 2 right
    EXPECT_TRUE(tracker->isTracking());
    EXPECT_EQ(tracker->deltaOrigin().x, -128);
    EXPECT_EQ(tracker->deltaOrigin().y, 64);
    EXPECT_EQ(tracker->deltaSize().width, 256);
    EXPECT_EQ(tracker->deltaSize().height, -64);
    EXPECT_EQ(tracker->averagePoint().x, 384);
    EXPECT_EQ(tracker->averagePoint().y, 224);
    moveTwo(0.125, 0.375, 0.75, 0.5);
    EXPECT_EQ(log->actions, (std::vector<std::string>{"begin", "update"}));
}

TEST_F(VTDualTouchTrackerTest, AThirdFingerCancelsAndTwoFingersDoNotResumeUntilTheyBeginAgain) {
    beginTwo();
    moveTwo(0.3, 0.2, 0.5, 0.4);
    ASSERT_TRUE(tracker->isTracking());

    EXPECT_TRUE(tracker->ccTouchesBeganWithEvent(touchEvent(
        EventType::touchesBegan, {touch(1, 0.3, 0.2), touch(2, 0.5, 0.4), touch(3, 0.7, 0.7, kTouchPhaseBegan)})));
    EXPECT_FALSE(tracker->isTracking());
    EXPECT_EQ(tracker->deltaOrigin().x, 0);
    EXPECT_EQ(log->actions, (std::vector<std::string>{"begin", "end"}));

    // The third finger lifts (ended, not touching); the two left move far.
    moveTwo(0.9, 0.9, 0.1, 0.1);
    EXPECT_FALSE(tracker->isTracking());
    EXPECT_EQ(log->actions.size(), 2u);

    beginTwo();
    moveTwo(0.3, 0.2, 0.5, 0.4);
    EXPECT_TRUE(tracker->isTracking());
}

TEST_F(VTDualTouchTrackerTest, EndingCancellingAndDisablingEndTheGestureOnce) {
    using Finish = void (*)(VTDualTouchTracker&);
    const std::pair<const char*, Finish> finishes[] = {
        {"ended", [](VTDualTouchTracker& t) { EXPECT_TRUE(t.ccTouchesEndedWithEvent({})); }},
        {"cancelled", [](VTDualTouchTracker& t) { EXPECT_TRUE(t.ccTouchesCancelledWithEvent({})); }},
        {"disabled", [](VTDualTouchTracker& t) { t.setIsEnabled(false); }},
    };
    for (const auto& [what, finish] : finishes) {
        log->actions.clear();
        tracker->setIsEnabled(true);
        beginTwo();
        moveTwo(0.3, 0.2, 0.5, 0.4);
        finish(*tracker);
        finish(*tracker);
        EXPECT_FALSE(tracker->isTracking()) << what;
        EXPECT_EQ(log->actions, (std::vector<std::string>{"begin", "end"})) << what;
    }

    // Disabled, it consumes nothing and tracks nothing.
    EXPECT_FALSE(tracker->ccTouchesBeganWithEvent(
        touchEvent(EventType::touchesBegan, {touch(1, 0.2, 0.2), touch(2, 0.4, 0.4)})));
    EXPECT_FALSE(tracker->ccTouchesMovedWithEvent(
        touchEvent(EventType::touchesMoved, {touch(1, 0.9, 0.2), touch(2, 0.4, 0.4)})));
    EXPECT_FALSE(tracker->isTracking());
}

}  // namespace
