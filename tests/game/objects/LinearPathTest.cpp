#include "game/objects/LinearPath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "platform/foundation/Log.h"

using game::LinearPath;
using game::PathPosition;

namespace {

// An L of two 100 px segments: (0, 0) -> (100, 0) -> (100, 100).
const std::vector<CGPoint> kL{{0, 0}, {100, 0}, {100, 100}};

void expectPoint(CGPoint actual, double x, double y) {
    EXPECT_NEAR(actual.x, x, 1e-3);
    EXPECT_NEAR(actual.y, y, 1e-3);
}

TEST(LinearPath, OpenPathsClampAndWrappingPathsWrapAtTheirTotal) {
    RefPtr<LinearPath> open = LinearPath::linearPathWithPoints(kL, LinearPath::kOpen);
    RefPtr<LinearPath> closed = LinearPath::linearPathWithPoints(kL, LinearPath::kClosed);
    ASSERT_TRUE(open && closed);
    EXPECT_FLOAT_EQ(open->totalDistance(), 200);

    const PathPosition beyond = open->pathPositionAtDistance(500);
    expectPoint(beyond.position, 100, 100);
    EXPECT_FLOAT_EQ(beyond.distancePerc, 1.0f);
    const PathPosition before = open->pathPositionAtDistance(-30);
    expectPoint(before.position, 0, 0);
    EXPECT_FLOAT_EQ(before.distance, 0);

    const PathPosition atTotal = closed->pathPositionAtDistance(200);
    expectPoint(atTotal.position, 0, 0);
    EXPECT_FLOAT_EQ(atTotal.distancePerc, 0);
    const PathPosition behind = closed->pathPositionAtDistance(-50);
    EXPECT_FLOAT_EQ(behind.distancePerc, 0.75f);
    expectPoint(behind.position, 100, 50);
    EXPECT_FLOAT_EQ(behind.distance, 150);

    // Closed mode adds no segment back to the start: 0.999 still lies on the last given one.
    expectPoint(closed->positionAtDistancePerc(0.999f), 100, 99.8);
}

TEST(LinearPath, DeltasAdvanceTheRecordAndKeepItsDistanceInsideThePath) {
    RefPtr<LinearPath> path = LinearPath::linearPathWithPoints(kL, LinearPath::kAutoClose);
    ASSERT_TRUE(path);
    EXPECT_EQ(path->pointCount(), 4);
    PathPosition record = path->pathPositionAtDistance(0);
    for (int i = 0; i < 40; ++i) {
        path->positionAtDistanceDelta(37.5f, &record);
        EXPECT_GE(record.distance, 0);
        EXPECT_LE(record.distance, path->totalDistance());
    }
    path->positionAtDistancePercDelta(-2.25f, &record);
    EXPECT_GE(record.distancePerc, 0);
    EXPECT_LT(record.distancePerc, 1);
}

TEST(LinearPath, PingPongGoesOutAndBackWithTheNormalsOfTheWayOut) {
    RefPtr<LinearPath> path = LinearPath::linearPathWithPoints({{0, 0}, {100, 0}}, LinearPath::kPingPong);
    ASSERT_TRUE(path);
    EXPECT_EQ(path->pointCount(), 3);
    expectPoint(path->positionAtDistancePerc(0.5f), 100, 0);
    expectPoint(path->positionAtDistancePerc(0.75f), 50, 0);
    const CGPoint out = path->normalAtDistancePerc(0.25f);
    const CGPoint back = path->normalAtDistancePerc(0.75f);
    expectPoint(out, 0, -1);  // the right-hand side of travel along +x
    expectPoint(back, out.x, out.y);
}

TEST(LinearPath, StoredPointsAnswerExactlyAndZeroLengthSegmentsCopyTheNormalBefore) {
    RefPtr<LinearPath> path =
        LinearPath::linearPathWithPoints({{0, 0}, {0, 0}, {100, 0}, {100, 0}, {100, 100}}, LinearPath::kOpen);
    ASSERT_TRUE(path);
    expectPoint(path->normals()[0], 1, 0);   // a zero-length first segment
    expectPoint(path->normals()[2], 0, -1);  // copies the (100, 0) segment's
    expectPoint(path->normals()[4], 1, 0);   // the last repeats the last segment's
    const CGPoint corner = path->positionAtDistancePerc(0.5f + 1e-8f);
    EXPECT_EQ(corner.x, 100);
    EXPECT_EQ(corner.y, 0);
}

TEST(LinearPath, DegeneratePathsAreRefusedAndNonFiniteQueriesCountAsZero) {
    struct Case {
        std::vector<CGPoint> points;
        int32_t mode;
    };
    const Case refused[] = {
        {{}, LinearPath::kOpen},
        {{{5, 5}}, LinearPath::kClosed},
        {{{5, 5}, {5, 5}, {5, 5}}, LinearPath::kPingPong},
        {kL, 4},
        {kL, -1},
        {{{0, 0}, {std::numeric_limits<double>::infinity(), 0}}, LinearPath::kOpen},
    };
    for (const Case& c : refused) {
        LogCapture log;
        EXPECT_FALSE(LinearPath::linearPathWithPoints(c.points, c.mode));
        EXPECT_EQ(log.lines().size(), 1u);
    }
    RefPtr<LinearPath> path = LinearPath::linearPathWithPoints(kL, LinearPath::kClosed);
    PathPosition record = path->pathPositionAtDistance(50);
    path->positionAtDistanceDelta(std::nanf(""), &record);
    EXPECT_FLOAT_EQ(record.distance, 50);
    expectPoint(path->positionAtDistancePerc(std::numeric_limits<float>::infinity()), 0, 0);
}

}  // namespace
