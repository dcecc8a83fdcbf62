#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/actions/CCActionInterval.h"
#include "engine/render/CCAnimation.h"

class CCSprite;

// Posted when CCAnimate shows a frame that has user info: the sprite is the sender and the frame's
// user info the notification's.
inline const std::string CCAnimationFrameDisplayedNotification = "CCAnimationFrameDisplayedNotification";

// Plays a frame animation on a sprite: the animation's duration times its loops, each frame shown
// when its share of the loop begins. At most one frame is shown per step, so a long step shows the
// frames it passed one per step until it has caught up; each frame is shown once per loop. A
// target that is not a sprite is left alone (one log line).
class CCAnimate : public CCActionInterval {
public:
    // Through initWithAnimation.
    static RefPtr<CCAnimate> actionWithAnimation(RefPtr<CCAnimation> animation);
    // A null animation is taken as an empty one (one log line): the action shows nothing.
    bool initWithAnimation(RefPtr<CCAnimation> animation);

    // The animation played; never null.
    RefPtr<CCAnimation> animation() const { return animation_; }
    // Plays another animation from the next step: its frames start at their own split times, while
    // the duration and the frame already reached stay (a running action keeps its place in time).
    // A null animation is taken as an empty one (one log line).
    void setAnimation(RefPtr<CCAnimation> animation);
    // Around a copy of the animation; the frames are shared.
    RefPtr<CCAction> copy() const override;
    // The frames copied in reverse order, with the same timing, loops and restoreOriginalFrame.
    RefPtr<CCFiniteTimeAction> reverse() const override;

    // Notes the sprite's frame when the animation restores it, and rewinds to the first frame.
    void startWithTarget(Object* target) override;
    // Shows the noted frame again when the animation restores it.
    void stop() override;
    void update(float t) override;

protected:
    CCAnimate* makeEmptyCopy() const override { return new CCAnimate; }

private:
    // Where each of the animation's frames starts within one loop.
    void computeSplitTimes();

    RefPtr<CCAnimation> animation_;
    std::vector<float> splitTimes_;       // per frame: where it starts, as a fraction 0..1 of one loop
    size_t nextFrame_ = 0;                // index of the next frame to show
    RefPtr<CCSpriteFrame> origFrame_;     // the sprite's frame at the start, when it is restored
    uint64_t executedLoops_ = 0;          // loops begun after the first
    CCSprite* sprite_ = nullptr;          // the target as a sprite while running; not retained
    bool refusedTarget_ = false;          // a target that is not a sprite was logged, once per action
};
