#include "engine/actions/transitions/CCTransitionSlideInT.h"

#include "engine/core/CCDirector.h"

RefPtr<CCTransitionSlideInT> CCTransitionSlideInT::transitionWithDuration(float duration, RefPtr<CCScene> scene) {
    return makeTransition<CCTransitionSlideInT>(duration, std::move(scene));
}

CGPoint CCTransitionSlideInT::slideOffset() const {
    return CGPointMake(0, -(CCDirector::sharedDirector()->winSize().height - 0.5));
}
