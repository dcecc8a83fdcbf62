#include "audio/OALPropertyAction.h"

RefPtr<OALPropertyAction> OALPropertyAction::actionWithDuration(float duration, std::string propertyKey,
                                                                float endValue) {
    return makeRef<OALPropertyAction>(duration, std::move(propertyKey), endValue);
}

RefPtr<OALPropertyAction> OALPropertyAction::actionWithDuration(float duration, std::string propertyKey,
                                                                float startValue, float endValue) {
    return makeRef<OALPropertyAction>(duration, std::move(propertyKey), startValue, endValue);
}

RefPtr<OALPropertyAction> OALPropertyAction::pitchActionWithDuration(float duration, float endValue) {
    return actionWithDuration(duration, "pitch", endValue);
}

RefPtr<OALPropertyAction> OALPropertyAction::pitchActionWithDuration(float duration, float startValue,
                                                                     float endValue) {
    return actionWithDuration(duration, "pitch", startValue, endValue);
}

RefPtr<OALPropertyAction> OALPropertyAction::panActionWithDuration(float duration, float endValue) {
    return actionWithDuration(duration, "pan", endValue);
}

RefPtr<OALPropertyAction> OALPropertyAction::panActionWithDuration(float duration, float startValue,
                                                                   float endValue) {
    return actionWithDuration(duration, "pan", startValue, endValue);
}

RefPtr<OALPropertyAction> OALPropertyAction::gainActionWithDuration(float duration, float endValue) {
    return actionWithDuration(duration, "gain", endValue);
}

RefPtr<OALPropertyAction> OALPropertyAction::gainActionWithDuration(float duration, float startValue,
                                                                    float endValue) {
    return actionWithDuration(duration, "gain", startValue, endValue);
}

OALPropertyAction::OALPropertyAction(float duration, std::string propertyKey, float endValue)
    : OALAction(duration), propertyKey_(std::move(propertyKey)), startFromTarget_(true), startValue_(0),
      endValue_(endValue) {}

OALPropertyAction::OALPropertyAction(float duration, std::string propertyKey, float startValue, float endValue)
    : OALAction(duration), propertyKey_(std::move(propertyKey)), startFromTarget_(false), startValue_(startValue),
      endValue_(endValue) {}

void OALPropertyAction::prepareWithTarget(OALActionTarget* target) {
    OALAction::prepareWithTarget(target);
    if (startFromTarget_) startValue_ = target->floatProperty(propertyKey_);
    delta_ = endValue_ - startValue_;
}

void OALPropertyAction::updateCompletion(float proportionComplete) {
    target_->setFloatProperty(propertyKey_, startValue_ + delta_ * proportionComplete);
}
