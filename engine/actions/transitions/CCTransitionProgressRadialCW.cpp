#include "engine/actions/transitions/CCTransitionProgressRadialCW.h"

RefPtr<CCTransitionProgressRadialCW> CCTransitionProgressRadialCW::transitionWithDuration(float duration,
                                                                                          RefPtr<CCScene> scene) {
    return makeTransition<CCTransitionProgressRadialCW>(duration, std::move(scene));
}

RefPtr<CCProgressTimer> CCTransitionProgressRadialCW::progressTimerNodeWithRenderTexture(CCRenderTexture* texture) {
    return radialTimer(texture, true);
}
