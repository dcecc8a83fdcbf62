#pragma once

#include <box2d/box2d.h>

namespace game {

// The nearest fixture along a ray; sensors are passed over unless asked for. After
// b2World::RayCast, `fixture` is the nearest fixture taken (null when none), with its point,
// normal and fraction (-1 when none).
class LevelRayCastClosest : public b2RayCastCallback {
public:
    LevelRayCastClosest(b2Vec2 start, b2Vec2 end, bool includeSensors)
        : start(start), end(end), includeSensors(includeSensors) {}

    float ReportFixture(b2Fixture* hit, const b2Vec2& hitPoint, const b2Vec2& hitNormal, float hitFraction) override;

    b2Vec2 start;
    b2Vec2 end;
    bool includeSensors;
    b2Fixture* fixture = nullptr;
    b2Vec2 point{0, 0};
    b2Vec2 normal{0, 0};
    float fraction = -1;
};

}  // namespace game
