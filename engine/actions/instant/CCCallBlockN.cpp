#include "engine/actions/instant/CCCallBlockN.h"

#include "engine/core/CCNode.h"
#include "platform/foundation/NamedException.h"

RefPtr<CCCallBlockN> CCCallBlockN::actionWithBlock(std::function<void(CCNode*)> block) {
    RefPtr<CCCallBlockN> call = makeRef<CCCallBlockN>();
    call->initWithBlock(std::move(block));
    return call;
}

bool CCCallBlockN::initWithBlock(std::function<void(CCNode*)> block) {
    CC_REQUIRE(block, "NSInvalidArgumentException", "a call action needs a block");
    CCActionInstant::init();
    block_ = std::move(block);
    return true;
}

RefPtr<CCAction> CCCallBlockN::copy() const {
    RefPtr<CCCallBlockN> copy(makeEmptyCopy());
    copy->initWithBlock(block_);
    return copy;
}

void CCCallBlockN::startWithTarget(Object* target) {
    CCActionInstant::startWithTarget(target);
    node_ = dynamic_cast<CCNode*>(target);
}

void CCCallBlockN::update(float) {
    execute();
}

void CCCallBlockN::execute() {
    block_(node_);
}
