#include "engine/actions/interval/CCCardinalSplineTo.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/actions/interval/CCCatmullRomBy.h"
#include "engine/actions/interval/CCCatmullRomTo.h"
#include "engine/core/CCNode.h"
#include "engine/core/math/ccCardinalSpline.h"
#include "platform/foundation/NamedException.h"
#include "support/AllocationCounter.h"
#include "support/HeadlessDirectorTest.h"

namespace {

RefPtr<CCPointArray> pointArray(const std::vector<CGPoint>& points) {
    RefPtr<CCPointArray> array = CCPointArray::arrayWithCapacity(points.size());
    array->setControlPoints(points);
    return array;
}

void expectNear(CGPoint got, CGPoint expected) {
    EXPECT_NEAR(got.x, expected.x, 1e-4);
    EXPECT_NEAR(got.y, expected.y, 1e-4);
}

class CCSplineActionsTest : public HeadlessDirectorTest {
protected:
    // The node's position after starting the action on it at `start` and applying progress t.
    CGPoint positionAt(CCCardinalSplineTo* action, float t, CGPoint start = CGPointZero) {
        node->setPosition(start);
        action->startWithTarget(node.get());
        action->update(t);
        return node->position();
    }
    RefPtr<CCNode> node = CCNode::node();
};

TEST(CCPointArray, ClampsReadsRefusesOtherIndicesOutOfRangeAndReverses) {
    RefPtr<CCPointArray> array = pointArray({{0, 0}, {1, 1}, {2, 2}});
    EXPECT_EQ(array->getControlPointAtIndex(-5), CGPointMake(0, 0));
    EXPECT_EQ(array->getControlPointAtIndex(7), CGPointMake(2, 2));
    EXPECT_THROW(array->insertControlPoint({}, 4), NamedException);
    EXPECT_THROW(array->replaceControlPoint({}, 3), NamedException);
    EXPECT_THROW(array->removeControlPointAtIndex(3), NamedException);
    EXPECT_THROW(CCPointArray::arrayWithCapacity(1)->getControlPointAtIndex(0), NamedException);
    RefPtr<CCPointArray> five = pointArray({{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}});
    five->reverseInline();
    EXPECT_EQ(five->controlPoints(), (std::vector<CGPoint>{{4, 0}, {3, 0}, {2, 0}, {1, 0}, {0, 0}}));
}

TEST_F(CCSplineActionsTest, SelectsTheSegmentByProgressAndCopiesShareThePoints) {
    // Tension 0 halfway: (-p0 + 9 p1 + 9 p2 - p3) / 16; tension 1 stays on the straight segment.
    expectNear(ccCardinalSplineInterpolate({0, 16}, {0, 0}, {16, 0}, {0, 0}, 0, 0.5f), {9, -1});
    EXPECT_NEAR(ccCardinalSplineInterpolate({0, 16}, {0, 0}, {16, 0}, {0, 0}, 1, 0.5f).y, 0, 1e-12);

    const std::vector<CGPoint> p = {{0, 0}, {100, 0}, {100, 100}, {0, 100}};
    RefPtr<CCPointArray> points = pointArray(p);
    auto action = CCCatmullRomTo::actionWithDuration(2, points);
    const struct {
        float t;
        CGPoint expected;
    } rows[] = {
        {0, p[0]}, {0.25f, p[1]}, {0.5f, p[2]}, {0.75f, p[3]}, {1, p[3]},
        {0.3f, ccCardinalSplineInterpolate(p[0], p[1], p[2], p[3], 0.5, 0.2f)},
        {0.05f, ccCardinalSplineInterpolate(p[0], p[0], p[1], p[2], 0.5, 0.2f)},  // index -1 is point 0
        {0.8f, ccCardinalSplineInterpolate(p[2], p[3], p[3], p[3], 0.5, 0.2f)},   // the last part
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.t);
        expectNear(positionAt(action.get(), row.t), row.expected);
    }
    // Copies and reverses keep the class; copies share the points; steps allocate nothing.
    RefPtr<CCAction> copy = action->copy();
    RefPtr<CCFiniteTimeAction> reverse = action->reverse();
    ASSERT_TRUE(dynamic_cast<CCCatmullRomTo*>(copy.get()) && dynamic_cast<CCCatmullRomTo*>(reverse.get()));
    EXPECT_EQ(static_cast<CCCatmullRomTo*>(copy.get())->points(), points.get());
    expectNear(positionAt(static_cast<CCCatmullRomTo*>(reverse.get()), 0.25f), p[2]);
    action->startWithTarget(node.get());
    AllocationCounter counter;
    for (int i = 0; i < 5; ++i) action->step(0.5f);
    EXPECT_EQ(counter.count(), 0u);
    expectNear(node->position(), p[3]);
    // A single point holds the node on it; an empty array moves nothing.
    action->setPoints(pointArray({{7, 8}}));
    for (float t : {0.0f, 0.5f, 1.0f}) expectNear(positionAt(action.get(), t, {1, 1}), {7, 8});
    action->setPoints(pointArray({}));
    expectNear(positionAt(action.get(), 0.5f, {1, 1}), {1, 1});
    EXPECT_EQ(CCCatmullRomBy::actionWithDuration(1, pointArray({}))->reverse()->duration(), 1);
}

TEST_F(CCSplineActionsTest, ByActionsAreRelativeAndTheirReverseRetracesThePoints) {
    const struct {
        std::vector<CGPoint> offsets, reversed;
    } rows[] = {
        {{{0, 0}, {10, 0}, {10, 10}}, {{0, 0}, {0, -10}, {-10, -10}}},
        {{{0, 0}, {5, 5}, {20, 0}, {30, 30}}, {{0, 0}, {-10, -30}, {-25, -25}, {-30, -30}}},
    };
    for (const auto& row : rows) {
        auto forward = CCCatmullRomBy::actionWithDuration(1, pointArray(row.offsets));
        RefPtr<CCFiniteTimeAction> reverse = forward->reverse();
        auto* backward = dynamic_cast<CCCatmullRomBy*>(reverse.get());
        ASSERT_NE(backward, nullptr);
        EXPECT_EQ(backward->points()->controlPoints(), row.reversed);
        // Started where the forward run ends, the reverse passes the same points backwards.
        const double n = row.offsets.size();
        const CGPoint end = positionAt(forward.get(), 1, {100, 100});
        for (size_t k = 0; k < row.offsets.size(); ++k) {
            expectNear(positionAt(backward, float(k / n), end), positionAt(forward.get(), float((n - 1 - k) / n), {100, 100}));
        }
    }
}

}  // namespace
