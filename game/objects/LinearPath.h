#pragma once

#include <cstdint>
#include <vector>

#include "game/objects/PathPosition.h"
#include "platform/foundation/Object.h"

namespace game {

// An immutable polyline in world points that answers the point and normal at a distance or a
// fraction of its length. Modes:
//   0 open        the points as given; fractions are clamped to [0, 1]
//   1 closed      the points as given; fractions wrap, jumping from the last point to the first
//   2 autoclose   the points and the first again; fractions wrap
//   3 pingpong    p0 .. p(n-1) .. p0, out and back; fractions wrap
// A normal is the unit vector on the right of the direction of travel of the segment that starts
// at a point (the last point repeats the last segment's); on the way back of a ping-pong path the
// normals are those of the way out. A zero-length segment copies the normal before it.
//
// A path needs at least two points, a positive total length and a known mode: anything else is
// refused by the factory (null, one log line). Queries allocate nothing; a fraction or distance
// that is not finite counts as 0. Queries remember the index they found (normalForLastPositionRequest).
class LinearPath : public Object {
public:
    enum Mode : int32_t { kOpen = 0, kClosed = 1, kAutoClose = 2, kPingPong = 3 };

    static RefPtr<LinearPath> linearPathWithPoints(const std::vector<CGPoint>& points, int32_t mode);

    CGPoint positionAtDistance(float distance);
    CGPoint positionAtDistancePerc(float perc);
    CGPoint normalForLastPositionRequest() const { return normals_[lastPositionRequestIndex_]; }
    CGPoint normalAtDistance(float distance);
    CGPoint normalAtDistancePerc(float perc);

    // A fresh record at the distance (or fraction), completed with a delta of 0.
    PathPosition pathPositionAtDistance(float distance);
    PathPosition pathPositionAtDistancePerc(float perc);
    // Places the record at the distance (or fraction) and completes it.
    void positionAtDistance(float distance, PathPosition* pathPosition);
    void positionAtDistancePerc(float perc, PathPosition* pathPosition);
    // Moves the record by delta points (or by a fraction) and fills in all four fields.
    void positionAtDistanceDelta(float delta, PathPosition* pathPosition);
    void positionAtDistancePercDelta(float delta, PathPosition* pathPosition);

    int32_t pointCount() const { return static_cast<int32_t>(points_.size()); }
    const std::vector<CGPoint>& points() const { return points_; }
    const std::vector<CGPoint>& normals() const { return normals_; }
    float totalDistance() const { return totalDistance_; }
    bool useWrap() const { return useWrap_; }

private:
    LinearPath() = default;
    bool initWithPoints(const std::vector<CGPoint>& points, int32_t mode);
    // The fraction wrapped or clamped into [0, 1].
    float normalisedPerc(float perc) const;
    // The point at a normalised fraction; records the index found.
    CGPoint lookup(float perc);
    void complete(float perc, PathPosition* pathPosition);

    bool useWrap_ = false;
    float totalDistance_ = 0;  // points
    std::vector<CGPoint> points_;
    std::vector<CGPoint> normals_;
    std::vector<float> distances_;       // points from the first point, first 0
    std::vector<float> percs_;           // distances_ / totalDistance_, last exactly 1
    int32_t lastPositionRequestIndex_ = 0;
};

}  // namespace game
