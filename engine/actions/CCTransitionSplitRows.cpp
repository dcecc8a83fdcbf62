#include "engine/actions/CCTransitionSplitRows.h"

#include "engine/actions/CCSplitRows.h"

RefPtr<CCTransitionSplitRows> CCTransitionSplitRows::transitionWithDuration(float duration, RefPtr<CCScene> scene) {
    return makeTransition<CCTransitionSplitRows>(duration, std::move(scene));
}

RefPtr<CCActionInterval> CCTransitionSplitRows::action() { return CCSplitRows::actionWithRows(3, duration_ / 2); }
