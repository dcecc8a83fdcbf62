#include "audio/OALMoveByAction.h"

#include <cmath>

namespace {
float length(ALXYZ v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }
}  // namespace

RefPtr<OALMoveByAction> OALMoveByAction::actionWithDuration(float duration, ALXYZ delta) {
    return makeRef<OALMoveByAction>(duration, delta);
}

RefPtr<OALMoveByAction> OALMoveByAction::actionWithUnitsPerSecond(float unitsPerSecond, ALXYZ delta) {
    RefPtr<OALMoveByAction> action = makeRef<OALMoveByAction>(0, delta);
    action->unitsPerSecond_ = unitsPerSecond;
    if (unitsPerSecond > 0) action->duration_ = length(delta) / unitsPerSecond;
    return action;
}

void OALMoveByAction::prepareWithTarget(OALActionTarget* target) {
    OALAction::prepareWithTarget(target);
    startPoint_ = target->position();
    if (unitsPerSecond_ > 0) duration_ = length(delta_) / unitsPerSecond_;
}

void OALMoveByAction::updateCompletion(float proportionComplete) {
    target_->setPosition({startPoint_.x + delta_.x * proportionComplete, startPoint_.y + delta_.y * proportionComplete,
                          startPoint_.z + delta_.z * proportionComplete});
}
