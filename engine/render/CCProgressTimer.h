#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/core/CCNode.h"
#include "engine/core/CCRGBAProtocol.h"
#include "engine/core/ccTypes.h"
#include "engine/render/CCSprite.h"

// How a progress timer shows its percentage.
enum CCProgressTimerType : int32_t {
    kCCProgressTimerTypeRadial = 0,  // a sweep round the midpoint, clockwise from twelve o'clock
    kCCProgressTimerTypeBar = 1,     // a rectangle growing from the midpoint
};

// Shows the part of a sprite that a percentage (0-100) selects: a radial sweep round a midpoint,
// or a bar growing from it. The sprite is not drawn as a node: the timer builds its own vertices
// from the sprite's quad (positions and texture coordinates) and draws them with the sprite's
// texture, colour and blend function, one draw call (two for a reversed bar).
//
// "Alpha points" below are points of the sprite's unit square, (0, 0) bottom-left, (1, 1)
// top-right, mapped onto the sprite's quad. The vertices are rebuilt by updateProgress, which
// setPercentage runs; setType, setReverseDirection and setSprite drop them, to be rebuilt on the
// next update.
//
// Engine thread only, with the view's GL context current.
class CCProgressTimer : public CCNode, public CCRGBAProtocol {
public:
    // A timer showing the sprite (retained; null shows nothing).
    static RefPtr<CCProgressTimer> progressWithSprite(RefPtr<CCSprite> sprite);

    CCProgressTimer() = default;

    // initWithSprite(nullptr).
    bool init();
    // Radial, at 0 %, not reversed, midpoint (0.5, 0.5), bar change rate (1, 1), anchor point
    // (0.5, 0.5), the sprite's content size, no vertices yet.
    bool initWithSprite(RefPtr<CCSprite> sprite);

    // 0-100; a value outside is clamped. A value equal to the stored one changes nothing, else the
    // vertices are updated.
    float percentage() const { return percentage_; }
    void setPercentage(float percentage);
    CCSprite* sprite() const { return sprite_.get(); }
    // Another sprite also becomes the content size and drops the vertices.
    void setSprite(RefPtr<CCSprite> sprite);
    CCProgressTimerType type() const { return type_; }
    // A change drops the vertices.
    void setType(CCProgressTimerType type);
    // Radial: sweep counter-clockwise. Bar: show everything left and right of the bar instead of
    // the bar. A change drops the vertices.
    bool reverseDirection() const { return reverseDirection_; }
    void setReverseDirection(bool reverse);
    // Alpha point: the radial sweep's centre, or the point the bar grows from. Clamped to the unit
    // square; a radial fan keeps its old centre until its vertex count changes.
    CGPoint midpoint() const { return midpoint_; }
    void setMidpoint(CGPoint midpoint);
    // Bar: per axis, 1 grows with the percentage, 0 is always full. Used at the next update.
    CGPoint barChangeRate() const { return barChangeRate_; }
    void setBarChangeRate(CGPoint rate) { barChangeRate_ = rate; }

    // The vertices built (null and 0 when there are none): a triangle fan from the midpoint
    // (radial), one triangle strip of 4 (bar) or two of 4 (reversed bar), in the node's space.
    const ccV2F_C4B_T2F* vertexData() const { return vertexData_.empty() ? nullptr : vertexData_.data(); }
    int32_t vertexDataCount() const { return static_cast<int32_t>(vertexData_.size()); }

    // Colour and opacity are the sprite's (black and transparent without one); setting them sets
    // the sprite's and recolours the vertices.
    ccColor3B color() const override;
    void setColor(ccColor3B color) override;
    uint8_t opacity() const override;
    void setOpacity(uint8_t opacity) override;

    // Rebuilds the vertices for the current type; nothing without a sprite.
    void updateProgress();
    void updateRadial();
    void updateBar();
    // Copies the colour of the sprite quad's top-left corner into every vertex.
    void updateColor();
    // Corner i (0-3) of the unit square: clockwise from top-right, or with reverseDirection
    // counter-clockwise from top-left. (0, 0) for any other i.
    CGPoint boundaryTexCoord(int8_t index) const;

    void draw() override;

protected:
    ~CCProgressTimer() override = default;

private:
    // The alpha point on the sprite's quad (node space), and in the sprite's texture (swapped
    // axes for a rotated texture rect); (0, 0) without a sprite.
    CGPoint vertexFromAlphaPoint(CGPoint alpha) const;
    CGPoint textureCoordFromAlphaPoint(CGPoint alpha) const;
    // Sets vertex i's position and texture coordinates from the alpha point.
    void setVertex(size_t index, CGPoint alpha);

    CCProgressTimerType type_ = kCCProgressTimerTypeRadial;
    float percentage_ = 0;  // 0-100
    RefPtr<CCSprite> sprite_;
    std::vector<ccV2F_C4B_T2F> vertexData_;  // empty when dropped or not built yet
    CGPoint midpoint_{0.5, 0.5};             // unit square
    CGPoint barChangeRate_{1, 1};            // 0 or 1 per axis in practice; any value scales growth
    bool reverseDirection_ = false;
};
