#include "engine/actions/instant/CCCallBlock.h"

#include "platform/foundation/NamedException.h"

RefPtr<CCCallBlock> CCCallBlock::actionWithBlock(std::function<void()> block) {
    RefPtr<CCCallBlock> call = makeRef<CCCallBlock>();
    call->initWithBlock(std::move(block));
    return call;
}

bool CCCallBlock::initWithBlock(std::function<void()> block) {
    CC_REQUIRE(block, "NSInvalidArgumentException", "a call action needs a block");
    CCActionInstant::init();
    block_ = std::move(block);
    return true;
}

RefPtr<CCAction> CCCallBlock::copy() const {
    RefPtr<CCCallBlock> copy(makeEmptyCopy());
    copy->initWithBlock(block_);
    return copy;
}

void CCCallBlock::update(float) {
    execute();
}

void CCCallBlock::execute() {
    block_();
}
