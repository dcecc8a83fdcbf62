#include "engine/actions/transitions/CCTransitionFlipAngular.h"

RefPtr<CCTransitionFlipAngular> CCTransitionFlipAngular::transitionWithDuration(float duration, RefPtr<CCScene> scene,
                                                                                CCTransitionOrientation orientation) {
    return makeTransition<CCTransitionFlipAngular>(duration, std::move(scene), orientation);
}

void CCTransitionFlipAngular::onEnter() {
    CCTransitionSceneOriented::onEnter();
    runFlip(orientation_ == kCCOrientationFromRight, -45, 45, false);
}
