#include "engine/actions/transitions/CCTransitionProgressVertical.h"

RefPtr<CCTransitionProgressVertical> CCTransitionProgressVertical::transitionWithDuration(float duration,
                                                                                          RefPtr<CCScene> scene) {
    return makeTransition<CCTransitionProgressVertical>(duration, std::move(scene));
}

RefPtr<CCProgressTimer> CCTransitionProgressVertical::progressTimerNodeWithRenderTexture(CCRenderTexture* texture) {
    return barTimer(texture, CGPointMake(0, 0), CGPointMake(0, 1), 100);
}
