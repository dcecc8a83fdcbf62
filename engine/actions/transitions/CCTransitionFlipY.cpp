#include "engine/actions/transitions/CCTransitionFlipY.h"

RefPtr<CCTransitionFlipY> CCTransitionFlipY::transitionWithDuration(float duration, RefPtr<CCScene> scene,
                                                                    CCTransitionOrientation orientation) {
    return makeTransition<CCTransitionFlipY>(duration, std::move(scene), orientation);
}

void CCTransitionFlipY::onEnter() {
    CCTransitionSceneOriented::onEnter();
    runFlip(orientation_ == kCCOrientationFromAbove, 90, 90, false);
}
