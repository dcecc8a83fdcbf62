#include "game/objects/LevelRayCastClosest.h"

namespace game {

float LevelRayCastClosest::ReportFixture(b2Fixture* hit, const b2Vec2& hitPoint, const b2Vec2& hitNormal,
                                         float hitFraction) {
    if (!includeSensors && hit->IsSensor()) return -1;  // passed over: the ray goes on
    fixture = hit;
    point = hitPoint;
    normal = hitNormal;
    fraction = hitFraction;
    return hitFraction;  // only nearer fixtures from now on
}

}  // namespace game
