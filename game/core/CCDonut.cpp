#include "game/core/CCDonut.h"

#include <cmath>
#include <cstddef>

#include "engine/core/CCDirector.h"
#include "engine/core/CCGLProgram.h"
#include "engine/core/CCShaderCache.h"
#include "engine/core/CCTextureCache.h"
#include "engine/core/ccGLStateCache.h"
#include "game/core/Units.h"
#include "platform/foundation/Log.h"

namespace {

double contentScaleFactor() { return CCDirector::sharedDirector()->contentScaleFactor(); }

ccVertex2F pointAt(float radius, float degrees) {
    const float radians = degrees * units::kRadiansPerDegree;
    return {radius * std::cos(radians), radius * std::sin(radians)};
}

}  // namespace

CCDonut::CCDonut() { setTexture(nullptr); }

CCDonut::~CCDonut() {
    if (buffersVBO_[0]) glDeleteBuffers(2, buffersVBO_);
    if (VAO_) ccGLDeleteVertexArray(VAO_);
}

bool CCDonut::initWithTexture(RefPtr<CCTexture2D> texture, CGRect rect) {
    setTexture(std::move(texture));
    setTextureRect(rect);
    return true;
}

bool CCDonut::initWithTexture(RefPtr<CCTexture2D> texture) {
    const CGSize size = texture ? texture->contentSize() : CGSizeZero;
    return initWithTexture(std::move(texture), {CGPointZero, size});
}

bool CCDonut::initWithFile(const std::string& file, CGRect rect) {
    RefPtr<CCTexture2D> texture = CCTextureCache::sharedTextureCache()->addImage(file);
    if (!texture) {
        logLine("CCDonut: cannot load the image \"%s\"", file.c_str());
        return false;
    }
    return initWithTexture(std::move(texture), rect);
}

bool CCDonut::initWithFile(const std::string& file) {
    RefPtr<CCTexture2D> texture = CCTextureCache::sharedTextureCache()->addImage(file);
    if (!texture) {
        logLine("CCDonut: cannot load the image \"%s\"", file.c_str());
        return false;
    }
    return initWithTexture(std::move(texture));
}

bool CCDonut::createDonut(float outerDistance, float innerDistance, int32_t subDivisions, int32_t repeatCount) {
    return createWedge(outerDistance, innerDistance, subDivisions, repeatCount, 90, -270);
}

bool CCDonut::createWedge(float outerDistance, float innerDistance, int32_t subDivisions, int32_t repeatCount,
                          float startAngle, float endAngle) {
    if (subDivisions < 2 || subDivisions > kMaxSubDivisions) {
        logLine("CCDonut: a ring needs 2 to %d subdivisions, not %d", kMaxSubDivisions, subDivisions);
        return false;
    }
    if (repeatCount < 1 || repeatCount > kMaxRepeatCount) {
        logLine("CCDonut: a ring repeats its texture 1 to %d times, not %d", kMaxRepeatCount, repeatCount);
        return false;
    }
    if (!std::isfinite(outerDistance) || !std::isfinite(innerDistance) || !std::isfinite(startAngle) ||
        !std::isfinite(endAngle)) {
        logLine("CCDonut: a ring's radii and angles must be numbers (%g, %g, %g, %g)", outerDistance, innerDistance,
                startAngle, endAngle);
        return false;
    }
    outerDistance_ = outerDistance;
    innerDistance_ = innerDistance;
    subDivisions_ = subDivisions;
    repeatCount_ = repeatCount;
    startAngle_ = startAngle;
    endAngle_ = endAngle;

    const int32_t s = subDivisions;
    vertexCount_ = 2 * s + 1;
    vertexData_.resize(static_cast<size_t>(vertexCount_));  // keeps the room it has
    indices_.resize(static_cast<size_t>(vertexCount_));
    const float span = startAngle - endAngle;
    for (int32_t k = 0; k <= s; ++k) {
        vertexData_[2 * k].vertices = pointAt(outerDistance, startAngle - span / s * k);
    }
    // One point fewer on the inner edge, its last on the end angle.
    for (int32_t j = 0; j < s; ++j) {
        vertexData_[2 * j + 1].vertices = pointAt(innerDistance, startAngle - span / (s - 1) * j);
    }
    for (int32_t i = 0; i < vertexCount_; ++i) indices_[i] = static_cast<uint16_t>(i);

    updateTextureCoords(rectInPixels_);
    dirty_ = true;
    indicesDirty_ = true;
    return true;
}

void CCDonut::setTextureRect(CGRect rect) {
    setContentSize(rect.size);
    const double scale = contentScaleFactor();
    rect_ = rect;
    rectInPixels_ = CGRectMake(rect.origin.x * scale, rect.origin.y * scale, rect.size.width * scale,
                               rect.size.height * scale);
    updateTextureCoords(rectInPixels_);
}

void CCDonut::setTextureRectInPixels(CGRect rect, CGSize) {
    const double scale = contentScaleFactor();
    rectInPixels_ = rect;
    rect_ = CGRectMake(rect.origin.x / scale, rect.origin.y / scale, rect.size.width / scale,
                       rect.size.height / scale);
    updateTextureCoords(rectInPixels_);
}

void CCDonut::updateTextureCoords(CGRect rect) {
    if (!texture_ || subDivisions_ == 0) return;
    const float width = static_cast<float>(texture_->pixelsWide());
    const float height = static_cast<float>(texture_->pixelsHigh());
    const float left = static_cast<float>(rect.origin.x) / width;
    const float top = static_cast<float>(rect.origin.y) / height;
    const float repeatWidth = static_cast<float>(rect.size.width) / width;
    const float bottom = static_cast<float>(rect.size.height) / height + top;
    const int32_t s = subDivisions_;
    // In float: repeats times subdivisions can pass the int range.
    const float repeats = static_cast<float>(repeatCount_);
    for (int32_t k = 0; k <= s; ++k) {
        vertexData_[2 * k].texCoords = {repeatWidth / s * (repeats * k) + left, top};
    }
    for (int32_t j = 0; j < s; ++j) {
        vertexData_[2 * j + 1].texCoords = {repeatWidth / (s - 1) * (repeats * j) + left, bottom};
    }
    dirty_ = true;
}

void CCDonut::setTexture(RefPtr<CCTexture2D> texture) {
    texture_ = std::move(texture);
    if (texture_) {
        const ccTexParams params{GL_LINEAR, GL_LINEAR, GL_REPEAT, GL_CLAMP_TO_EDGE};
        texture_->setTexParameters(&params);
    }
    updateBlendFunc();
}

void CCDonut::updateBlendFunc() {
    if (texture_ && texture_->hasPremultipliedAlpha()) {
        blendFunc_ = {GL_ONE, GL_ONE_MINUS_SRC_ALPHA};
        opacityModifyRGB_ = true;
    } else {
        blendFunc_ = {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA};
        opacityModifyRGB_ = false;
    }
}

ccColor3B CCDonut::color() const { return opacityModifyRGB_ ? colorUnmodified_ : color_; }

void CCDonut::setColor(ccColor3B color) {
    colorUnmodified_ = color;
    color_ = color;
    if (opacityModifyRGB_) {
        color_ = {static_cast<uint8_t>(color.r * opacity_ / 255), static_cast<uint8_t>(color.g * opacity_ / 255),
                  static_cast<uint8_t>(color.b * opacity_ / 255)};
    }
}

void CCDonut::setOpacity(uint8_t opacity) {
    opacity_ = opacity;
    if (opacityModifyRGB_) setColor(colorUnmodified_);
}

void CCDonut::setOpacityModifyRGB(bool modify) {
    const ccColor3B current = color();
    opacityModifyRGB_ = modify;
    setColor(current);
}

void CCDonut::uploadBuffers() {
    if (!VAO_) {
        glGenVertexArrays(1, &VAO_);
        glGenBuffers(2, buffersVBO_);
        ccGLBindVertexArray(VAO_);
        glBindBuffer(GL_ARRAY_BUFFER, buffersVBO_[0]);
        ccGLSetBufferAttribArrays({.position = reinterpret_cast<const void*>(offsetof(VT_V2F_T2F, vertices)),
                                   .texCoords = reinterpret_cast<const void*>(offsetof(VT_V2F_T2F, texCoords)),
                                   .stride = sizeof(VT_V2F_T2F)},
                                  kCCVertexAttribFlag_Position | kCCVertexAttribFlag_TexCoords);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffersVBO_[1]);  // held by the vertex array object
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        ccGLBindVertexArray(0);
    }
    if (indicesDirty_) {
        ccGLBindVertexArray(VAO_);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(sizeof(uint16_t) * indices_.size()),
                     indices_.data(), GL_STATIC_DRAW);
        ccGLBindVertexArray(0);
        indicesDirty_ = false;
    }
    if (dirty_) {
        glBindBuffer(GL_ARRAY_BUFFER, buffersVBO_[0]);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(sizeof(VT_V2F_T2F) * vertexData_.size()),
                     vertexData_.data(), GL_STATIC_DRAW);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        dirty_ = false;
    }
}

void CCDonut::draw() {
    if (vertexCount_ == 0) return;
    if (!shaderProgram()) {
        setShaderProgram(CCShaderCache::sharedShaderCache()->programForKey(kCCShader_PositionTexture_uColor));
        shaderAttributeColorLocation_ = shaderProgram()->uniformLocation("u_color");
    }
    ccGLPrepareNodeDraw(glServerState(), *shaderProgram(), blendFunc_);
    shaderProgram()->setUniformLocationWithF1(shaderAttributeColorLocation_, color_.r / 255.0f, color_.g / 255.0f,
                                              color_.b / 255.0f, opacity_ / 255.0f);
    ccGLBindTexture(texture_ ? texture_->name() : 0);
    uploadBuffers();
    ccGLBindVertexArray(VAO_);
    glDrawElements(GL_TRIANGLE_STRIP, vertexCount_, GL_UNSIGNED_SHORT, nullptr);
    ccGLBindVertexArray(0);
    ccDrawCallCounter += 1;
    CC_CHECK_GL_ERROR();
}
