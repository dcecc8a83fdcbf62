#include "game/core/CCRibbonFade.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "engine/core/CCGLProgram.h"
#include "engine/core/CCShaderCache.h"
#include "engine/core/CCTextureCache.h"
#include "engine/core/ccGLStateCache.h"
#include "platform/foundation/Log.h"

namespace {

constexpr float kQuarterTurn = 1.5707964f;  // radians

CGPoint add(CGPoint a, CGPoint b) { return {a.x + b.x, a.y + b.y}; }

// Stores one strip point: its two vertices (z 0), texture coordinates (0, v) and (1, v), and time.
void storePoint(CCRibbonFadeSegment& segment, uint32_t slot, CGPoint side1, CGPoint side2, float v, float time) {
    float* verts = &segment.verts[slot * 6];
    verts[0] = static_cast<float>(side1.x);
    verts[1] = static_cast<float>(side1.y);
    verts[2] = 0;
    verts[3] = static_cast<float>(side2.x);
    verts[4] = static_cast<float>(side2.y);
    verts[5] = 0;
    float* coords = &segment.coords[slot * 4];
    coords[0] = 0;
    coords[1] = v;
    coords[2] = 1;
    coords[3] = v;
    segment.creationTime[slot] = time;
}

}  // namespace

RefPtr<CCRibbonFade> CCRibbonFade::ribbonWithWidth(float width, const std::string& image, float length,
                                                   ccColor4B color, float fade) {
    auto ribbon = makeRef<CCRibbonFade>();
    return ribbon->initWithWidth(width, image, length, color, fade) ? ribbon : nullptr;
}

bool CCRibbonFade::initWithWidth(float width, const std::string& image, float length, ccColor4B color, float fade) {
    RefPtr<CCTexture2D> texture = CCTextureCache::sharedTextureCache()->addImage(image);
    if (!texture) {
        logLine("CCRibbonFade: cannot load the image \"%s\"", image.c_str());
        return false;
    }
    return initWithWidth(width, std::move(texture), length, color, fade);
}

bool CCRibbonFade::initWithWidth(float width, RefPtr<CCTexture2D> texture, float length, ccColor4B color,
                                 float fade) {
    // Both divide: the age of a point by the fade, the ribbon's length by the texture length.
    if (!(fade > 0 && std::isfinite(fade)) || !(length > 0 && std::isfinite(length))) {
        logLine("CCRibbonFade: the fade time (%g s) and texture length (%g) must be positive numbers", fade, length);
        return false;
    }
    segments_.assign(1, makeRef<CCRibbonFadeSegment>());
    deletedSegments_.clear();
    lastLocation_ = CGPointZero;
    texVPos_ = 0;
    curTime_ = 0;
    delta_ = 0;
    pastFirstPoint_ = false;
    fadeTime_ = fade;
    lastWidth_ = width / 2;
    textureLength_ = length;
    color_ = color;
    blendFunc_ = {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA};
    if (texture) {
        const ccTexParams params{GL_LINEAR, GL_LINEAR, GL_REPEAT, GL_REPEAT};
        texture->setTexParameters(&params);
    }
    setTexture(std::move(texture));
    return true;
}

void CCRibbonFade::setTexture(RefPtr<CCTexture2D> texture) {
    texture_ = std::move(texture);
    if (texture_) setContentSize(texture_->contentSize());
}

void CCRibbonFade::setTextureLength(float length) {
    if (!(length > 0 && std::isfinite(length))) {
        logLine("CCRibbonFade: a texture length of %g is not a positive number; keeping %g", length, textureLength_);
        return;
    }
    textureLength_ = length;
}

void CCRibbonFade::update(float dt) {
    curTime_ += dt;
    delta_ = dt;
}

CGPoint CCRibbonFade::rotatePoint(CGPoint point, float rotation) {
    const double c = std::cos(rotation), s = std::sin(rotation);
    return {point.x * c - point.y * s, point.y * c + point.x * s};
}

float CCRibbonFade::sideOfLine(CGPoint p, CGPoint l1, CGPoint l2) {
    return static_cast<float>((p.y - l1.y) * (l1.x - l2.x) - (l1.y - l2.y) * (p.x - l1.x));
}

void CCRibbonFade::addPointAt(CGPoint location, float width) {
    const float halfWidth = width / 2;
    if (!pastFirstPoint_) {
        lastWidth_ = halfWidth;
        lastLocation_ = location;
        pastFirstPoint_ = true;
        return;
    }

    const CGPoint back{lastLocation_.x - location.x, lastLocation_.y - location.y};
    const float across = static_cast<float>(std::atan2(back.y, back.x)) + kQuarterTurn;
    const CGPoint side1 = add(location, rotatePoint({-halfWidth, 0}, across));
    const CGPoint side2 = add(location, rotatePoint({halfWidth, 0}, across));
    const float v = texVPos_ + static_cast<float>(std::hypot(back.x, back.y)) / textureLength_;

    // Faded segments other than the one being filled wait for reuse.
    for (size_t i = 0; i + 1 < segments_.size();) {
        if (segments_[i]->finished) {
            deletedSegments_.push_back(std::move(segments_[i]));
            segments_.erase(segments_.begin() + static_cast<std::ptrdiff_t>(i));
        } else {
            ++i;
        }
    }

    CCRibbonFadeSegment* segment = segments_.back().get();
    if (segment->end >= CCRibbonFadeSegment::kCapacity) {
        RefPtr<CCRibbonFadeSegment> next;
        if (deletedSegments_.empty()) {
            next = makeRef<CCRibbonFadeSegment>();
        } else {
            next = std::move(deletedSegments_.back());
            deletedSegments_.pop_back();
            next->reset();
        }
        // The new segment starts where the full one ends.
        const uint32_t last = segment->end - 1;
        next->creationTime[0] = segment->creationTime[last];
        std::copy_n(&segment->verts[last * 6], 6, next->verts);
        std::copy_n(&segment->coords[last * 4], 4, next->coords);
        next->end = 1;
        segments_.push_back(std::move(next));
        segment = segments_.back().get();
    }

    if (segment->end == 0) {
        // The ribbon's very first strip point is the location before this one.
        storePoint(*segment, 0, add(lastLocation_, rotatePoint({-lastWidth_, 0}, across)),
                   add(lastLocation_, rotatePoint({lastWidth_, 0}, across)), texVPos_, curTime_ - delta_);
        segment->end = 1;
    }
    storePoint(*segment, segment->end, side1, side2, v, curTime_);

    texVPos_ = v;
    lastLocation_ = location;
    lastPoint1_ = side1;
    lastPoint2_ = side2;
    lastWidth_ = halfWidth;
    segment->end += 1;
}

void CCRibbonFade::draw() {
    CCNode::draw();
    if (segments_.empty()) return;
    if (!shaderProgram()) {
        setShaderProgram(CCShaderCache::sharedShaderCache()->programForKey(kCCShader_PositionTextureColor));
    }
    ccGLPrepareNodeDraw(glServerState(), *shaderProgram(), blendFunc_);
    ccGLBindTexture(texture_ ? texture_->name() : 0);
    for (const RefPtr<CCRibbonFadeSegment>& segment : segments_) {
        segment->draw(curTime_, fadeTime_, color_, blendFunc_.src);
    }
}
