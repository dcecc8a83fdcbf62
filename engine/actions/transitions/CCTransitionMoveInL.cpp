#include "engine/actions/transitions/CCTransitionMoveInL.h"

#include "engine/actions/composite/CCSequence.h"
#include "engine/actions/ease/CCEaseOut.h"
#include "engine/actions/interval/CCMoveTo.h"
#include "engine/core/CCDirector.h"

RefPtr<CCTransitionMoveInL> CCTransitionMoveInL::transitionWithDuration(float duration, RefPtr<CCScene> scene) {
    return makeTransition<CCTransitionMoveInL>(duration, std::move(scene));
}

void CCTransitionMoveInL::onEnter() {
    CCTransitionScene::onEnter();
    initScenes();
    runOnInScene(CCSequence::actions({easeActionWithAction(action()), finishAction()}));
}

void CCTransitionMoveInL::initScenes() {
    inScene_->setPosition(CGPointMake(-CCDirector::sharedDirector()->winSize().width, 0));
}

RefPtr<CCActionInterval> CCTransitionMoveInL::action() { return CCMoveTo::actionWithDuration(duration_, CGPointZero); }

RefPtr<CCActionInterval> CCTransitionMoveInL::easeActionWithAction(RefPtr<CCActionInterval> action) {
    return CCEaseOut::actionWithAction(std::move(action), 2);
}
