#include "engine/actions/transitions/CCTransitionZoomFlipAngular.h"

RefPtr<CCTransitionZoomFlipAngular> CCTransitionZoomFlipAngular::transitionWithDuration(
    float duration, RefPtr<CCScene> scene, CCTransitionOrientation orientation) {
    return makeTransition<CCTransitionZoomFlipAngular>(duration, std::move(scene), orientation);
}

void CCTransitionZoomFlipAngular::onEnter() {
    CCTransitionSceneOriented::onEnter();
    runFlip(orientation_ == kCCOrientationFromRight, -45, 45, true);
}
