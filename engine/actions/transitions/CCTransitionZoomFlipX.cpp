#include "engine/actions/transitions/CCTransitionZoomFlipX.h"

RefPtr<CCTransitionZoomFlipX> CCTransitionZoomFlipX::transitionWithDuration(float duration, RefPtr<CCScene> scene,
                                                                            CCTransitionOrientation orientation) {
    return makeTransition<CCTransitionZoomFlipX>(duration, std::move(scene), orientation);
}

void CCTransitionZoomFlipX::onEnter() {
    CCTransitionSceneOriented::onEnter();
    runFlip(orientation_ == kCCOrientationFromRight, 0, 0, true);
}
