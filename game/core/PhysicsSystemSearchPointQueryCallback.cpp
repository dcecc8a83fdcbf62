#include "game/core/PhysicsSystemSearchPointQueryCallback.h"

namespace {
constexpr float kHalfSize = 0.001f;  // metres
}

PhysicsSystemSearchPointQueryCallback::PhysicsSystemSearchPointQueryCallback(b2Vec2 point, int32_t bodyType,
                                                                             bool acceptNonSensor, bool acceptSensor,
                                                                             bool stopAtFirst)
    : point_(point),
      bodyType_(bodyType),
      acceptNonSensor_(acceptNonSensor),
      acceptSensor_(acceptSensor),
      stopAtFirst_(stopAtFirst) {
    aabb_.lowerBound = point - b2Vec2(kHalfSize, kHalfSize);
    aabb_.upperBound = point + b2Vec2(kHalfSize, kHalfSize);
}

bool PhysicsSystemSearchPointQueryCallback::ReportFixture(b2Fixture* fixture) {
    const b2Body* body = fixture->GetBody();
    if (bodyType_ != -1 && body->GetType() != bodyType_) return true;
    const bool sensorAccepted = fixture->IsSensor() ? acceptSensor_ : acceptNonSensor_;
    if (!sensorAccepted || !fixture->GetShape()->TestPoint(body->GetTransform(), point_)) return true;
    if (stopAtFirst_) {
        firstFixture_ = fixture;
        return false;
    }
    fixtures_.push_back(fixture);
    return true;
}
