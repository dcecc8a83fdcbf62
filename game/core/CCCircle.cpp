#include "game/core/CCCircle.h"

#include <cmath>
#include <numbers>

#include "engine/core/CCDirector.h"
#include "engine/core/CCGLProgram.h"
#include "engine/core/CCShaderCache.h"
#include "engine/core/ccGLStateCache.h"
#include "platform/foundation/Log.h"

bool CCCircle::initWithRadius(float radius, ccColor4B colour, int32_t segmentCount) {
    if (segmentCount < 1 || !std::isfinite(radius)) {
        logLine("CCCircle: a disc of radius %g needs at least one segment, not %d", radius, segmentCount);
        return false;
    }
    color_ = {colour.r, colour.g, colour.b};
    opacity_ = colour.a;
    setAnchorPoint(CGPointZero);

    vertexCount_ = segmentCount + 2;
    vertexData_.assign(static_cast<size_t>(vertexCount_), ccVertex2F{});
    const double step = 2 * std::numbers::pi / segmentCount;
    for (int32_t i = 0; i <= segmentCount; ++i) {
        vertexData_[i + 1] = {static_cast<float>(radius * std::cos(i * step)),
                              static_cast<float>(radius * std::sin(i * step))};
    }
    dirty_ = true;
    return true;
}

CCCircle::~CCCircle() {
    if (bufferVBO_) glDeleteBuffers(1, &bufferVBO_);
    if (VAO_) ccGLDeleteVertexArray(VAO_);
}

void CCCircle::uploadBuffer() {
    if (!VAO_) {
        glGenVertexArrays(1, &VAO_);
        glGenBuffers(1, &bufferVBO_);
        ccGLBindVertexArray(VAO_);
        glBindBuffer(GL_ARRAY_BUFFER, bufferVBO_);
        ccGLSetBufferAttribArrays({.position = nullptr}, kCCVertexAttribFlag_Position);
        ccGLBindVertexArray(0);
    } else {
        glBindBuffer(GL_ARRAY_BUFFER, bufferVBO_);
    }
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(sizeof(ccVertex2F) * vertexData_.size()),
                 vertexData_.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    dirty_ = false;
}

void CCCircle::draw() {
    if (vertexCount_ == 0) return;
    if (!shaderProgram()) {
        setShaderProgram(CCShaderCache::sharedShaderCache()->programForKey(kCCShader_Position_uColor));
        shaderAttributeColorLocation_ = shaderProgram()->uniformLocation("u_color");
    }
    // The blend function is left as it is.
    ccGLApplyServerState(glServerState());
    ccGLUseProgramWithBuiltins(*shaderProgram());
    shaderProgram()->setUniformLocationWithF1(shaderAttributeColorLocation_, color_.r / 255.0f, color_.g / 255.0f,
                                              color_.b / 255.0f, opacity_ / 255.0f);
    if (dirty_) uploadBuffer();
    ccGLBindVertexArray(VAO_);
    glDrawArrays(GL_TRIANGLE_FAN, 0, vertexCount_);
    ccGLBindVertexArray(0);
    ccDrawCallCounter += 1;
    CC_CHECK_GL_ERROR();
}
