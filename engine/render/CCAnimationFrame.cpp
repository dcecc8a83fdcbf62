#include "engine/render/CCAnimationFrame.h"

#include "platform/foundation/StringUtils.h"
#include "platform/foundation/Value.h"

RefPtr<CCAnimationFrame> CCAnimationFrame::frameWithSpriteFrame(RefPtr<CCSpriteFrame> spriteFrame, float delayUnits,
                                                                std::shared_ptr<const Value> userInfo) {
    RefPtr<CCAnimationFrame> frame = makeRef<CCAnimationFrame>();
    frame->initWithSpriteFrame(std::move(spriteFrame), delayUnits, std::move(userInfo));
    return frame;
}

bool CCAnimationFrame::initWithSpriteFrame(RefPtr<CCSpriteFrame> spriteFrame, float delayUnits,
                                           std::shared_ptr<const Value> userInfo) {
    spriteFrame_ = std::move(spriteFrame);
    delayUnits_ = delayUnits;
    userInfo_ = std::move(userInfo);
    return true;
}

RefPtr<CCAnimationFrame> CCAnimationFrame::copy() const {
    return frameWithSpriteFrame(spriteFrame_ ? spriteFrame_->copy() : nullptr, delayUnits_,
                                userInfo_ ? std::make_shared<const Value>(*userInfo_) : nullptr);
}

std::string CCAnimationFrame::description() const {
    return stringWithFormat("<%s = %p | SpriteFrame = %p, delayUnits = %0.2f >", className(*this).c_str(),
                            static_cast<const void*>(this), static_cast<const void*>(spriteFrame_.get()),
                            delayUnits_);
}
