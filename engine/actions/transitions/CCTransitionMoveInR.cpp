#include "engine/actions/transitions/CCTransitionMoveInR.h"

#include "engine/core/CCDirector.h"

RefPtr<CCTransitionMoveInR> CCTransitionMoveInR::transitionWithDuration(float duration, RefPtr<CCScene> scene) {
    return makeTransition<CCTransitionMoveInR>(duration, std::move(scene));
}

void CCTransitionMoveInR::initScenes() {
    inScene_->setPosition(CGPointMake(CCDirector::sharedDirector()->winSize().width, 0));
}
