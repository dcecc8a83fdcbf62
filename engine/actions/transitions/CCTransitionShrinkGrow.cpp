#include "engine/actions/transitions/CCTransitionShrinkGrow.h"

#include "engine/actions/composite/CCSequence.h"
#include "engine/actions/ease/CCEaseOut.h"
#include "engine/actions/interval/CCScaleTo.h"

RefPtr<CCTransitionShrinkGrow> CCTransitionShrinkGrow::transitionWithDuration(float duration, RefPtr<CCScene> scene) {
    return makeTransition<CCTransitionShrinkGrow>(duration, std::move(scene));
}

void CCTransitionShrinkGrow::onEnter() {
    CCTransitionScene::onEnter();
    inScene_->setScale(0.001f);
    outScene_->setScale(1);
    inScene_->setAnchorPoint(CGPointMake(2.0 / 3, 0.5));
    outScene_->setAnchorPoint(CGPointMake(1.0 / 3, 0.5));
    runOnInScene(easeActionWithAction(CCScaleTo::actionWithDuration(duration_, 1)));
    runOnOutScene(
        CCSequence::actions({easeActionWithAction(CCScaleTo::actionWithDuration(duration_, 0.01f)), finishAction()}));
}

RefPtr<CCActionInterval> CCTransitionShrinkGrow::easeActionWithAction(RefPtr<CCActionInterval> action) {
    return CCEaseOut::actionWithAction(std::move(action), 2);
}
