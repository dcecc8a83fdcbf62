#include "engine/actions/instant/CCCallFuncN.h"

#include "engine/core/CCNode.h"

RefPtr<CCCallFuncN> CCCallFuncN::actionWithTarget(RefPtr<Object> target, SEL_CallFuncN selector) {
    RefPtr<CCCallFuncN> call = makeRef<CCCallFuncN>();
    call->initWithTarget(std::move(target), selector);
    return call;
}

bool CCCallFuncN::initWithTarget(RefPtr<Object> target, SEL_CallFuncN selector) {
    return initWithCallback(std::move(target), selector);
}

void CCCallFuncN::startWithTarget(Object* target) {
    CCCallFunc::startWithTarget(target);
    node_ = dynamic_cast<CCNode*>(target);
}

void CCCallFuncN::execute() {
    if (targetCallback_) (targetCallback_.get()->*std::get<SEL_CallFuncN>(selector_))(node_);
}
