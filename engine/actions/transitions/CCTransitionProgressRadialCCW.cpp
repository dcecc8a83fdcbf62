#include "engine/actions/transitions/CCTransitionProgressRadialCCW.h"

RefPtr<CCTransitionProgressRadialCCW> CCTransitionProgressRadialCCW::transitionWithDuration(float duration,
                                                                                            RefPtr<CCScene> scene) {
    return makeTransition<CCTransitionProgressRadialCCW>(duration, std::move(scene));
}

RefPtr<CCProgressTimer> CCTransitionProgressRadialCCW::progressTimerNodeWithRenderTexture(CCRenderTexture* texture) {
    return radialTimer(texture, false);
}
