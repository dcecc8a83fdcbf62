#include "engine/actions/instant/CCCallFunc.h"

#include <cstring>

#include "platform/foundation/NamedException.h"
#include "platform/foundation/StringUtils.h"

RefPtr<CCCallFunc> CCCallFunc::actionWithTarget(RefPtr<Object> target, SEL_CallFunc selector) {
    RefPtr<CCCallFunc> call = makeRef<CCCallFunc>();
    call->initWithTarget(std::move(target), selector);
    return call;
}

bool CCCallFunc::initWithTarget(RefPtr<Object> target, SEL_CallFunc selector) {
    return initWithCallback(std::move(target), selector);
}

bool CCCallFunc::initWithCallback(RefPtr<Object> target, CCCallSelector selector) {
    CC_REQUIRE(std::visit([](auto method) { return method != nullptr; }, selector), "NSInvalidArgumentException",
               "a call action needs a selector");
    CCActionInstant::init();
    setTargetCallback(std::move(target));
    selector_ = selector;
    return true;
}

std::string CCCallFunc::description() const {
    const void* method = nullptr;
    std::visit(
        [&method](auto selector) {
            static_assert(sizeof selector >= sizeof method);
            std::memcpy(&method, &selector, sizeof method);
        },
        selector_);
    return stringWithFormat("<%s = %p | Tag = %lld | selector = (%p)>", className(*this).c_str(),
                            static_cast<const void*>(this), static_cast<long long>(tag_), method);
}

RefPtr<CCAction> CCCallFunc::copy() const {
    RefPtr<CCCallFunc> copy(makeEmptyCopy());
    copy->initWithCallback(targetCallback_, selector_);
    return copy;
}

void CCCallFunc::update(float) {
    execute();
}

void CCCallFunc::execute() {
    if (targetCallback_) (targetCallback_.get()->*std::get<SEL_CallFunc>(selector_))();
}
