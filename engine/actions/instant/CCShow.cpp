#include "engine/actions/instant/CCShow.h"

#include "engine/actions/instant/CCHide.h"
#include "engine/core/CCNode.h"

RefPtr<CCShow> CCShow::action() {
    RefPtr<CCShow> action = makeRef<CCShow>();
    action->init();
    return action;
}

void CCShow::startWithTarget(Object* target) {
    CCActionInstant::startWithTarget(target);
    node_ = dynamic_cast<CCNode*>(target);
}

void CCShow::update(float) {
    if (node_) node_->setVisible(true);
}

RefPtr<CCFiniteTimeAction> CCShow::reverse() const {
    return CCHide::action();
}
