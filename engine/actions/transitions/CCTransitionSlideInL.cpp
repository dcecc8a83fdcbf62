#include "engine/actions/transitions/CCTransitionSlideInL.h"

#include "engine/actions/composite/CCSequence.h"
#include "engine/actions/ease/CCEaseOut.h"
#include "engine/actions/interval/CCMoveBy.h"
#include "engine/core/CCDirector.h"

RefPtr<CCTransitionSlideInL> CCTransitionSlideInL::transitionWithDuration(float duration, RefPtr<CCScene> scene) {
    return makeTransition<CCTransitionSlideInL>(duration, std::move(scene));
}

void CCTransitionSlideInL::sceneOrder() { inSceneOnTop_ = false; }

void CCTransitionSlideInL::onEnter() {
    CCTransitionScene::onEnter();
    initScenes();
    runOnInScene(easeActionWithAction(action()));
    runOnOutScene(CCSequence::actions({easeActionWithAction(action()), finishAction()}));
}

void CCTransitionSlideInL::initScenes() {
    const CGPoint offset = slideOffset();
    inScene_->setPosition(CGPointMake(-offset.x, -offset.y));
}

RefPtr<CCActionInterval> CCTransitionSlideInL::action() {
    return CCMoveBy::actionWithDuration(duration_, slideOffset());
}

RefPtr<CCActionInterval> CCTransitionSlideInL::easeActionWithAction(RefPtr<CCActionInterval> action) {
    return CCEaseOut::actionWithAction(std::move(action), 2);
}

CGPoint CCTransitionSlideInL::slideOffset() const {
    return CGPointMake(CCDirector::sharedDirector()->winSize().width - 0.5, 0);
}
