#include "engine/actions/transitions/CCTransitionMoveInT.h"

#include "engine/core/CCDirector.h"

RefPtr<CCTransitionMoveInT> CCTransitionMoveInT::transitionWithDuration(float duration, RefPtr<CCScene> scene) {
    return makeTransition<CCTransitionMoveInT>(duration, std::move(scene));
}

void CCTransitionMoveInT::initScenes() {
    inScene_->setPosition(CGPointMake(0, CCDirector::sharedDirector()->winSize().height));
}
