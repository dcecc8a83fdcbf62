#include "game/core/VTScrollTracker.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "engine/actions/instant/CCCallFunc.h"

namespace {

// Notes each action the tracker sends with the drag's x at that moment.
class DragLog : public Object {
public:
    void began(Object* tracker) { note("begin", tracker); }
    void updated(Object* tracker) { note("update", tracker); }
    void ended(Object* tracker) { note("end", tracker); }

    std::vector<std::string> actions;
    std::vector<double> xs;

private:
    void note(const char* what, Object* sender) {
        actions.emplace_back(what);
        xs.push_back(static_cast<VTScrollTracker*>(sender)->dragLocation().x);
    }
};

Event scrollEvent(double deltaX, double deltaY) {
    Event event;
    event.type = EventType::scrollWheel;
    event.deltaX = deltaX;
    event.deltaY = deltaY;
    return event;
}

// 100 points per unit; frames of 1/64 s. Which axis counts and which way is the menu's tests'.
class VTScrollTrackerTest : public ::testing::Test {
protected:
    void SetUp() override {
        tracker->setDelegate(log.get());
        tracker->setBeginTrackingAction(ccCallSelector(&DragLog::began));
        tracker->setUpdateTrackingAction(ccCallSelector(&DragLog::updated));
        tracker->setEndTrackingAction(ccCallSelector(&DragLog::ended));
        tracker->setPointsPerUnit(100);
        tracker->setIsEnabled(true);
    }

    void frames(int count) {
        for (int i = 0; i < count; ++i) tracker->advance(1.0 / 64);
    }

    RefPtr<DragLog> log = makeRef<DragLog>();
    RefPtr<VTScrollTracker> tracker = makeRef<VTScrollTracker>();
};

TEST_F(VTScrollTrackerTest, TheFirstScrollBeginsAndMovesAndATenthOfASecondWithoutOneEnds) {
    // Scrolls by nothing, or by no number, are not taken.
    EXPECT_FALSE(tracker->scrollWheel(scrollEvent(0, 0)));
    EXPECT_FALSE(tracker->scrollWheel(scrollEvent(0, NAN)));
    EXPECT_FALSE(tracker->scrollWheel(scrollEvent(INFINITY, 0)));

    EXPECT_TRUE(tracker->scrollWheel(scrollEvent(0, -1)));
    EXPECT_EQ(log->actions, (std::vector<std::string>{"begin", "update"}));
    EXPECT_EQ(log->xs, (std::vector<double>{0, -100}));
    frames(6);  // 0.094 s
    EXPECT_TRUE(tracker->scrollWheel(scrollEvent(0, -1)));
    frames(6);
    EXPECT_TRUE(tracker->isTracking());
    frames(1);  // 0.109 s since the last
    EXPECT_FALSE(tracker->isTracking());
    frames(10);
    EXPECT_EQ(log->actions, (std::vector<std::string>{"begin", "update", "update", "end"}));

    tracker->setIsEnabled(false);
    EXPECT_FALSE(tracker->scrollWheel(scrollEvent(0, -1)));
    EXPECT_EQ(log->actions.size(), 4u);
}

TEST_F(VTScrollTrackerTest, TheSpeedIsTheLastTenthOfASecondsWithinTwentyUnitsASecond) {
    // A lone notch: its move over a tenth of a second; the next drag starts afresh.
    tracker->scrollWheel(scrollEvent(0, -1));
    EXPECT_NEAR(*tracker->measuredDragSpeed(), -1000, 1e-9);
    tracker->cancelTracking();
    tracker->scrollWheel(scrollEvent(0, 1));
    EXPECT_NEAR(*tracker->measuredDragSpeed(), 1000, 1e-9);
    tracker->cancelTracking();

    // A steady 16 units a second (a quarter every frame) is measured within a tenth of it.
    for (int i = 0; i <= 64; ++i) {
        frames(1);
        tracker->scrollWheel(scrollEvent(0.25, 0));
    }
    EXPECT_NEAR(*tracker->measuredDragSpeed(), 1600, 160);
    tracker->cancelTracking();

    // Ten notches at once count as twenty units a second.
    for (int i = 0; i < 10; ++i) tracker->scrollWheel(scrollEvent(0, 1));
    EXPECT_EQ(*tracker->measuredDragSpeed(), 2000);
}

}  // namespace
