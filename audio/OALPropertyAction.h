#pragma once

#include <string>

#include "audio/OALAction.h"

// Moves one float property of the target ("gain", "pan", "pitch") linearly from a start value to
// an end value. Without a start value the action starts from the property's value at the time it
// is prepared, read again each time it runs.
class OALPropertyAction : public OALAction {
public:
    // From the target's current value to `endValue` over `duration` seconds.
    static RefPtr<OALPropertyAction> actionWithDuration(float duration, std::string propertyKey, float endValue);
    // From `startValue` to `endValue` over `duration` seconds.
    static RefPtr<OALPropertyAction> actionWithDuration(float duration, std::string propertyKey, float startValue,
                                                        float endValue);

    // The same for the keys "pitch", "pan" and "gain".
    static RefPtr<OALPropertyAction> pitchActionWithDuration(float duration, float endValue);
    static RefPtr<OALPropertyAction> pitchActionWithDuration(float duration, float startValue, float endValue);
    static RefPtr<OALPropertyAction> panActionWithDuration(float duration, float endValue);
    static RefPtr<OALPropertyAction> panActionWithDuration(float duration, float startValue, float endValue);
    static RefPtr<OALPropertyAction> gainActionWithDuration(float duration, float endValue);
    static RefPtr<OALPropertyAction> gainActionWithDuration(float duration, float startValue, float endValue);

    // As the two general factories.
    OALPropertyAction(float duration, std::string propertyKey, float endValue);
    OALPropertyAction(float duration, std::string propertyKey, float startValue, float endValue);

    // Reads the start value from the target when none was given.
    void prepareWithTarget(OALActionTarget* target) override;
    // Sets the property to start + (end - start) x proportionComplete.
    void updateCompletion(float proportionComplete) override;

private:
    const std::string propertyKey_;
    const bool startFromTarget_;  // no start value was given
    float startValue_;            // valid once prepared
    const float endValue_;
    float delta_ = 0;  // end - start, once prepared
};
