#pragma once

#include <string>

#include "engine/core/CCNode.h"
#include "engine/core/CCTexture2D.h"
#include "engine/core/CCTextureProtocol.h"
#include "engine/core/ccTypes.h"
#include "game/core/CCRibbonFade.h"

// A node that leaves a fading ribbon behind wherever it is moved. Its ribbon is a child kept at
// minus the node's position, so the ribbon's points, given in the parent's space, are drawn in
// place. Whoever moves the node calls update each frame (it is not scheduled): the ribbon gets a
// new point once the node is more than the minimum segment from the last one.
//
// Engine thread only.
class CCMotionStreakLocal : public CCNode, public CCTextureProtocol {
public:
    // Null when the initialiser refuses.
    static RefPtr<CCMotionStreakLocal> streakWithFade(float fade, float minSeg, const std::string& image, float width,
                                                      float length, ccColor4B color);

    CCMotionStreakLocal() = default;
    // fade: seconds a point takes to fade out. minSeg: points the node must move beyond before
    // the next point. width: ribbon width, points. length: points of ribbon per texture repeat.
    // False (logged) when the ribbon refuses (see CCRibbonFade).
    bool initWithFade(float fade, float minSeg, const std::string& image, float width, float length,
                      ccColor4B color);
    bool initWithFade(float fade, float minSeg, RefPtr<CCTexture2D> texture, float width, float length,
                      ccColor4B color);

    void update(float dt) override;

    CCRibbonFade* ribbon() const { return ribbon_.get(); }
    CCTexture2D* texture() const override { return ribbon_ ? ribbon_->texture() : nullptr; }
    void setTexture(RefPtr<CCTexture2D> texture) override;
    ccBlendFunc blendFunc() const override { return ribbon_ ? ribbon_->blendFunc() : ccBlendFunc{}; }
    void setBlendFunc(ccBlendFunc blendFunc) override;

private:
    // Adds the made ribbon as the child.
    bool adoptRibbon(RefPtr<CCRibbonFade> ribbon, float minSeg, float width);

    RefPtr<CCRibbonFade> ribbon_;  // also the only child
    float segThreshold_ = 0;       // points
    float width_ = 0;              // points
    CGPoint lastLocation_;         // where the last point went, parent's space
};
