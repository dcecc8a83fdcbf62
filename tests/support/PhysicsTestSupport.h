#pragma once

#include <box2d/box2d.h>

#include <cmath>
#include <string>
#include <vector>

#include "game/core/PhysicsSystemBinding.h"
#include "game/core/PhysicsSystemSynchronisable.h"
#include "platform/foundation/StringUtils.h"
#include "platform/foundation/Value.h"

// A synchronisable that stores what it is given and notes, in a shared event list, each pose
// copy ("copy") and each move to the smoothed pose ("show").
class RecordingSprite : public PhysicsSystemSynchronisable {
public:
    explicit RecordingSprite(std::vector<std::string>* events = nullptr) : events_(events) {}

    b2Vec2 previousPosition() const override { return previousPosition_; }
    void setPreviousPosition(b2Vec2 p) override { previousPosition_ = p; }
    b2Vec2 smoothedPosition() const override { return smoothedPosition_; }
    void setSmoothedPosition(b2Vec2 p) override { smoothedPosition_ = p; }
    float previousAngle() const override { return previousAngle_; }
    void setPreviousAngle(float a) override { previousAngle_ = a; }
    float smoothedAngle() const override { return smoothedAngle_; }
    void setSmoothedAngle(float a) override { smoothedAngle_ = a; }
    void initPhysicsSystemSynchronisable() override {}
    void setPreviousPosition(b2Vec2 p, float a) override { previousPosition_ = p, previousAngle_ = a; }
    void setSmoothedPosition(b2Vec2 p, float a) override { smoothedPosition_ = p, smoothedAngle_ = a; }
    void setPreviousPosition(b2Vec2 p, float a, b2Vec2 sp, float sa) override {
        setPreviousPosition(p, a);
        setSmoothedPosition(sp, sa);
        note("copy");
    }
    void synchronise() override { note("synchronise"); }
    void synchroniseSmoothed() override { note("show"); }
    void synchroniseBody() override {}

    PhysicsSystemBinding binding{BindingType::kNone, nullptr, this};

private:
    void note(const char* event) {
        if (events_) events_->push_back(event);
    }

    std::vector<std::string>* events_;
    b2Vec2 previousPosition_{0, 0};
    b2Vec2 smoothedPosition_{0, 0};
    float previousAngle_ = 0;
    float smoothedAngle_ = 0;
};

// A dynamic body with one circle fixture of the given radius and density.
inline b2Body* makeDynamicBall(b2World* world, b2Vec2 position, float radius = 0.5f, float density = 1.0f) {
    b2BodyDef definition;
    definition.type = b2_dynamicBody;
    definition.position = position;
    b2Body* body = world->CreateBody(&definition);
    b2CircleShape circle;
    circle.m_radius = radius;
    body->CreateFixture(&circle, density);
    return body;
}

// A circle of `count` points ("{x, y}", in points) around the origin, counter-clockwise; the
// first point again at the end when asked.
inline Value ringOfPoints(double radiusPoints, int count, bool repeatFirst = false) {
    Value points = Value::array();
    for (int i = 0; i < count + (repeatFirst ? 1 : 0); ++i) {
        const double a = 2 * M_PI * (i % count) / count;
        points.append(stringWithFormat("{%.6f, %.6f}", radiusPoints * std::cos(a), radiusPoints * std::sin(a)));
    }
    return points;
}
