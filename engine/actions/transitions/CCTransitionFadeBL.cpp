#include "engine/actions/transitions/CCTransitionFadeBL.h"

#include "engine/actions/grid/CCFadeOutBLTiles.h"

RefPtr<CCTransitionFadeBL> CCTransitionFadeBL::transitionWithDuration(float duration, RefPtr<CCScene> scene) {
    return makeTransition<CCTransitionFadeBL>(duration, std::move(scene));
}

RefPtr<CCActionInterval> CCTransitionFadeBL::actionWithSize(ccGridSize size) {
    return CCFadeOutBLTiles::actionWithSize(size, duration_);
}
