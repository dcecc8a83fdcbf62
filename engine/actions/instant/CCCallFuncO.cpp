#include "engine/actions/instant/CCCallFuncO.h"

RefPtr<CCCallFuncO> CCCallFuncO::actionWithTarget(RefPtr<Object> target, SEL_CallFuncO selector,
                                                  RefPtr<Object> object) {
    RefPtr<CCCallFuncO> call = makeRef<CCCallFuncO>();
    call->initWithTarget(std::move(target), selector, std::move(object));
    return call;
}

bool CCCallFuncO::initWithTarget(RefPtr<Object> target, SEL_CallFuncO selector, RefPtr<Object> object) {
    initWithCallback(std::move(target), selector);
    setObject(std::move(object));
    return true;
}

RefPtr<CCAction> CCCallFuncO::copy() const {
    RefPtr<CCCallFuncO> copy(makeEmptyCopy());
    copy->initWithTarget(targetCallback_, std::get<SEL_CallFuncO>(selector_), object_);
    return copy;
}

void CCCallFuncO::execute() {
    if (targetCallback_) (targetCallback_.get()->*std::get<SEL_CallFuncO>(selector_))(object_.get());
}
