#include "audio/OALEaseAction.h"

#include <cmath>

#include "platform/foundation/NamedException.h"

namespace {

// All in 32-bit floats.
constexpr float kHalfPi = 1.5707964f;
constexpr float kPi = 3.1415927f;

float sineIn(float t) { return 1 - std::cos(t * kHalfPi); }
float sineOut(float t) { return std::sin(t * kHalfPi); }
float sineInOut(float t) { return -0.5f * (std::cos(t * kPi) - 1); }

// The exponential curves are exact at their ends, which the formulas alone miss (by 2^-10 for in
// and out).
float exponentialIn(float t) { return t == 0 ? 0 : std::exp2(10 * (t - 1)); }
float exponentialOut(float t) { return t == 1 ? 1 : 1 - std::exp2(-10 * t); }
// Both halves give about 0.5 at t = 0.5.
float exponentialInOut(float t) {
    if (t < 0.5f) return t == 0 ? 0 : 10 * std::exp2(12 * (t - 0.86f));
    return t == 1 ? 1 : 1 - std::exp2(-12 * (t - 0.4165f));
}

// Entry shape x 3 + phase.
constexpr OALEaseFunction kEaseFunctions[] = {sineIn,        sineOut,        sineInOut,
                                              exponentialIn, exponentialOut, exponentialInOut};

}  // namespace

OALEaseFunction OALEaseAction::easeFunctionForShape(int shape, int phase) {
    CC_REQUIRE(shape >= OALEaseShapeSine && shape <= OALEaseShapeExponential && phase >= OALEasePhaseIn &&
                   phase <= OALEasePhaseInOut,
               "NSInvalidArgumentException", "OALEaseAction: no curve of shape %d and phase %d", shape, phase);
    return kEaseFunctions[shape * 3 + phase];
}

RefPtr<OALEaseAction> OALEaseAction::actionWithShape(int shape, int phase, RefPtr<OALAction> action) {
    return makeRef<OALEaseAction>(shape, phase, std::move(action));
}

OALEaseAction::OALEaseAction(int shape, int phase, RefPtr<OALAction> action)
    : OALAction(action ? action->duration() : 0), action_(std::move(action)),
      easeFunction_(easeFunctionForShape(shape, phase)) {
    CC_REQUIRE(action_, "NSInvalidArgumentException", "OALEaseAction: no action to ease");
}

void OALEaseAction::prepareWithTarget(OALActionTarget* target) {
    OALAction::prepareWithTarget(target);
    action_->prepareWithTarget(target);
    duration_ = action_->duration();
}

void OALEaseAction::startAction() {
    action_->startAction();
    OALAction::startAction();
}

void OALEaseAction::updateCompletion(float proportionComplete) {
    action_->updateCompletion(easeFunction_(proportionComplete));
}

void OALEaseAction::stopAction() {
    action_->stopAction();
    OALAction::stopAction();
}
