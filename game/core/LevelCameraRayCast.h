#pragma once

#include <box2d/box2d.h>

// The camera floor's ray cast: keeps the closest fixture hit (Box2D shortens the ray to each hit
// reported). Points in metres; the fraction is -1 until something is hit.
class LevelCameraRayCast : public b2RayCastCallback {
public:
    ~LevelCameraRayCast() override = default;

    float ReportFixture(b2Fixture* fixture, const b2Vec2& point, const b2Vec2& normal, float fraction) override {
        this->fixture = fixture;
        this->point = point;
        this->normal = normal;
        this->fraction = fraction;
        return fraction;
    }

    // Forgets the last hit.
    void reset() {
        fixture = nullptr;
        fraction = -1;
    }

    b2Vec2 startPoint{0, 0};
    b2Vec2 endPoint{0, 0};
    b2Fixture* fixture = nullptr;
    b2Vec2 point{0, 0};
    b2Vec2 normal{0, 0};
    float fraction = -1;
};
