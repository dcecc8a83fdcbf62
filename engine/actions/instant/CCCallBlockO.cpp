#include "engine/actions/instant/CCCallBlockO.h"

#include "platform/foundation/NamedException.h"

RefPtr<CCCallBlockO> CCCallBlockO::actionWithBlock(std::function<void(Object*)> block, RefPtr<Object> object) {
    RefPtr<CCCallBlockO> call = makeRef<CCCallBlockO>();
    call->initWithBlock(std::move(block), std::move(object));
    return call;
}

bool CCCallBlockO::initWithBlock(std::function<void(Object*)> block, RefPtr<Object> object) {
    CC_REQUIRE(block, "NSInvalidArgumentException", "a call action needs a block");
    CCActionInstant::init();
    block_ = std::move(block);
    setObject(std::move(object));
    return true;
}

RefPtr<CCAction> CCCallBlockO::copy() const {
    RefPtr<CCCallBlockO> copy(makeEmptyCopy());
    copy->initWithBlock(block_, object_);
    return copy;
}

void CCCallBlockO::update(float) {
    execute();
}

void CCCallBlockO::execute() {
    block_(object_.get());
}
