#include "engine/actions/transitions/CCTransitionFlipX.h"

RefPtr<CCTransitionFlipX> CCTransitionFlipX::transitionWithDuration(float duration, RefPtr<CCScene> scene,
                                                                    CCTransitionOrientation orientation) {
    return makeTransition<CCTransitionFlipX>(duration, std::move(scene), orientation);
}

void CCTransitionFlipX::onEnter() {
    CCTransitionSceneOriented::onEnter();
    runFlip(orientation_ == kCCOrientationFromRight, 0, 0, false);
}
