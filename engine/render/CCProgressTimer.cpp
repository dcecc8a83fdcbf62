#include "engine/render/CCProgressTimer.h"

#include <algorithm>
#include <cfloat>
#include <cstddef>
#include <numbers>
#include <utility>

#include "engine/core/CCDirector.h"
#include "engine/core/CCGLProgram.h"
#include "engine/core/CCShaderCache.h"
#include "engine/core/CCTexture2D.h"
#include "engine/core/ccGLStateCache.h"
#include "engine/core/support/ccPointMath.h"
#include "engine/render/CCSprite.h"

namespace {
// Corners of the unit square, two bits each from bit 0 up: y then x of (1, 1), (1, 0), (0, 0),
// (0, 1). Read forwards they go clockwise from top-right; read backwards (x from the higher bit),
// counter-clockwise from top-left.
constexpr unsigned kCornerBits = 0x4B;
constexpr int kCorners = 4;
// Unit-square lengths by which a crossing may miss a side or bottom edge and still count.
constexpr float kEdgeSlack = 1e-4f;

CGPoint interpolate(CGPoint bottomLeft, CGPoint topRight, CGPoint alpha) {
    return {bottomLeft.x * (1 - alpha.x) + topRight.x * alpha.x, bottomLeft.y * (1 - alpha.y) + topRight.y * alpha.y};
}
}  // namespace

RefPtr<CCProgressTimer> CCProgressTimer::progressWithSprite(RefPtr<CCSprite> sprite) {
    RefPtr<CCProgressTimer> timer = makeRef<CCProgressTimer>();
    timer->initWithSprite(std::move(sprite));
    return timer;
}

bool CCProgressTimer::init() { return initWithSprite(nullptr); }

bool CCProgressTimer::initWithSprite(RefPtr<CCSprite> sprite) {
    percentage_ = 0;
    vertexData_.clear();
    setAnchorPoint({0.5, 0.5});
    type_ = kCCProgressTimerTypeRadial;
    reverseDirection_ = false;
    midpoint_ = {0.5, 0.5};
    barChangeRate_ = {1, 1};
    setSprite(std::move(sprite));
    setShaderProgram(CCShaderCache::sharedShaderCache()->programForKey(kCCShader_PositionTextureColor));
    return true;
}

void CCProgressTimer::setPercentage(float percentage) {
    if (percentage == percentage_) return;
    percentage_ = ccClampFloat(percentage, 0, 100);
    updateProgress();
}

void CCProgressTimer::setSprite(RefPtr<CCSprite> sprite) {
    if (sprite == sprite_) return;
    sprite_ = std::move(sprite);
    setContentSize(sprite_ ? sprite_->contentSize() : CGSizeZero);
    vertexData_.clear();
}

void CCProgressTimer::setType(CCProgressTimerType type) {
    if (type == type_) return;
    type_ = type;
    vertexData_.clear();
}

void CCProgressTimer::setReverseDirection(bool reverse) {
    if (reverse == reverseDirection_) return;
    reverseDirection_ = reverse;
    vertexData_.clear();
}

void CCProgressTimer::setMidpoint(CGPoint midpoint) { midpoint_ = ccPointClamp(midpoint, CGPointZero, {1, 1}); }

ccColor3B CCProgressTimer::color() const { return sprite_ ? sprite_->color() : ccColor3B{}; }

void CCProgressTimer::setColor(ccColor3B color) {
    if (sprite_) sprite_->setColor(color);
    updateColor();
}

uint8_t CCProgressTimer::opacity() const { return sprite_ ? sprite_->opacity() : 0; }

void CCProgressTimer::setOpacity(uint8_t opacity) {
    if (sprite_) sprite_->setOpacity(opacity);
    updateColor();
}

CGPoint CCProgressTimer::vertexFromAlphaPoint(CGPoint alpha) const {
    if (!sprite_) return CGPointZero;
    const ccV3F_C4B_T2F_Quad quad = sprite_->quad();
    return interpolate({quad.bl.vertices.x, quad.bl.vertices.y}, {quad.tr.vertices.x, quad.tr.vertices.y}, alpha);
}

CGPoint CCProgressTimer::textureCoordFromAlphaPoint(CGPoint alpha) const {
    if (!sprite_) return CGPointZero;
    const ccV3F_C4B_T2F_Quad quad = sprite_->quad();
    // A rotated rect is stored turned a quarter clockwise: the picture's x runs along the texture's v.
    if (sprite_->textureRectRotated()) std::swap(alpha.x, alpha.y);
    return interpolate({quad.bl.texCoords.u, quad.bl.texCoords.v}, {quad.tr.texCoords.u, quad.tr.texCoords.v}, alpha);
}

void CCProgressTimer::setVertex(size_t index, CGPoint alpha) {
    const CGPoint position = vertexFromAlphaPoint(alpha), texture = textureCoordFromAlphaPoint(alpha);
    vertexData_[index].vertices = {static_cast<float>(position.x), static_cast<float>(position.y)};
    vertexData_[index].texCoords = {static_cast<float>(texture.x), static_cast<float>(texture.y)};
}

CGPoint CCProgressTimer::boundaryTexCoord(int8_t index) const {
    if (index < 0 || index >= kCorners) return CGPointZero;
    const int xBit = reverseDirection_ ? 7 - 2 * index : 2 * index + 1;
    const int yBit = reverseDirection_ ? 6 - 2 * index : 2 * index;
    return {static_cast<double>((kCornerBits >> xBit) & 1), static_cast<double>((kCornerBits >> yBit) & 1)};
}

void CCProgressTimer::updateColor() {
    if (!sprite_ || vertexData_.empty()) return;
    const ccColor4B color = sprite_->quad().tl.colors;
    for (ccV2F_C4B_T2F& vertex : vertexData_) vertex.colors = color;
}

void CCProgressTimer::updateProgress() {
    if (type_ == kCCProgressTimerTypeRadial) updateRadial();
    if (type_ == kCCProgressTimerTypeBar) updateBar();
}

// The fan runs from the midpoint to the point of the top edge above it, round the corners the
// sweep has passed, to where the hand meets the border. The top edge is split at that point into
// edge 0 (swept first) and edge 4 (last), so that the hand's start and end both lie on an edge.
void CCProgressTimer::updateRadial() {
    if (!sprite_) return;
    const float alpha = percentage_ / 100.f;
    const float angle = 2 * std::numbers::pi_v<float> * (reverseDirection_ ? alpha : 1 - alpha);
    const CGPoint topMid{midpoint_.x, 1};
    const CGPoint hand = ccPointRotateAround(topMid, midpoint_, angle);

    int index = 0;
    CGPoint hit = topMid;
    if (alpha == 1) {
        index = kCorners;
    } else if (alpha != 0) {
        // The hand meets the edge at midpoint + (hand - midpoint) × t. Edges count as segments
        // (the split top edge exactly, the others with kEdgeSlack for rounding at the corners), so
        // that a midpoint on the border, whose hand may point out of the square, finds the edge
        // the sweep has reached; one touching the midpoint (t = 0) counts only when no other does.
        float minT = FLT_MAX;
        int touching = -1;
        for (int i = 0; i <= kCorners; ++i) {
            CGPoint edgeStart = boundaryTexCoord(static_cast<int8_t>(i % kCorners));
            CGPoint edgeEnd = boundaryTexCoord(static_cast<int8_t>((i + kCorners - 1) % kCorners));
            if (i == 0) edgeEnd = ccPointLerp(edgeStart, edgeEnd, static_cast<float>(1 - midpoint_.x));
            if (i == kCorners) edgeStart = ccPointLerp(edgeStart, edgeEnd, static_cast<float>(1 - midpoint_.x));
            float s = 0, t = 0;
            if (!ccLineIntersectParams(edgeStart, edgeEnd, midpoint_, hand, &s, &t)) continue;
            const float slack = i == 0 || i == kCorners ? 0 : kEdgeSlack;
            if (!(s >= -slack && s <= 1 + slack)) continue;
            if (t == 0 && touching < 0) touching = i;
            if (t > 0 && t < minT) {
                minT = t;
                index = i;
            }
        }
        if (minT == FLT_MAX) {
            minT = 0;
            index = std::max(touching, 0);
        }
        hit = {midpoint_.x + (hand.x - midpoint_.x) * minT, midpoint_.y + (hand.y - midpoint_.y) * minT};
    }

    const size_t count = static_cast<size_t>(index) + 3;
    const bool rebuild = vertexData_.size() != count;
    if (rebuild) vertexData_.assign(count, {});
    updateColor();
    if (rebuild) {
        setVertex(0, midpoint_);
        setVertex(1, topMid);
        for (int i = 0; i < index; ++i) setVertex(static_cast<size_t>(i) + 2, boundaryTexCoord(static_cast<int8_t>(i)));
    }
    setVertex(count - 1, hit);
}

void CCProgressTimer::updateBar() {
    if (!sprite_) return;
    const float alpha = percentage_ / 100.f;
    const CGPoint half{(1 - barChangeRate_.x + alpha * barChangeRate_.x) * 0.5,
                       (1 - barChangeRate_.y + alpha * barChangeRate_.y) * 0.5};
    CGPoint min{midpoint_.x - half.x, midpoint_.y - half.y};
    CGPoint max{midpoint_.x + half.x, midpoint_.y + half.y};
    // A bar that would stick out of the square on one side is shifted back in.
    for (auto [low, high] : {std::pair{&min.x, &max.x}, {&min.y, &max.y}}) {
        if (*low < 0) {
            *high += -*low;
            *low = 0;
        }
        if (*high > 1) {
            *low -= *high - 1;
            *high = 1;
        }
    }

    // Vertices 0-3 (not reversed) or 2-5 (reversed, between the square's left and right edges).
    const size_t count = reverseDirection_ ? 8 : 4, first = reverseDirection_ ? 2 : 0;
    if (vertexData_.size() != count) {
        vertexData_.assign(count, {});
        if (reverseDirection_) {
            setVertex(0, {0, 1});
            setVertex(1, {0, 0});
            setVertex(6, {1, 1});
            setVertex(7, {1, 0});
        }
    }
    setVertex(first, {min.x, max.y});
    setVertex(first + 1, {min.x, min.y});
    setVertex(first + 2, {max.x, max.y});
    setVertex(first + 3, {max.x, min.y});
    updateColor();
}

void CCProgressTimer::draw() {
    if (vertexData_.empty() || !sprite_) return;
    ccGLPrepareNodeDraw(glServerState(), *shaderProgram(), sprite_->blendFunc());
    const CCTexture2D* texture = sprite_->texture();
    ccGLBindTexture(texture ? texture->name() : 0);
    ccGLSetVertexAttribArrays(ccInterleavedAttribArrays(vertexData_.data()));
    const auto count = static_cast<GLsizei>(vertexData_.size());
    if (type_ == kCCProgressTimerTypeRadial) {
        glDrawArrays(GL_TRIANGLE_FAN, 0, count);
        ccDrawCallCounter += 1;
    } else if (!reverseDirection_) {
        glDrawArrays(GL_TRIANGLE_STRIP, 0, count);
        ccDrawCallCounter += 1;
    } else {
        glDrawArrays(GL_TRIANGLE_STRIP, 0, count / 2);
        glDrawArrays(GL_TRIANGLE_STRIP, 4, count / 2);
        ccDrawCallCounter += 2;
    }
}
