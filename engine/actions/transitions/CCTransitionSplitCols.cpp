#include "engine/actions/transitions/CCTransitionSplitCols.h"

#include "engine/actions/composite/CCSequence.h"
#include "engine/actions/ease/CCEaseInOut.h"
#include "engine/actions/grid/CCSplitCols.h"
#include "engine/actions/grid/CCStopGrid.h"

RefPtr<CCTransitionSplitCols> CCTransitionSplitCols::transitionWithDuration(float duration, RefPtr<CCScene> scene) {
    return makeTransition<CCTransitionSplitCols>(duration, std::move(scene));
}

void CCTransitionSplitCols::onEnter() {
    CCTransitionScene::onEnter();
    inScene_->setVisible(false);
    const RefPtr<CCActionInterval> split = action();
    const RefPtr<CCSequence> apartAndBack =
        CCSequence::actionOne(CCSequence::actionOne(split, hideOutShowInAction()), split->reverse());
    runAction(CCSequence::actions({easeActionWithAction(apartAndBack), finishAction(), CCStopGrid::action()}).get());
}

RefPtr<CCActionInterval> CCTransitionSplitCols::action() { return CCSplitCols::actionWithCols(3, duration_ / 2); }

RefPtr<CCActionInterval> CCTransitionSplitCols::easeActionWithAction(RefPtr<CCActionInterval> action) {
    return CCEaseInOut::actionWithAction(std::move(action), 3);
}
