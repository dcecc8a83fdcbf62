#include "engine/actions/transitions/CCTransitionProgressHorizontal.h"

RefPtr<CCTransitionProgressHorizontal> CCTransitionProgressHorizontal::transitionWithDuration(float duration,
                                                                                              RefPtr<CCScene> scene) {
    return makeTransition<CCTransitionProgressHorizontal>(duration, std::move(scene));
}

RefPtr<CCProgressTimer> CCTransitionProgressHorizontal::progressTimerNodeWithRenderTexture(CCRenderTexture* texture) {
    return barTimer(texture, CGPointMake(1, 0), CGPointMake(1, 0), 100);
}
