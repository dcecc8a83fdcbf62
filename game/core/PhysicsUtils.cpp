#include "game/core/PhysicsUtils.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "game/core/PhysicsChecks.h"
#include "game/core/Units.h"
#include "platform/foundation/Geometry.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Value.h"

namespace {

// A chain whose last point lies this close to its first (metres) closes into a loop.
constexpr float kLoopClosingDistance = 0.01f;
// Box2D refuses segments of b2_linearSlop or less and welds polygon points closer than half of it.
constexpr float kMinSegmentSquared = b2_linearSlop * b2_linearSlop;
constexpr float kWeldDistanceSquared = (0.5f * b2_linearSlop) * (0.5f * b2_linearSlop);
// Smallest polygon area (square metres) taken, relative to the polygon's extent squared, far
// above the rounding of Box2D's own hull and centroid arithmetic.
constexpr double kMinRelativeArea = 1e-5;
// A polygon corner turns by at least this sine (about 0.06 degrees); flatter corners are dropped.
constexpr double kMinTurnSine = 1e-3;
// Coordinates and radii beyond this (metres) are refused: Box2D's bounding boxes of shapes near
// the float range overflow, and no level is a hundred kilometres wide.
constexpr float kMaxCoordinate = 1e5f;

constexpr const char* kBadMaterial = "the caller's density, friction or restitution is out of range";

enum Shape { kCircle = 0, kEdge = 1, kPolygon = 2, kChain = 3, kBox = 4 };

// The caller's parameters, shared by every shape.
struct Build {
    const b2Transform* transform;
    float scaleX, scaleY;
    float density, friction, restitution;
    int16 group;
    CollisionCategory category;
    CollisionMask mask;
};

std::nullptr_t refuse(const char* shape, const char* reason) {
    logLine("Physics: %s fixture refused: %s", shape, reason);
    return nullptr;
}

// Points to metres in double precision, stored as float, then through the transform.
b2Vec2 toMetres(CGPoint point, const Build& build) {
    const b2Vec2 v(static_cast<float>(point.x * build.scaleX * units::kMetresPerPoint),
                   static_cast<float>(point.y * build.scaleY * units::kMetresPerPoint));
    return build.transform ? b2Mul(*build.transform, v) : v;
}

std::vector<b2Vec2> readVertices(const Value& fixture, const Build& build) {
    std::vector<b2Vec2> points;
    for (const Value& vertex : fixture["vertices"].elements()) {
        points.push_back(toMetres(NSPointFromString(vertex.stringValue()), build));
    }
    return points;
}

bool inRange(b2Vec2 p) { return isFinite(p) && std::fabs(p.x) <= kMaxCoordinate && std::fabs(p.y) <= kMaxCoordinate; }
bool inRange(float length) { return std::isfinite(length) && std::fabs(length) <= kMaxCoordinate; }

bool allInRange(const std::vector<b2Vec2>& points) {
    return std::all_of(points.begin(), points.end(), [](b2Vec2 p) { return inRange(p); });
}

// True when every consecutive pair (and the closing pair of a loop) is farther apart than Box2D
// accepts, computed as Box2D computes it.
bool segmentsLongEnough(const std::vector<b2Vec2>& points, bool loop) {
    for (size_t i = 1; i < points.size(); ++i) {
        if (b2DistanceSquared(points[i - 1], points[i]) <= kMinSegmentSquared) return false;
    }
    return !loop || b2DistanceSquared(points.back(), points.front()) > kMinSegmentSquared;
}

double cross(b2Vec2 o, b2Vec2 a, b2Vec2 b) {
    return (double(a.x) - o.x) * (double(b.y) - o.y) - (double(a.y) - o.y) * (double(b.x) - o.x);
}

// The convex polygon Box2D is given instead of the raw points: their hull, counter-clockwise,
// with points closer than Box2D's weld distance merged and every corner a clear turn, so that
// Box2D's own hull building (which loops past its 8-point limit on nearly collinear points) finds
// exactly these corners. Empty when fewer than 3 corners or no area clearly above rounding remain.
std::vector<b2Vec2> clearHull(const std::vector<b2Vec2>& points) {
    std::vector<b2Vec2> unique;
    for (b2Vec2 p : points) {
        const bool welded = std::any_of(unique.begin(), unique.end(),
                                        [p](b2Vec2 q) { return b2DistanceSquared(p, q) < kWeldDistanceSquared; });
        if (!welded) unique.push_back(p);
    }
    if (unique.size() < 3) return {};
    std::sort(unique.begin(), unique.end(), [](b2Vec2 a, b2Vec2 b) { return a.x < b.x || (a.x == b.x && a.y < b.y); });
    // Monotone chain: the lower hull left to right, then the upper hull back.
    std::vector<b2Vec2> hull(2 * unique.size());
    size_t k = 0;
    for (size_t i = 0; i < unique.size(); ++i) {
        while (k >= 2 && cross(hull[k - 2], hull[k - 1], unique[i]) <= 0) --k;
        hull[k++] = unique[i];
    }
    for (size_t i = unique.size() - 1, lower = k + 1; i-- > 0;) {
        while (k >= lower && cross(hull[k - 2], hull[k - 1], unique[i]) <= 0) --k;
        hull[k++] = unique[i];
    }
    hull.resize(k - 1);  // the last point is the first again
    // Corners that are nearly straight or too close to the previous one go; dropping one changes
    // its neighbours' turns, so until none is left.
    for (bool dropped = true; dropped && hull.size() >= 3;) {
        dropped = false;
        for (size_t i = 0; i < hull.size() && hull.size() >= 3; ++i) {
            const b2Vec2 before = hull[(i + hull.size() - 1) % hull.size()];
            const b2Vec2 after = hull[(i + 1) % hull.size()];
            const double in = b2Distance(before, hull[i]);
            const double out = b2Distance(hull[i], after);
            if (in <= b2_linearSlop || cross(before, hull[i], after) <= kMinTurnSine * in * out) {
                hull.erase(hull.begin() + static_cast<std::ptrdiff_t>(i));
                dropped = true;
            }
        }
    }
    if (hull.size() < 3) return {};
    double area = 0;
    double extent = 0;
    for (size_t i = 0; i < hull.size(); ++i) {
        area += cross(hull[0], hull[i], hull[(i + 1) % hull.size()]);
        extent = std::max(extent, double(b2Distance(hull[0], hull[i])));
    }
    if (!(area / 2 > kMinRelativeArea * std::max(1.0, extent * extent))) return {};
    return hull;
}

// Material, sensor flag and filter into the definition; false when a value is not usable.
bool prepare(const Value& fixture, b2FixtureDef* definition, const Build& build) {
    float material[3] = {build.density, build.friction, build.restitution};
    const char* keys[3] = {"density", "friction", "restitution"};
    const PhysicsValueRange ranges[3] = {kDensityRange, kFrictionRange, kRestitutionRange};
    for (int i = 0; i < 3; ++i) {
        const Value& given = fixture[keys[i]];
        if (given.isNone()) continue;
        // A negative value means "the caller's"; one beyond the range is refused the same way.
        const float value = given.floatValue();
        if (ranges[i].holds(value)) {
            material[i] = value;
        } else if (!(value < 0)) {
            logLine("Physics: fixture \"%s\" %g refused: not %g to %g; %g stays", keys[i], value, ranges[i].least,
                    ranges[i].most, material[i]);
        }
    }
    for (int i = 0; i < 3; ++i) {
        if (!ranges[i].holds(material[i])) return false;
    }
    definition->density = material[0];
    definition->friction = material[1];
    definition->restitution = material[2];
    const Value& sensor = fixture["is_sensor"];
    if (!sensor.isNone()) definition->isSensor = sensor.boolValue();
    definition->filter = filterFor({build.group, build.category, build.mask});
    return true;
}

// Creates the fixture on the body, or nothing without one. A shape the builder made itself is
// gone after the call, so the definition is left without it.
b2Fixture* attach(b2Body* body, b2FixtureDef* definition, const b2Shape* shape, bool shapeIsOwn) {
    definition->shape = shape;
    b2Fixture* made = nullptr;
    if (body && worldAcceptsChanges(body->GetWorld(), "CreateFixture")) made = body->CreateFixture(definition);
    if (shapeIsOwn) definition->shape = nullptr;
    return made;
}

Build makeBuild(const b2Transform* transform, float scaleX, float scaleY, float density, float friction,
                float restitution, int16 group, CollisionCategory category, CollisionMask mask) {
    return {transform, scaleX, scaleY, density, friction, restitution, group, category, mask};
}

b2Fixture* buildChain(b2Body* body, const Value& fixture, b2FixtureDef* definition, b2ChainShape* given,
                      const Build& build) {
    std::vector<b2Vec2> points = readVertices(fixture, build);
    if (points.size() < 2) return refuse("chain", "fewer than 2 vertices");
    if (!allInRange(points)) return refuse("chain", "a vertex is not finite or too far out");
    bool loop = fixture["loop"].boolValue();
    if (b2Distance(points.back(), points.front()) <= kLoopClosingDistance) {
        points.pop_back();
        loop = true;
    }
    if (loop && points.size() < 3) return refuse("chain", "a loop needs 3 distinct vertices");
    if (!segmentsLongEnough(points, loop)) return refuse("chain", "vertices 0.005 m apart or closer");
    b2FixtureDef fresh;
    b2FixtureDef* def = definition ? definition : &fresh;
    if (!prepare(fixture, def, build)) return refuse("chain", kBadMaterial);

    // Ghost vertices continue the end segments, so that bodies slide smoothly off the ends.
    auto fill = [loop](b2ChainShape* shape, const std::vector<b2Vec2>& v) {
        shape->Clear();
        const int32 n = static_cast<int32>(v.size());
        if (loop) {
            shape->CreateLoop(v.data(), n);
        } else {
            shape->CreateChain(v.data(), n, 2 * v[0] - v[1], 2 * v[n - 1] - v[n - 2]);
        }
    };
    b2ChainShape own;
    b2ChainShape* shape = given ? given : &own;
    fill(shape, points);
    b2Fixture* first = attach(body, def, shape, !given);
    if (!first) return nullptr;
    // The same chain the other way round, so that it stops bodies from both sides.
    std::reverse(points.begin(), points.end());
    b2ChainShape twin;
    fill(&twin, points);
    attach(body, def, &twin, true);
    def->shape = given;
    return first;
}

}  // namespace

void PhysicsUtils::parseFixturesForBody(b2Body* body, const Value& fixtures, const b2Transform* transform, float scaleX,
                                        float scaleY, float density, float friction, float restitution, int16 group,
                                        CollisionCategory category, CollisionMask mask) {
    if (!fixtures.isArray()) {
        if (!fixtures.isNone()) logLine("Physics: fixtures refused: not an array");
        return;
    }
    for (const Value& fixture : fixtures.elements()) {
        parseFixtureForBody(body, fixture, nullptr, transform, scaleX, scaleY, density, friction, restitution, group,
                            category, mask);
    }
}

b2Fixture* PhysicsUtils::parseFixtureForBody(b2Body* body, const Value& fixture, b2FixtureDef* fixtureDef,
                                             const b2Transform* transform, float scaleX, float scaleY, float density,
                                             float friction, float restitution, int16 group, CollisionCategory category,
                                             CollisionMask mask) {
    if (!fixture.isDictionary()) return refuse("a", "not a dictionary");
    const int64_t type = fixture["type"].integerValue();
    switch (type) {
        case kCircle:
            return parseCircleFixtureForBody(body, fixture, fixtureDef, nullptr, transform, scaleX, scaleY, density,
                                             friction, restitution, group, category, mask);
        case kEdge:
            return parseEdgeShapeFixtureForBody(body, fixture, fixtureDef, nullptr, transform, scaleX, scaleY,
                                                density, friction, restitution, group, category, mask);
        case kPolygon:
            return parsePolygonShapeFixtureForBody(body, fixture, fixtureDef, nullptr, transform, scaleX, scaleY,
                                                   density, friction, restitution, group, category, mask);
        case kChain:
            return parseChainShapeFixtureForBody(body, fixture, fixtureDef, nullptr, transform, scaleX, scaleY,
                                                 density, friction, restitution, group, category, mask);
        case kBox:
            return parseBoxFixtureForBody(body, fixture, fixtureDef, nullptr, transform, scaleX, scaleY, density,
                                          friction, restitution, group, category, mask);
        default:
            logLine("Physics: fixture of type %lld refused: types are 0 to 4", static_cast<long long>(type));
            return nullptr;
    }
}

b2Fixture* PhysicsUtils::parseCircleFixtureForBody(b2Body* body, const Value& fixture, b2FixtureDef* fixtureDef,
                                                   b2CircleShape* circleShape, const b2Transform* transform,
                                                   float scaleX, float scaleY, float density, float friction,
                                                   float restitution, int16 group, CollisionCategory category,
                                                   CollisionMask mask) {
    const Build build =
        makeBuild(transform, scaleX, scaleY, density, friction, restitution, group, category, mask);
    // A mirrored circle is the same circle: the radius takes the scales' magnitudes.
    const float sx = std::fabs(scaleX);
    const float sy = std::fabs(scaleY);
    const float scale = std::fabs(sx - sy) <= units::kEpsilon ? sx : (sx + sy) / 2;
    const b2Vec2 centre = toMetres(NSPointFromString(fixture["centre"].stringValue()), build);
    const float radius = fixture["radius"].floatValue() * scale * static_cast<float>(units::kMetresPerPoint);
    if (!inRange(centre) || !inRange(radius)) return refuse("circle", "a number is not finite or too large");
    if (radius < 0) return refuse("circle", "negative radius");
    b2FixtureDef fresh;
    b2FixtureDef* def = fixtureDef ? fixtureDef : &fresh;
    if (!prepare(fixture, def, build)) return refuse("circle", kBadMaterial);
    b2CircleShape own;
    b2CircleShape* shape = circleShape ? circleShape : &own;
    shape->m_p = centre;
    shape->m_radius = radius;
    return attach(body, def, shape, !circleShape);
}

b2Fixture* PhysicsUtils::parseEdgeShapeFixtureForBody(b2Body* body, const Value& fixture, b2FixtureDef* fixtureDef,
                                                      b2EdgeShape* edgeShape, const b2Transform* transform,
                                                      float scaleX, float scaleY, float density, float friction,
                                                      float restitution, int16 group, CollisionCategory category,
                                                      CollisionMask mask) {
    const Build build =
        makeBuild(transform, scaleX, scaleY, density, friction, restitution, group, category, mask);
    const std::vector<b2Vec2> points = readVertices(fixture, build);
    // Three or more points make a chain, which keeps the caller's definition and its binding.
    if (points.size() >= 3) return buildChain(body, fixture, fixtureDef, nullptr, build);
    if (points.size() < 2) return refuse("edge", "fewer than 2 vertices");
    if (!allInRange(points)) return refuse("edge", "a vertex is not finite or too far out");
    if (!segmentsLongEnough(points, false)) return refuse("edge", "0.005 m long or shorter");
    b2FixtureDef fresh;
    b2FixtureDef* def = fixtureDef ? fixtureDef : &fresh;
    if (!prepare(fixture, def, build)) return refuse("edge", kBadMaterial);
    b2EdgeShape own;
    b2EdgeShape* shape = edgeShape ? edgeShape : &own;
    shape->SetTwoSided(points[0], points[1]);
    return attach(body, def, shape, !edgeShape);
}

b2Fixture* PhysicsUtils::parsePolygonShapeFixtureForBody(b2Body* body, const Value& fixture, b2FixtureDef* fixtureDef,
                                                         b2PolygonShape* polygonShape, const b2Transform* transform,
                                                         float scaleX, float scaleY, float density, float friction,
                                                         float restitution, int16 group, CollisionCategory category,
                                                         CollisionMask mask) {
    const Build build =
        makeBuild(transform, scaleX, scaleY, density, friction, restitution, group, category, mask);
    const std::vector<b2Vec2> points = readVertices(fixture, build);
    if (points.size() < 3 || points.size() > b2_maxPolygonVertices) return refuse("polygon", "not 3 to 8 vertices");
    if (!allInRange(points)) return refuse("polygon", "a vertex is not finite or too far out");
    // The hull is counter-clockwise whatever the scales' signs, so a mirrored shape keeps its winding.
    const std::vector<b2Vec2> hull = clearHull(points);
    if (hull.empty()) return refuse("polygon", "no area");
    b2FixtureDef fresh;
    b2FixtureDef* def = fixtureDef ? fixtureDef : &fresh;
    if (!prepare(fixture, def, build)) return refuse("polygon", kBadMaterial);
    b2PolygonShape own;
    b2PolygonShape* shape = polygonShape ? polygonShape : &own;
    shape->Set(hull.data(), static_cast<int32>(hull.size()));
    return attach(body, def, shape, !polygonShape);
}

b2Fixture* PhysicsUtils::parseChainShapeFixtureForBody(b2Body* body, const Value& fixture, b2FixtureDef* fixtureDef,
                                                       b2ChainShape* chainShape, const b2Transform* transform,
                                                       float scaleX, float scaleY, float density, float friction,
                                                       float restitution, int16 group, CollisionCategory category,
                                                       CollisionMask mask) {
    return buildChain(body, fixture, fixtureDef, chainShape,
                      makeBuild(transform, scaleX, scaleY, density, friction, restitution, group, category, mask));
}

b2Fixture* PhysicsUtils::parseBoxFixtureForBody(b2Body* body, const Value& fixture, b2FixtureDef* fixtureDef,
                                                b2PolygonShape* polygonShape, const b2Transform* transform,
                                                float scaleX, float scaleY, float density, float friction,
                                                float restitution, int16 group, CollisionCategory category,
                                                CollisionMask mask) {
    const Build build =
        makeBuild(transform, scaleX, scaleY, density, friction, restitution, group, category, mask);
    const b2Vec2 centre = toMetres(NSPointFromString(fixture["centre"].stringValue()), build);
    // A mirrored box is the same box: the half-extents take the scales' magnitudes.
    const float halfWidth =
        fixture["width"].floatValue() * static_cast<float>(units::kMetresPerPoint) * std::fabs(scaleX) * 0.5f;
    const float halfHeight =
        fixture["height"].floatValue() * static_cast<float>(units::kMetresPerPoint) * std::fabs(scaleY) * 0.5f;
    float angle = fixture["rotation"].floatValue() * units::kRadiansPerDegree;
    if (transform) angle += std::atan2(transform->q.s, transform->q.c);
    if (!inRange(centre) || !inRange(halfWidth) || !inRange(halfHeight) || !std::isfinite(angle)) {
        return refuse("box", "a number is not finite or too large");
    }
    if (!(halfWidth > 0 && halfHeight > 0)) return refuse("box", "a side is 0 or less");
    const std::vector<b2Vec2> corners = {{-halfWidth, -halfHeight}, {halfWidth, -halfHeight}, {halfWidth, halfHeight}};
    if (clearHull(corners).empty()) return refuse("box", "no area");
    b2FixtureDef fresh;
    b2FixtureDef* def = fixtureDef ? fixtureDef : &fresh;
    if (!prepare(fixture, def, build)) return refuse("box", kBadMaterial);
    b2PolygonShape own;
    b2PolygonShape* shape = polygonShape ? polygonShape : &own;
    shape->SetAsBox(halfWidth, halfHeight, centre, angle);
    return attach(body, def, shape, !polygonShape);
}
