#include "engine/actions/transitions/CCTransitionMoveInB.h"

#include "engine/core/CCDirector.h"

RefPtr<CCTransitionMoveInB> CCTransitionMoveInB::transitionWithDuration(float duration, RefPtr<CCScene> scene) {
    return makeTransition<CCTransitionMoveInB>(duration, std::move(scene));
}

void CCTransitionMoveInB::initScenes() {
    inScene_->setPosition(CGPointMake(0, -CCDirector::sharedDirector()->winSize().height));
}
