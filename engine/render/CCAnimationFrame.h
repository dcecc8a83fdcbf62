#pragma once

#include <memory>
#include <string>

#include "engine/render/CCSpriteFrame.h"
#include "platform/foundation/Object.h"

class Value;

// One entry of a frame animation: the sprite frame to show, how many of the animation's delay
// units it stays, and what to post with "CCAnimationFrameDisplayedNotification" when it is shown.
class CCAnimationFrame : public Object {
public:
    // A new frame through initWithSpriteFrame.
    static RefPtr<CCAnimationFrame> frameWithSpriteFrame(RefPtr<CCSpriteFrame> spriteFrame, float delayUnits,
                                                         std::shared_ptr<const Value> userInfo);

    // `spriteFrame` may be null (nothing is shown); `userInfo` is null or the dictionary posted.
    bool initWithSpriteFrame(RefPtr<CCSpriteFrame> spriteFrame, float delayUnits,
                             std::shared_ptr<const Value> userInfo);

    // A new frame with a copy of the sprite frame and of the user info, and the same delay units.
    RefPtr<CCAnimationFrame> copy() const;

    // "<CCAnimationFrame = 0x... | SpriteFrame = 0x..., delayUnits = 1.00 >".
    std::string description() const override;

    // The image shown; may be null.
    CCSpriteFrame* spriteFrame() const { return spriteFrame_.get(); }
    void setSpriteFrame(RefPtr<CCSpriteFrame> spriteFrame) { spriteFrame_ = std::move(spriteFrame); }
    // Length in units of the animation's delayPerUnit; the animation's total sums them.
    float delayUnits() const { return delayUnits_; }
    void setDelayUnits(float delayUnits) { delayUnits_ = delayUnits; }
    // Posted as the notification's user info when the frame is shown; null posts nothing.
    const std::shared_ptr<const Value>& userInfo() const { return userInfo_; }
    void setUserInfo(std::shared_ptr<const Value> userInfo) { userInfo_ = std::move(userInfo); }

private:
    RefPtr<CCSpriteFrame> spriteFrame_;
    float delayUnits_ = 0;
    std::shared_ptr<const Value> userInfo_;  // shared with the notifications posted, never changed
};
