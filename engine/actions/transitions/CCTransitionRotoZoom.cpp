#include "engine/actions/transitions/CCTransitionRotoZoom.h"

#include "engine/actions/composite/CCDelayTime.h"
#include "engine/actions/composite/CCSequence.h"
#include "engine/actions/composite/CCSpawn.h"
#include "engine/actions/interval/CCRotateBy.h"
#include "engine/actions/interval/CCScaleBy.h"

RefPtr<CCTransitionRotoZoom> CCTransitionRotoZoom::transitionWithDuration(float duration, RefPtr<CCScene> scene) {
    return makeTransition<CCTransitionRotoZoom>(duration, std::move(scene));
}

void CCTransitionRotoZoom::onEnter() {
    CCTransitionScene::onEnter();
    const float half = duration_ / 2;
    inScene_->setScale(0.001f);
    outScene_->setScale(1);
    inScene_->setAnchorPoint(CGPointMake(0.5, 0.5));
    outScene_->setAnchorPoint(CGPointMake(0.5, 0.5));

    const RefPtr<CCFiniteTimeAction> spinAway = CCSequence::actions(
        {CCSpawn::actions({CCScaleBy::actionWithDuration(half, 0.001f), CCRotateBy::actionWithDuration(half, 720)}),
         CCDelayTime::actionWithDuration(half)});
    runOnOutScene(spinAway);
    // Waits the first half, then scales by 1000 while turning back by 720 degrees.
    runOnInScene(CCSequence::actions({spinAway->reverse(), finishAction()}));
}
