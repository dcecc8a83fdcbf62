#include "audio/OALMoveToAction.h"

RefPtr<OALMoveToAction> OALMoveToAction::actionWithDuration(float duration, ALXYZ position) {
    return makeRef<OALMoveToAction>(duration, position);
}

RefPtr<OALMoveToAction> OALMoveToAction::actionWithUnitsPerSecond(float unitsPerSecond, ALXYZ position) {
    RefPtr<OALMoveToAction> action = makeRef<OALMoveToAction>(0, position);
    action->unitsPerSecond_ = unitsPerSecond;
    return action;
}

void OALMoveToAction::prepareWithTarget(OALActionTarget* target) {
    const ALXYZ from = target->position();
    delta_ = {position_.x - from.x, position_.y - from.y, position_.z - from.z};
    OALMoveByAction::prepareWithTarget(target);
}
