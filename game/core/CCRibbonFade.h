#pragma once

#include <string>
#include <vector>

#include "engine/core/CCNode.h"
#include "engine/core/CCTexture2D.h"
#include "engine/core/CCTextureProtocol.h"
#include "engine/core/ccTypes.h"
#include "game/core/CCRibbonFadeSegment.h"

// A textured ribbon through the points it is given, each point fading out over `fadeTime`
// seconds of the ribbon's own clock. The texture runs across the ribbon (u 0 to 1) and along it
// (v grows by 1 every `textureLength` points), repeating both ways.
//
// Points live in segments of 50; a new segment starts with a copy of the last point so the strip
// has no gap, and segments whose points have all faded are reused, so a ribbon that keeps moving
// stops allocating once it has as many segments as its fade time needs.
//
// The program is taken at the first draw, so a ribbon without a texture can be made and fed
// without GL. Engine thread only.
class CCRibbonFade : public CCNode, public CCTextureProtocol {
public:
    // Null when the initialiser refuses.
    static RefPtr<CCRibbonFade> ribbonWithWidth(float width, const std::string& image, float length,
                                                ccColor4B color, float fade);

    CCRibbonFade() = default;
    // The image through the shared texture cache; false (logged) when it cannot be loaded.
    bool initWithWidth(float width, const std::string& image, float length, ccColor4B color, float fade);
    // width: points across. length: points of ribbon per texture repeat, more than 0. fade:
    // seconds a point takes to fade out, more than 0. Either refused (false, logged) otherwise.
    // The texture, which may be null, gets linear filtering and repeats both ways.
    bool initWithWidth(float width, RefPtr<CCTexture2D> texture, float length, ccColor4B color, float fade);

    // Advances the ribbon's clock by dt seconds.
    void update(float dt) override;
    // Adds a point, in the ribbon's space, `width` points across. The first point only starts the
    // ribbon; each later one adds a strip point, turned across the direction from the one before.
    void addPointAt(CGPoint location, float width);
    void draw() override;

    // The point turned counter-clockwise by `rotation` radians about the origin.
    static CGPoint rotatePoint(CGPoint point, float rotation);
    // Which side of the line through l1 and l2 the point lies on: the sign of
    // (p.y - l1.y)(l1.x - l2.x) - (l1.y - l2.y)(p.x - l1.x).
    static float sideOfLine(CGPoint p, CGPoint l1, CGPoint l2);

    CCTexture2D* texture() const override { return texture_.get(); }
    // Also makes the node's content size the texture's.
    void setTexture(RefPtr<CCTexture2D> texture) override;
    ccBlendFunc blendFunc() const override { return blendFunc_; }
    void setBlendFunc(ccBlendFunc blendFunc) override { blendFunc_ = blendFunc; }
    ccColor4B color() const { return color_; }
    void setColor(ccColor4B color) { color_ = color; }
    float textureLength() const { return textureLength_; }
    // A length that is not more than 0 is refused, logged.
    void setTextureLength(float length);

    // Live segments, oldest first, and those kept for reuse.
    const std::vector<RefPtr<CCRibbonFadeSegment>>& segments() const { return segments_; }
    const std::vector<RefPtr<CCRibbonFadeSegment>>& deletedSegments() const { return deletedSegments_; }
    float curTime() const { return curTime_; }
    float fadeTime() const { return fadeTime_; }

private:
    std::vector<RefPtr<CCRibbonFadeSegment>> segments_;  // never empty once initialised
    std::vector<RefPtr<CCRibbonFadeSegment>> deletedSegments_;
    CGPoint lastPoint1_;       // the two strip vertices of the last point
    CGPoint lastPoint2_;
    CGPoint lastLocation_;     // the last point
    float texVPos_ = 0;        // texture v reached at the last point
    float curTime_ = 0;        // the ribbon's clock, seconds
    float fadeTime_ = 0;       // seconds
    float delta_ = 0;          // the last update's dt, seconds
    float lastWidth_ = 0;      // half the width at the last point
    bool pastFirstPoint_ = false;
    RefPtr<CCTexture2D> texture_;
    float textureLength_ = 1;  // points of ribbon per texture repeat
    ccColor4B color_;
    ccBlendFunc blendFunc_;
};
