#include "engine/actions/instant/CCToggleVisibility.h"

#include "engine/core/CCNode.h"

RefPtr<CCToggleVisibility> CCToggleVisibility::action() {
    RefPtr<CCToggleVisibility> action = makeRef<CCToggleVisibility>();
    action->init();
    return action;
}

void CCToggleVisibility::startWithTarget(Object* target) {
    CCActionInstant::startWithTarget(target);
    node_ = dynamic_cast<CCNode*>(target);
}

void CCToggleVisibility::update(float) {
    if (node_) node_->setVisible(!node_->visible());
}
