#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/render/CCAnimationFrame.h"
#include "platform/foundation/Geometry.h"
#include "platform/foundation/Object.h"

class CCTexture2D;

// A frame animation: frames in play order, each lasting its delay units, one unit lasting
// delayPerUnit seconds; CCAnimate plays it `loops` times on a sprite. totalDelayUnits is kept equal
// to the sum of the frames' delay units by every operation that changes the frames.
//
// Copies share the frame objects. Engine thread only.
class CCAnimation : public Object {
public:
    // Factories through the initialisers of the same names.
    static RefPtr<CCAnimation> animation();
    static RefPtr<CCAnimation> animationWithSpriteFrames(const std::vector<RefPtr<CCSpriteFrame>>& spriteFrames,
                                                         float delay = 0);
    static RefPtr<CCAnimation> animationWithAnimationFrames(std::vector<RefPtr<CCAnimationFrame>> frames,
                                                            float delayPerUnit, uint64_t loops);

    // No frames, no delay, one loop.
    bool init();
    // One frame of one delay unit per sprite frame, `delay` seconds per unit, one loop.
    bool initWithSpriteFrames(const std::vector<RefPtr<CCSpriteFrame>>& spriteFrames, float delay = 0);
    // The frame objects themselves, not copies; none may be null (NSInvalidArgumentException).
    bool initWithAnimationFrames(std::vector<RefPtr<CCAnimationFrame>> frames, float delayPerUnit, uint64_t loops);

    // Appends a frame of one delay unit without user info.
    void addSpriteFrame(RefPtr<CCSpriteFrame> spriteFrame);
    // The whole image file, through the shared texture cache; a file that cannot be loaded adds
    // nothing and logs one line.
    void addSpriteFrameWithFilename(const std::string& filename);
    // `rect` of the texture, in points.
    void addSpriteFrameWithTexture(RefPtr<CCTexture2D> texture, CGRect rect);

    // The same frame objects, timing, loops and restoreOriginalFrame.
    RefPtr<CCAnimation> copy() const;

    // "<CCAnimation = 0x... | frames=3, totalDelayUnits=3.000000, delayPerUnit=0.100000, loops=1>".
    std::string description() const override;

    // The frames in play order; setting them recomputes totalDelayUnits, and none may be null
    // (NSInvalidArgumentException).
    const std::vector<RefPtr<CCAnimationFrame>>& frames() const { return frames_; }
    void setFrames(std::vector<RefPtr<CCAnimationFrame>> frames);
    float totalDelayUnits() const { return totalDelayUnits_; }
    // Seconds per delay unit.
    float delayPerUnit() const { return delayPerUnit_; }
    void setDelayPerUnit(float delayPerUnit) { delayPerUnit_ = delayPerUnit; }
    // Whether CCAnimate shows the sprite's earlier frame again when it stops.
    bool restoreOriginalFrame() const { return restoreOriginalFrame_; }
    void setRestoreOriginalFrame(bool restore) { restoreOriginalFrame_ = restore; }
    // How many times CCAnimate plays the frames; 0 plays nothing.
    uint64_t loops() const { return loops_; }
    void setLoops(uint64_t loops) { loops_ = loops; }
    // Seconds of one loop: totalDelayUnits x delayPerUnit.
    float duration() const { return totalDelayUnits_ * delayPerUnit_; }

private:
    std::vector<RefPtr<CCAnimationFrame>> frames_;
    float totalDelayUnits_ = 0;  // sum of the frames' delay units
    float delayPerUnit_ = 0;     // seconds
    bool restoreOriginalFrame_ = false;
    uint64_t loops_ = 1;
};
