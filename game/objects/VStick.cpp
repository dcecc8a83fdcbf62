#include "game/objects/VStick.h"

#include <cmath>

#include "game/core/Units.h"
#include "game/objects/VPoint.h"

namespace game {

namespace {
constexpr float kShortestStick = units::kEpsilon;  // points
}

VStick::VStick(VPoint* pointA, VPoint* pointB)
    : pointA_(pointA),
      pointB_(pointB),
      hypotenuse_(std::hypot(pointB->x() - pointA->x(), pointB->y() - pointA->y())) {}

void VStick::contract() {
    const float dx = pointB_->x() - pointA_->x();
    const float dy = pointB_->y() - pointA_->y();
    const float length = std::sqrt(dx * dx + dy * dy);
    if (!(length >= kShortestStick)) return;
    const float share = (hypotenuse_ - length) / length * 0.5f;
    pointA_->setX(pointA_->x() - dx * share);
    pointA_->setY(pointA_->y() - dy * share);
    pointB_->setX(pointB_->x() + dx * share);
    pointB_->setY(pointB_->y() + dy * share);
}

}  // namespace game
