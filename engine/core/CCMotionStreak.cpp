#include "engine/core/CCMotionStreak.h"

#include <algorithm>
#include <climits>
#include <new>

#include "engine/core/CCDirector.h"
#include "engine/core/CCGLProgram.h"
#include "engine/core/CCShaderCache.h"
#include "engine/core/CCTexture2D.h"
#include "engine/core/CCTextureCache.h"
#include "engine/core/ccGLStateCache.h"
#include "engine/core/support/ccPointMath.h"
#include "platform/foundation/Log.h"

namespace {

// Points kept per second of fade.
constexpr float kPointsPerSecond = 60;

double distanceSquared(CGPoint a, CGPoint b) {
    const double dx = a.x - b.x, dy = a.y - b.y;
    return dx * dx + dy * dy;
}

}  // namespace

RefPtr<CCMotionStreak> CCMotionStreak::streakWithFade(float fade, float minSeg, float stroke, ccColor3B color,
                                                      const std::string& path) {
    RefPtr<CCMotionStreak> streak = makeRef<CCMotionStreak>();
    if (!streak->initWithFade(fade, minSeg, stroke, color, path)) return nullptr;
    return streak;
}

RefPtr<CCMotionStreak> CCMotionStreak::streakWithFade(float fade, float minSeg, float stroke, ccColor3B color,
                                                      RefPtr<CCTexture2D> texture) {
    RefPtr<CCMotionStreak> streak = makeRef<CCMotionStreak>();
    if (!streak->initWithFade(fade, minSeg, stroke, color, std::move(texture))) return nullptr;
    return streak;
}

bool CCMotionStreak::initWithFade(float fade, float minSeg, float stroke, ccColor3B color, const std::string& path) {
    RefPtr<CCTexture2D> texture = CCTextureCache::sharedTextureCache()->addImage(path);
    if (!texture) {
        logLine("Lumora: CCMotionStreak: cannot load the texture \"%s\"", path.c_str());
        return false;
    }
    return initWithFade(fade, minSeg, stroke, color, std::move(texture));
}

bool CCMotionStreak::initWithFade(float fade, float minSeg, float stroke, ccColor3B color, RefPtr<CCTexture2D> texture) {
    // The capacity (int)(fade x 60) + 2 must exist; the fade divides.
    if (!(fade > 0 && double(fade) * kPointsPerSecond < double(INT_MAX - 2))) {
        logLine("Lumora: CCMotionStreak: the fade time %g s is not a positive number of seconds", fade);
        return false;
    }
    CCNode::setPosition(CGPointZero);
    setAnchorPoint(CGPointZero);
    setIgnoreAnchorPointForPosition(true);
    startingPositionInitialized_ = false;
    positionR_ = CGPointZero;
    fastMode_ = true;
    const float m = minSeg == -1 ? stroke / 5 : minSeg;
    minSeg_ = m * m;
    stroke_ = stroke;
    fadeDelta_ = 1 / fade;

    const uint64_t maxPoints = static_cast<uint64_t>(static_cast<int>(fade * kPointsPerSecond)) + 2;
    maxPoints_ = nuPoints_ = previousNuPoints_ = 0;
    try {
        pointState_.assign(maxPoints, 0);
        pointVertexes_.assign(maxPoints, CGPointZero);
        vertices_.assign(2 * maxPoints, ccVertex2F{});
        texCoords_.assign(2 * maxPoints, ccTex2F{});
        colorPointer_.assign(8 * maxPoints, 0);
    } catch (const std::bad_alloc&) {
        logLine("Lumora: CCMotionStreak: no memory for %llu points", static_cast<unsigned long long>(maxPoints));
        return false;
    }
    maxPoints_ = maxPoints;

    blendFunc_ = {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA};
    setShaderProgram(CCShaderCache::sharedShaderCache()->programForKey(kCCShader_PositionTextureColor));
    texture_ = std::move(texture);
    color_ = color;
    scheduleUpdate();
    return true;
}

void CCMotionStreak::setPosition(CGPoint position) {
    startingPositionInitialized_ = true;
    positionR_ = position;
}

void CCMotionStreak::tintWithColor(ccColor3B color) {
    setColor(color);
    for (uint64_t i = 0; i < 2 * nuPoints_; ++i) {
        uint8_t* rgba = &colorPointer_[4 * i];
        rgba[0] = color.r;
        rgba[1] = color.g;
        rgba[2] = color.b;
    }
}

void CCMotionStreak::reset() { nuPoints_ = 0; }

void CCMotionStreak::update(float dt) {
    if (!startingPositionInitialized_) return;

    // Age every point; live ones move down over the dead ones before them.
    const float delta = dt * fadeDelta_;
    uint64_t dead = 0;
    for (uint64_t i = 0; i < nuPoints_; ++i) {
        pointState_[i] -= delta;
        if (pointState_[i] <= 0) {
            ++dead;
            continue;
        }
        const uint64_t to = i - dead;
        if (dead > 0) {
            pointState_[to] = pointState_[i];
            pointVertexes_[to] = pointVertexes_[i];
            vertices_[2 * to] = vertices_[2 * i];
            vertices_[2 * to + 1] = vertices_[2 * i + 1];
            for (int c = 0; c < 3; ++c) {
                colorPointer_[8 * to + c] = colorPointer_[8 * i + c];
                colorPointer_[8 * to + 4 + c] = colorPointer_[8 * i + 4 + c];
            }
        }
        const uint8_t alpha = static_cast<uint8_t>(pointState_[to] * 255);
        colorPointer_[8 * to + 3] = alpha;
        colorPointer_[8 * to + 7] = alpha;
    }
    nuPoints_ -= dead;

    // Append the head once it is far enough from the last point and twice as far (squared) from
    // the one before, so that a slow head does not pile up points.
    bool append = nuPoints_ < maxPoints_;
    if (append && nuPoints_ > 0) {
        const bool nearLast = distanceSquared(pointVertexes_[nuPoints_ - 1], positionR_) < minSeg_;
        const bool nearSecondLast =
            nuPoints_ > 1 && distanceSquared(pointVertexes_[nuPoints_ - 2], positionR_) < minSeg_ * 2;
        append = !nearLast && !nearSecondLast;
    }
    if (append) {
        const uint64_t n = nuPoints_;
        pointVertexes_[n] = positionR_;
        pointState_[n] = 1;
        const uint8_t rgba[8] = {color_.r, color_.g, color_.b, 255, color_.r, color_.g, color_.b, 255};
        std::copy(rgba, rgba + 8, &colorPointer_[8 * n]);
        if (fastMode_) {
            if (n == 1) ccVertexLineToPolygon(pointVertexes_.data(), stroke_, vertices_.data(), 0, 2);
            else ccVertexLineToPolygon(pointVertexes_.data(), stroke_, vertices_.data(), n, 1);
        }
        ++nuPoints_;
    }
    if (!fastMode_) ccVertexLineToPolygon(pointVertexes_.data(), stroke_, vertices_.data(), 0, nuPoints_);

    // Texture coordinates run along the ribbon from 0 at the oldest point.
    if (nuPoints_ > 0 && nuPoints_ != previousNuPoints_) {
        const float texDelta = 1.0f / nuPoints_;
        for (uint64_t i = 0; i < nuPoints_; ++i) {
            texCoords_[2 * i] = {0, texDelta * i};
            texCoords_[2 * i + 1] = {1, texDelta * i};
        }
        previousNuPoints_ = nuPoints_;
    }
}

void CCMotionStreak::draw() {
    if (nuPoints_ <= 1) return;
    ccGLPrepareNodeDraw(glServerState(), *shaderProgram(), blendFunc_);
    ccGLBindTexture(texture_ ? texture_->name() : 0);
    ccGLSetVertexAttribArrays(
        {.position = vertices_.data(), .texCoords = texCoords_.data(), .color = colorPointer_.data()});
    glDrawArrays(GL_TRIANGLE_STRIP, 0, static_cast<GLsizei>(2 * nuPoints_));
    ccDrawCallCounter += 1;
}

void CCMotionStreak::setTexture(RefPtr<CCTexture2D> texture) { texture_ = std::move(texture); }
