#include "engine/actions/transitions/CCTransitionFadeUp.h"

#include "engine/actions/grid/CCFadeOutUpTiles.h"

RefPtr<CCTransitionFadeUp> CCTransitionFadeUp::transitionWithDuration(float duration, RefPtr<CCScene> scene) {
    return makeTransition<CCTransitionFadeUp>(duration, std::move(scene));
}

RefPtr<CCActionInterval> CCTransitionFadeUp::actionWithSize(ccGridSize size) {
    return CCFadeOutUpTiles::actionWithSize(size, duration_);
}
