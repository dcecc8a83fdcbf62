#include "engine/actions/instant/CCPlace.h"

#include "engine/core/CCNode.h"

RefPtr<CCPlace> CCPlace::actionWithPosition(CGPoint position) {
    RefPtr<CCPlace> place = makeRef<CCPlace>();
    place->initWithPosition(position);
    return place;
}

bool CCPlace::initWithPosition(CGPoint position) {
    CCActionInstant::init();
    position_ = position;
    return true;
}

RefPtr<CCAction> CCPlace::copy() const {
    RefPtr<CCPlace> copy(makeEmptyCopy());
    copy->initWithPosition(position_);
    return copy;
}

void CCPlace::startWithTarget(Object* target) {
    CCActionInstant::startWithTarget(target);
    node_ = dynamic_cast<CCNode*>(target);
}

void CCPlace::update(float) {
    if (node_) node_->setPosition(position_);
}
