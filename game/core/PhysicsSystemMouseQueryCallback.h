#pragma once

#include <box2d/box2d.h>

// Finds the first fixture of a body of one type whose shape contains a point.
class PhysicsSystemMouseQueryCallback : public b2QueryCallback {
public:
    PhysicsSystemMouseQueryCallback(b2Vec2 point, b2BodyType bodyType) : point_(point), bodyType_(bodyType) {}

    bool ReportFixture(b2Fixture* fixture) override;
    b2Fixture* fixture() const { return fixture_; }

private:
    b2Vec2 point_;
    b2BodyType bodyType_;
    b2Fixture* fixture_ = nullptr;
};
