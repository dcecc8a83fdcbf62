#include "engine/actions/CCAction.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/actions/CCActionInstant.h"
#include "engine/actions/CCActionInterval.h"

namespace {

// Records the progress it is given; T is an interval or an instant action.
template <typename T>
struct Recording : T {
    void update(float t) override { progress.push_back(t); }
    Recording* makeEmptyCopy() const override { return new Recording; }
    std::vector<float> progress;
};

TEST(CCActionInterval, ProgressStartsAtZeroIsClampedEndsAtOneAndRewindsOnRestart) {
    RefPtr<Object> target = makeRef<Object>();
    auto action = makeRef<Recording<CCActionInterval>>();
    action->initWithDuration(1);
    for (int run = 0; run < 2; ++run) {
        action->progress.clear();
        action->startWithTarget(target.get());
        // The first step adds no time; a negative one none either.
        for (float dt : {0.25f, 0.25f, -1.0f, 5.0f}) action->step(dt);
        EXPECT_EQ(action->progress, (std::vector<float>{0, 0.25f, 0.25f, 1}));
        EXPECT_TRUE(action->isDone());
    }
    // A zero duration is stored as the float epsilon: two steps, 0 then 1.
    action->initWithDuration(0);
    action->progress.clear();
    action->startWithTarget(target.get());
    action->step(3);
    action->step(1e-6f);
    EXPECT_EQ(action->progress, (std::vector<float>{0, 1}));
    EXPECT_FALSE(makeRef<CCActionInterval>()->init());
}

TEST(CCAction, CopiesAndReversesAreUnstartedObjectsOfTheReceiversClass) {
    RefPtr<CCAction> plain = CCAction::action();
    plain->setTag(3);
    EXPECT_EQ(plain->copy()->tag(), 3);  // only the bare action keeps its tag
    auto interval = makeRef<Recording<CCActionInterval>>();
    interval->initWithDuration(2);
    interval->setTag(3);
    interval->startWithTarget(plain.get());
    interval->step(0);
    interval->step(1);
    RefPtr<CCAction> copied = interval->copy();
    auto* copy = dynamic_cast<Recording<CCActionInterval>*>(copied.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->tag(), kCCActionTagInvalid);
    EXPECT_EQ(copy->duration(), 2);
    EXPECT_EQ(copy->elapsed(), 0);
    // An instant action applies itself whole in one step; by default it reverses to a copy.
    auto instant = makeRef<Recording<CCActionInstant>>();
    instant->init();
    instant->step(0.016f);
    EXPECT_EQ(instant->progress, std::vector<float>{1});
    EXPECT_NE(dynamic_cast<Recording<CCActionInstant>*>(instant->reverse().get()), nullptr);
}

}  // namespace
