#include "engine/actions/transitions/CCTransitionSplitRows.h"

#include "engine/actions/grid/CCSplitRows.h"

RefPtr<CCTransitionSplitRows> CCTransitionSplitRows::transitionWithDuration(float duration, RefPtr<CCScene> scene) {
    return makeTransition<CCTransitionSplitRows>(duration, std::move(scene));
}

RefPtr<CCActionInterval> CCTransitionSplitRows::action() { return CCSplitRows::actionWithRows(3, duration_ / 2); }
