#include "engine/actions/CCAction.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <vector>

#include "engine/actions/CCActionInstant.h"
#include "engine/actions/CCActionInterval.h"

namespace {

// An interval action that records the progress it is given.
struct ProgressAction : CCActionInterval {
    static RefPtr<ProgressAction> actionWithDuration(float duration) {
        RefPtr<ProgressAction> action = makeRef<ProgressAction>();
        action->initWithDuration(duration);
        return action;
    }
    void update(float t) override { progress.push_back(t); }
    std::vector<float> progress;

protected:
    ProgressAction* makeEmptyCopy() const override { return new ProgressAction; }
};

// An instant action that counts how often it is applied.
struct Flash : CCActionInstant {
    void update(float t) override {
        ++applied;
        lastProgress = t;
    }
    int applied = 0;
    float lastProgress = -1;

protected:
    Flash* makeEmptyCopy() const override { return new Flash; }
};

TEST(CCActionInterval, ProgressStartsAtZeroIsClampedAndEndsAtExactlyOne) {
    RefPtr<Object> target = makeRef<Object>();
    RefPtr<ProgressAction> action = ProgressAction::actionWithDuration(1);
    action->startWithTarget(target.get());
    action->step(0.25f);  // the first step after a start adds no time
    action->step(0.25f);
    action->step(-1.0f);  // elapsed -0.75: clamped to 0
    EXPECT_FALSE(action->isDone());
    action->step(5.0f);
    EXPECT_EQ(action->progress, (std::vector<float>{0, 0.25f, 0, 1}));
    EXPECT_TRUE(action->isDone());
    EXPECT_FLOAT_EQ(action->elapsed(), 4.25f);

    // Starting again rewinds.
    action->startWithTarget(target.get());
    EXPECT_EQ(action->elapsed(), 0);
    EXPECT_FALSE(action->isDone());
    action->progress.clear();
    action->step(0.5f);
    action->step(0.5f);
    EXPECT_EQ(action->progress, (std::vector<float>{0, 0.5f}));

    // A zero duration is stored as the float epsilon: two steps, 0 then 1.
    RefPtr<ProgressAction> instantaneous = ProgressAction::actionWithDuration(0);
    EXPECT_EQ(instantaneous->duration(), FLT_EPSILON);
    instantaneous->startWithTarget(target.get());
    instantaneous->step(3);
    EXPECT_FALSE(instantaneous->isDone());
    instantaneous->step(1e-6f);
    EXPECT_EQ(instantaneous->progress, (std::vector<float>{0, 1}));
    EXPECT_TRUE(instantaneous->isDone());

    // No interval action without a duration.
    EXPECT_FALSE(makeRef<CCActionInterval>()->init());
}

TEST(CCAction, StartAndStopSetTheTargetsAndBaseOperationsDoNothing) {
    RefPtr<Object> target = makeRef<Object>();
    RefPtr<CCAction> action = CCAction::action();
    EXPECT_TRUE(action->isDone());
    action->startWithTarget(target.get());
    EXPECT_EQ(action->target(), target.get());
    action->step(1);
    action->update(0.5f);
    action->stop();
    EXPECT_EQ(action->target(), nullptr);
    EXPECT_EQ(action->originalTarget(), target.get());
    EXPECT_EQ(target->retainCount(), 1u);  // actions do not own their targets
}

TEST(CCAction, CopiesAreUnstartedObjectsOfTheReceiversClass) {
    RefPtr<Object> target = makeRef<Object>();

    RefPtr<CCAction> plain = CCAction::action();
    plain->setTag(3);
    RefPtr<CCAction> plainCopy = plain->copy();
    EXPECT_EQ(plainCopy->tag(), 3);  // the bare action keeps its tag
    EXPECT_EQ(plainCopy->retainCount(), 1u);

    RefPtr<ProgressAction> interval = ProgressAction::actionWithDuration(2);
    interval->setTag(4);
    interval->startWithTarget(target.get());
    interval->step(0);
    interval->step(1);
    RefPtr<CCAction> intervalCopy = interval->copy();
    auto* copied = dynamic_cast<ProgressAction*>(intervalCopy.get());
    ASSERT_NE(copied, nullptr);
    EXPECT_EQ(copied->tag(), kCCActionTagInvalid);
    EXPECT_EQ(copied->duration(), 2);
    EXPECT_EQ(copied->elapsed(), 0);
    EXPECT_EQ(copied->target(), nullptr);
    EXPECT_TRUE(copied->progress.empty());

    RefPtr<Flash> flash = makeRef<Flash>();
    flash->init();
    flash->setTag(5);
    RefPtr<CCAction> flashCopy = flash->copy();
    EXPECT_NE(dynamic_cast<Flash*>(flashCopy.get()), nullptr);
    EXPECT_EQ(flashCopy->tag(), kCCActionTagInvalid);
}

TEST(CCActionInstant, AppliesItselfInOneStepAndIsTheOnlyKindReversedByDefault) {
    RefPtr<Object> target = makeRef<Object>();
    RefPtr<Flash> flash = makeRef<Flash>();
    ASSERT_TRUE(flash->init());
    EXPECT_TRUE(flash->isDone());
    flash->startWithTarget(target.get());
    flash->step(0.016f);
    EXPECT_EQ(flash->applied, 1);
    EXPECT_EQ(flash->lastProgress, 1);

    RefPtr<CCFiniteTimeAction> reversed = flash->reverse();
    ASSERT_NE(reversed, nullptr);
    EXPECT_NE(reversed.get(), flash.get());
    EXPECT_NE(dynamic_cast<Flash*>(reversed.get()), nullptr);
    EXPECT_EQ(reversed->duration(), 0);

    EXPECT_EQ(makeRef<CCFiniteTimeAction>()->reverse(), nullptr);
    EXPECT_EQ(ProgressAction::actionWithDuration(1)->reverse(), nullptr);
}

}  // namespace
