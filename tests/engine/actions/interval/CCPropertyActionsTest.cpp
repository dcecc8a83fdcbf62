#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "engine/actions/interval/CCBezierTo.h"
#include "engine/actions/interval/CCBlink.h"
#include "engine/actions/interval/CCJumpTo.h"
#include "engine/actions/interval/CCMoveBy.h"
#include "engine/actions/interval/CCRotateBy.h"
#include "engine/actions/interval/CCRotateTo.h"
#include "engine/actions/interval/CCScaleBy.h"
#include "engine/actions/interval/CCSkewBy.h"
#include "engine/core/CCNode.h"
#include "support/HeadlessDirectorTest.h"

namespace {

using Make = std::function<RefPtr<CCFiniteTimeAction>()>;

// The node properties that the transform actions change.
struct State {
    double x = 0, y = 0;
    float rotX = 0, rotY = 0, scaleX = 1, scaleY = 1, skewX = 0, skewY = 0;
};

State stateOf(const CCNode& node) {
    return {node.position().x, node.position().y, node.rotationX(), node.rotationY(),
            node.scaleX(),     node.scaleY(),     node.skewX(),     node.skewY()};
}

void setState(CCNode& node, const State& s) {
    node.setPosition({s.x, s.y});
    node.setRotationX(s.rotX);
    node.setRotationY(s.rotY);
    node.setScaleX(s.scaleX);
    node.setScaleY(s.scaleY);
    node.setSkewX(s.skewX);
    node.setSkewY(s.skewY);
}

void expectState(const CCNode& node, const State& want, const char* what) {
    const State got = stateOf(node);
    const double gots[] = {got.x, got.y, got.rotX, got.rotY, got.scaleX, got.scaleY, got.skewX, got.skewY};
    const double wants[] = {want.x, want.y, want.rotX, want.rotY, want.scaleX, want.scaleY, want.skewX, want.skewY};
    for (int i = 0; i < 8; ++i) EXPECT_NEAR(gots[i], wants[i], 1e-4) << what << ", field " << i;
}

RefPtr<CCFiniteTimeAction> reversed(const RefPtr<CCFiniteTimeAction>& action) { return action->reverse(); }

const ccBezierConfig kArch{{100, 0}, {0, 100}, {100, 100}};

using CCPropertyActionsTest = HeadlessDirectorTest;

TEST_F(CCPropertyActionsTest, EachActionAndReverseSetsTheExpectedStateAtProgressT) {
    struct Row {
        const char* name;
        Make make;
        State start;
        float t;
        State want;
    };
    const Row rows[] = {
        {"move to", [] { return CCMoveTo::actionWithDuration(1, {100, 50}); }, {.x = 10, .y = 20}, 0.5f,
         {.x = 55, .y = 35}},
        {"move by, reversed", [] { return reversed(CCMoveBy::actionWithDuration(1, {30, -10})); },
         {.x = 10, .y = 20}, 1, {.x = -20, .y = 30}},
        {"rotate to, the short way from 350 to 10", [] { return CCRotateTo::actionWithDuration(1, 10); },
         {.rotX = 350, .rotY = 350}, 0.5f, {.rotX = 360, .rotY = 360}},
        {"rotate to from -90: both axes the same way", [] { return CCRotateTo::actionWithDuration(1, 0); },
         {.rotX = -90, .rotY = -90}, 0.5f, {.rotX = -45, .rotY = -45}},
        {"rotate to: only the Y start is reduced", [] { return CCRotateTo::actionWithDuration(1, 0); },
         {.rotX = 400, .rotY = 400}, 1, {.rotX = 360, .rotY = 0}},
        {"rotate by, reversed", [] { return reversed(CCRotateBy::actionWithDuration(1, 90, -30)); },
         {.rotX = 10, .rotY = 10}, 1, {.rotX = -80, .rotY = 40}},
        {"skew to from reduced starts", [] { return CCSkewTo::actionWithDuration(1, 10, 20); },
         {.skewX = 200, .skewY = 400}, 0.5f, {.skewX = 15, .skewY = 30}},
        {"skew by, reversed", [] { return reversed(CCSkewBy::actionWithDuration(1, 30, -30)); },
         {.skewX = 5, .skewY = 5}, 1, {.skewX = -25, .skewY = 35}},
        {"jump by: a hop peaks at its middle", [] { return CCJumpBy::actionWithDuration(1, {100, 0}, 50, 2); },
         {}, 0.25f, {.x = 25, .y = 50}},
        {"jump by with no height is a move", [] { return CCJumpBy::actionWithDuration(1, {100, 40}, 0, 3); },
         {}, 0.3f, {.x = 30, .y = 12}},
        {"jump by, reversed", [] { return reversed(CCJumpBy::actionWithDuration(1, {100, 20}, 10, 1)); },
         {}, 1, {.x = -100, .y = -20}},
        {"jump to", [] { return CCJumpTo::actionWithDuration(1, {100, 0}, 50, 1); }, {.x = 20}, 0.5f,
         {.x = 60, .y = 50}},
        {"bezier by at 0", [] { return CCBezierBy::actionWithDuration(1, kArch); }, {.x = 10, .y = 10}, 0,
         {.x = 10, .y = 10}},
        {"bezier by halfway", [] { return CCBezierBy::actionWithDuration(1, kArch); }, {.x = 10, .y = 10}, 0.5f,
         {.x = 60, .y = 85}},
        {"bezier by at 1", [] { return CCBezierBy::actionWithDuration(1, kArch); }, {.x = 10, .y = 10}, 1,
         {.x = 110, .y = 10}},
        {"bezier by, reversed, retraces the path", [] { return reversed(CCBezierBy::actionWithDuration(1, kArch)); },
         {.x = 110, .y = 10}, 0.5f, {.x = 60, .y = 85}},
        {"bezier to", [] { return CCBezierTo::actionWithDuration(1, kArch); }, {.x = 20}, 0.5f,
         {.x = 52.5, .y = 75}},
        {"scale to", [] { return CCScaleTo::actionWithDuration(1, 2, 3); }, {}, 0.5f,
         {.scaleX = 1.5f, .scaleY = 2}},
        {"scale by 2 from 1.5", [] { return CCScaleBy::actionWithDuration(1, 2); },
         {.scaleX = 1.5f, .scaleY = 1.5f}, 1, {.scaleX = 3, .scaleY = 3}},
        {"scale by 2, reversed, from 3", [] { return reversed(CCScaleBy::actionWithDuration(1, 2)); },
         {.scaleX = 3, .scaleY = 3}, 1, {.scaleX = 1.5f, .scaleY = 1.5f}},
    };
    for (const Row& row : rows) {
        RefPtr<CCNode> node = CCNode::node();
        setState(*node, row.start);
        RefPtr<CCFiniteTimeAction> action = row.make();
        action->startWithTarget(node.get());
        action->update(row.t);
        expectState(*node, row.want, row.name);
    }
}

// A repeat restarts the same action object from where the last run ended; a copy is made after
// the original has run.
TEST_F(CCPropertyActionsTest, RestartsAndCopiesFollowTheConstructionParameters) {
    const Make makes[] = {
        [] { return CCMoveBy::actionWithDuration(1, {30, -10}); },
        [] { return CCJumpTo::actionWithDuration(1, {100, 0}, 50, 1); },
        [] { return CCBezierTo::actionWithDuration(1, kArch); },
        [] { return CCSkewBy::actionWithDuration(1, 30, -20); },
        [] { return CCScaleBy::actionWithDuration(1, 2, 3); },
        [] { return CCRotateTo::actionWithDuration(1, 30, 60); },
    };
    const State start{.x = 20, .y = 5, .rotX = 10, .scaleX = 1.5f, .skewX = 4};
    for (const Make& make : makes) {
        RefPtr<CCFiniteTimeAction> action = make();
        RefPtr<CCNode> first = CCNode::node();
        setState(*first, start);
        action->startWithTarget(first.get());
        action->update(1);
        const State end = stateOf(*first);
        // Run again from the end: a "by" action goes as far again, a "to" action stays.
        RefPtr<CCFiniteTimeAction> fresh = make();
        RefPtr<CCNode> expected = CCNode::node();
        setState(*expected, end);
        fresh->startWithTarget(expected.get());
        fresh->update(1);
        action->startWithTarget(first.get());
        action->update(1);
        expectState(*first, stateOf(*expected), className(*action).c_str());
        RefPtr<CCNode> second = CCNode::node();
        setState(*second, start);
        RefPtr<CCAction> copy = action->copy();
        copy->startWithTarget(second.get());
        copy->update(1);
        expectState(*second, end, className(*action).c_str());
        // A target that is not a node is left alone.
        RefPtr<Object> plain = makeRef<Object>();
        action->startWithTarget(plain.get());
        action->update(0.5f);
    }
}

TEST_F(CCPropertyActionsTest, BlinkTogglesTwicePerBlinkAndKeepsItsLastVisibility) {
    for (uint64_t blinks : {5u, 0u}) {
        RefPtr<CCNode> node = CCNode::node();
        RefPtr<CCBlink> blink = CCBlink::actionWithDuration(1, blinks);
        blink->startWithTarget(node.get());
        int toggles = 0;
        bool visible = node->visible();
        while (!blink->isDone()) {
            blink->step(1 / 64.0f);
            toggles += node->visible() != visible;
            visible = node->visible();
        }
        EXPECT_EQ(toggles, static_cast<int>(2 * blinks)) << blinks << " blinks";
        EXPECT_TRUE(node->visible()) << blinks << " blinks";
    }
}

}  // namespace
