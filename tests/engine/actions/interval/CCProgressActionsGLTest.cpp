// The progress actions move a timer's percentage from where they start to where they end (a full
// timer starting again from empty), and their copies and reverses make the same runs.

#include <gtest/gtest.h>

#include <functional>

#include "engine/actions/interval/CCActionTween.h"
#include "engine/actions/interval/CCProgressFromTo.h"
#include "engine/actions/interval/CCProgressTo.h"
#include "engine/render/CCProgressTimer.h"
#include "support/GLSceneTest.h"

namespace {

using CCProgressActionsGLTest = GLSceneTest;

TEST_F(CCProgressActionsGLTest, ActionsRunThePercentageFromTheirStartToTheirEnd) {
    const struct {
        const char* what;
        std::function<RefPtr<CCAction>()> make;
        float start, atZeroHalfOne[3];
    } rows[] = {
        {"to 100 from full: from 0 again", [] { return CCProgressTo::actionWithDuration(2, 100); }, 100, {0, 50, 100}},
        {"to 100 from 40", [] { return CCProgressTo::actionWithDuration(2, 100); }, 40, {40, 70, 100}},
        {"a copy of to 20", [] { return CCProgressTo::actionWithDuration(2, 20)->copy(); }, 60, {60, 40, 20}},
        {"reversed", [] { return CCProgressFromTo::actionWithDuration(2, 0, 100)->reverse(); }, 30, {100, 50, 0}},
        {"a copy of 10 to 30", [] { return CCProgressFromTo::actionWithDuration(2, 10, 30)->copy(); }, 0, {10, 20, 30}},
        {"a tween", [] { return CCActionTween::actionWithDuration(2, "percentage", 10, 30); }, 0, {10, 20, 30}},
    };
    for (const auto& row : rows) {
        auto timer = CCProgressTimer::progressWithSprite(nullptr);
        timer->setPercentage(row.start);
        RefPtr<CCFiniteTimeAction> action = refCast<CCFiniteTimeAction>(row.make());
        EXPECT_EQ(action->duration(), 2) << row.what;
        action->startWithTarget(timer.get());
        for (int i = 0; i < 3; ++i) {
            action->update(i * 0.5f);
            EXPECT_FLOAT_EQ(timer->percentage(), row.atZeroHalfOne[i]) << row.what << ", t " << i * 0.5f;
        }
    }
}

}  // namespace
