#include "engine/actions/transitions/CCTransitionZoomFlipY.h"

RefPtr<CCTransitionZoomFlipY> CCTransitionZoomFlipY::transitionWithDuration(float duration, RefPtr<CCScene> scene,
                                                                            CCTransitionOrientation orientation) {
    return makeTransition<CCTransitionZoomFlipY>(duration, std::move(scene), orientation);
}

void CCTransitionZoomFlipY::onEnter() {
    CCTransitionSceneOriented::onEnter();
    runFlip(orientation_ == kCCOrientationFromAbove, 90, 90, true);
}
