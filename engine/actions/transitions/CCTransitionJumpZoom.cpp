#include "engine/actions/transitions/CCTransitionJumpZoom.h"

#include "engine/actions/composite/CCDelayTime.h"
#include "engine/actions/composite/CCSequence.h"
#include "engine/actions/interval/CCJumpBy.h"
#include "engine/actions/interval/CCScaleTo.h"
#include "engine/core/CCDirector.h"

RefPtr<CCTransitionJumpZoom> CCTransitionJumpZoom::transitionWithDuration(float duration, RefPtr<CCScene> scene) {
    return makeTransition<CCTransitionJumpZoom>(duration, std::move(scene));
}

void CCTransitionJumpZoom::onEnter() {
    CCTransitionScene::onEnter();
    const CGSize size = CCDirector::sharedDirector()->winSize();
    const float quarter = duration_ / 4;
    inScene_->setScale(0.5);
    inScene_->setPosition(CGPointMake(size.width, 0));
    inScene_->setAnchorPoint(CGPointMake(0.5, 0.5));
    outScene_->setAnchorPoint(CGPointMake(0.5, 0.5));

    const RefPtr<CCFiniteTimeAction> jump =
        CCJumpBy::actionWithDuration(quarter, CGPointMake(-size.width, 0), static_cast<float>(size.width / 4), 2);
    runOnOutScene(CCSequence::actions({CCScaleTo::actionWithDuration(quarter, 0.5), jump}));
    // A copy: one frame may end the outgoing scene's jump and start the incoming one's, in either
    // order.
    runOnInScene(
        CCSequence::actions({CCDelayTime::actionWithDuration(duration_ / 2), refCast<CCFiniteTimeAction>(jump->copy()),
                             CCScaleTo::actionWithDuration(quarter, 1), finishAction()}));
}
