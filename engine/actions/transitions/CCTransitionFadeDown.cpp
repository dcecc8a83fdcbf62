#include "engine/actions/transitions/CCTransitionFadeDown.h"

#include "engine/actions/grid/CCFadeOutDownTiles.h"

RefPtr<CCTransitionFadeDown> CCTransitionFadeDown::transitionWithDuration(float duration, RefPtr<CCScene> scene) {
    return makeTransition<CCTransitionFadeDown>(duration, std::move(scene));
}

RefPtr<CCActionInterval> CCTransitionFadeDown::actionWithSize(ccGridSize size) {
    return CCFadeOutDownTiles::actionWithSize(size, duration_);
}
