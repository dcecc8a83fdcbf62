#include "engine/actions/transitions/CCTransitionSlideInR.h"

#include "engine/core/CCDirector.h"

RefPtr<CCTransitionSlideInR> CCTransitionSlideInR::transitionWithDuration(float duration, RefPtr<CCScene> scene) {
    return makeTransition<CCTransitionSlideInR>(duration, std::move(scene));
}

void CCTransitionSlideInR::sceneOrder() { inSceneOnTop_ = true; }

CGPoint CCTransitionSlideInR::slideOffset() const {
    return CGPointMake(-(CCDirector::sharedDirector()->winSize().width - 0.5), 0);
}
