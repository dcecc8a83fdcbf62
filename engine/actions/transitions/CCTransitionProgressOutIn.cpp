#include "engine/actions/transitions/CCTransitionProgressOutIn.h"

RefPtr<CCTransitionProgressOutIn> CCTransitionProgressOutIn::transitionWithDuration(float duration,
                                                                                    RefPtr<CCScene> scene) {
    return makeTransition<CCTransitionProgressOutIn>(duration, std::move(scene));
}

RefPtr<CCProgressTimer> CCTransitionProgressOutIn::progressTimerNodeWithRenderTexture(CCRenderTexture* texture) {
    return barTimer(texture, CGPointMake(0.5, 0.5), CGPointMake(1, 1), 100);
}
