#pragma once

#include <box2d/box2d.h>

#include <cstdint>
#include <vector>

// Finds the fixtures under a point: run b2World::QueryAABB with this callback and its aabb(),
// then read firstFixture() (stopAtFirst) or fixtures(). A fixture is taken when its body is of
// the wanted type (-1: any; else 0 static, 1 kinematic, 2 dynamic), it is a sensor and sensors
// are accepted or it is not and others are, and its shape contains the point.
class PhysicsSystemSearchPointQueryCallback : public b2QueryCallback {
public:
    PhysicsSystemSearchPointQueryCallback(b2Vec2 point, bool acceptNonSensor, bool acceptSensor, bool stopAtFirst)
        : PhysicsSystemSearchPointQueryCallback(point, -1, acceptNonSensor, acceptSensor, stopAtFirst) {}
    PhysicsSystemSearchPointQueryCallback(b2Vec2 point, int32_t bodyType, bool acceptNonSensor, bool acceptSensor,
                                          bool stopAtFirst);

    bool ReportFixture(b2Fixture* fixture) override;

    // The point +/- 0.001 m.
    const b2AABB& aabb() const { return aabb_; }
    b2Fixture* firstFixture() const { return firstFixture_; }
    const std::vector<b2Fixture*>& fixtures() const { return fixtures_; }

private:
    b2Vec2 point_;
    int32_t bodyType_;
    bool acceptNonSensor_;
    bool acceptSensor_;
    bool stopAtFirst_;
    b2AABB aabb_;
    b2Fixture* firstFixture_ = nullptr;
    std::vector<b2Fixture*> fixtures_;
};
