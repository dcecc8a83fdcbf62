#include "engine/actions/instant/CCCallFuncND.h"

#include "platform/foundation/NamedException.h"

RefPtr<CCCallFuncND> CCCallFuncND::actionWithTarget(RefPtr<Object> target, SEL_CallFuncND selector, void* data) {
    RefPtr<CCCallFuncND> call = makeRef<CCCallFuncND>();
    call->initWithTarget(std::move(target), selector, data);
    return call;
}

bool CCCallFuncND::initWithTarget(RefPtr<Object> target, SEL_CallFuncND selector, void* data) {
    initWithCallback(std::move(target), selector);
    data_ = data;
    callbackMethod_ = selector;
    return true;
}

void CCCallFuncND::setCallbackMethod(SEL_CallFuncND method) {
    CC_REQUIRE(method, "NSInvalidArgumentException", "a call action needs a method to call");
    callbackMethod_ = method;
}

RefPtr<CCAction> CCCallFuncND::copy() const {
    RefPtr<CCCallFuncND> copy(makeEmptyCopy());
    copy->initWithTarget(targetCallback_, std::get<SEL_CallFuncND>(selector_), data_);
    return copy;
}

void CCCallFuncND::execute() {
    if (targetCallback_) (targetCallback_.get()->*callbackMethod_)(node_, data_);
}
