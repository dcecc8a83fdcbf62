#include "engine/actions/transitions/CCTransitionProgressInOut.h"

RefPtr<CCTransitionProgressInOut> CCTransitionProgressInOut::transitionWithDuration(float duration,
                                                                                    RefPtr<CCScene> scene) {
    return makeTransition<CCTransitionProgressInOut>(duration, std::move(scene));
}

void CCTransitionProgressInOut::setupTransition() {
    sceneToBeModified_ = inScene_.get();
    from_ = 0;
    to_ = 100;
}

RefPtr<CCProgressTimer> CCTransitionProgressInOut::progressTimerNodeWithRenderTexture(CCRenderTexture* texture) {
    return barTimer(texture, CGPointMake(0.5, 0.5), CGPointMake(1, 1), 0);
}
