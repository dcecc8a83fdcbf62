#include "engine/actions/transitions/CCTransitionSlideInB.h"

#include "engine/core/CCDirector.h"

RefPtr<CCTransitionSlideInB> CCTransitionSlideInB::transitionWithDuration(float duration, RefPtr<CCScene> scene) {
    return makeTransition<CCTransitionSlideInB>(duration, std::move(scene));
}

void CCTransitionSlideInB::sceneOrder() { inSceneOnTop_ = true; }

CGPoint CCTransitionSlideInB::slideOffset() const {
    return CGPointMake(0, CCDirector::sharedDirector()->winSize().height - 0.5);
}
