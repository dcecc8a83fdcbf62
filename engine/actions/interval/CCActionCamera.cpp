#include "engine/actions/interval/CCActionCamera.h"

#include "engine/actions/composite/CCReverseTime.h"
#include "engine/core/CCNode.h"

void CCActionCamera::startWithTarget(Object* target) {
    CCActionInterval::startWithTarget(target);
    node_ = dynamic_cast<CCNode*>(target);
    if (!node_) return;
    const CCCamera* camera = node_->camera();
    camera->centerX(&centerXOrig_, &centerYOrig_, &centerZOrig_);
    camera->eyeX(&eyeXOrig_, &eyeYOrig_, &eyeZOrig_);
    camera->upX(&upXOrig_, &upYOrig_, &upZOrig_);
}

RefPtr<CCFiniteTimeAction> CCActionCamera::reverse() const {
    return CCReverseTime::actionWithAction(refCast<CCFiniteTimeAction>(copy()));
}
