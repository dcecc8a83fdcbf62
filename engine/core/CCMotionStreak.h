#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/core/CCNode.h"
#include "engine/core/CCRGBAProtocol.h"
#include "engine/core/CCTexture2D.h"
#include "engine/core/ccTypes.h"

// A fading textured ribbon behind a moving point. The owner moves the head with setPosition every
// frame; the node itself stays at (0, 0), so the ribbon lies in the parent's space. Each update
// ages the points (each lives `fade` seconds), drops the dead ones, appends the head once it has
// moved far enough from the last points, widens the polyline into a triangle strip and fades each
// point's alpha with its remaining life.
//
// All memory is allocated by the initialiser, about 60 points per second of fade: updating and
// drawing allocate nothing. Making one from a file needs the view's GL context.
class CCMotionStreak : public CCNode, public CCRGBAProtocol {
public:
    // Null (logged) when the initialiser refuses.
    static RefPtr<CCMotionStreak> streakWithFade(float fade, float minSeg, float stroke, ccColor3B color,
                                                 const std::string& path);
    static RefPtr<CCMotionStreak> streakWithFade(float fade, float minSeg, float stroke, ccColor3B color,
                                                 RefPtr<CCTexture2D> texture);

    // Holds no points until initialised.
    CCMotionStreak() = default;
    // The texture from the shared texture cache; false (logged) when it cannot be loaded.
    bool initWithFade(float fade, float minSeg, float stroke, ccColor3B color, const std::string& path);
    // fade: seconds a point lives, more than 0 (false, logged, otherwise). minSeg: the least
    // distance between successive points, -1 for stroke / 5. stroke: ribbon width, points. A null
    // texture draws with texture name 0.
    bool initWithFade(float fade, float minSeg, float stroke, ccColor3B color, RefPtr<CCTexture2D> texture);

    // Moves the head, not the node.
    void setPosition(CGPoint position) override;
    // Also recolours the points already in the ribbon, keeping their alpha.
    void tintWithColor(ccColor3B color);
    // The colour of new points.
    ccColor3B color() const override { return color_; }
    void setColor(ccColor3B color) override { color_ = color; }
    // The ribbon's alpha comes from the points' life only: opacity is always 0 and setting it does
    // nothing.
    uint8_t opacity() const override { return 0; }
    void setOpacity(uint8_t) override {}
    // Removes every point.
    void reset();

    void update(float dt) override;
    // Draws the strip when it has at least 2 points.
    void draw() override;

    CCTexture2D* texture() const { return texture_.get(); }
    void setTexture(RefPtr<CCTexture2D> texture);
    ccBlendFunc blendFunc() const { return blendFunc_; }
    void setBlendFunc(ccBlendFunc blendFunc) { blendFunc_ = blendFunc; }
    // Fast mode widens only the newest point each update instead of the whole strip.
    bool isFastMode() const { return fastMode_; }
    void setFastMode(bool fastMode) { fastMode_ = fastMode; }

    uint64_t maxPoints() const { return maxPoints_; }
    uint64_t nuPoints() const { return nuPoints_; }
    // The square of the least distance between successive points.
    float minSeg() const { return minSeg_; }
    // The points in use, oldest first, and their remaining life (0..1].
    const CGPoint* pointVertexes() const { return pointVertexes_.data(); }
    const float* pointState() const { return pointState_.data(); }
    // Two strip vertices per point in use, and their RGBA bytes.
    const ccVertex2F* vertices() const { return vertices_.data(); }
    const uint8_t* colorPointer() const { return colorPointer_.data(); }

private:
    RefPtr<CCTexture2D> texture_;
    CGPoint positionR_;                 // the head: where the next point goes
    ccColor3B color_;                   // colour of new points
    ccBlendFunc blendFunc_;
    float stroke_ = 0;                  // ribbon width, points
    float fadeDelta_ = 0;               // life lost per second: 1 / fade
    float minSeg_ = 0;                  // squared least distance between successive points
    uint64_t maxPoints_ = 0;            // capacity of every array below, in points
    uint64_t nuPoints_ = 0;             // points in use
    uint64_t previousNuPoints_ = 0;     // point count the texture coordinates were built for
    std::vector<CGPoint> pointVertexes_;
    std::vector<float> pointState_;     // remaining life per point, 0..1
    std::vector<ccVertex2F> vertices_;  // the strip: two per point
    std::vector<uint8_t> colorPointer_; // RGBA per strip vertex
    std::vector<ccTex2F> texCoords_;    // two per point
    bool fastMode_ = false;
    bool startingPositionInitialized_ = false;  // the head has been set
};
