#include "engine/actions/instant/CCHide.h"

#include "engine/actions/instant/CCShow.h"
#include "engine/core/CCNode.h"

RefPtr<CCHide> CCHide::action() {
    RefPtr<CCHide> action = makeRef<CCHide>();
    action->init();
    return action;
}

void CCHide::startWithTarget(Object* target) {
    CCActionInstant::startWithTarget(target);
    node_ = dynamic_cast<CCNode*>(target);
}

void CCHide::update(float) {
    if (node_) node_->setVisible(false);
}

RefPtr<CCFiniteTimeAction> CCHide::reverse() const {
    return CCShow::action();
}
