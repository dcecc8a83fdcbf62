#include "game/core/GLESDebugDraw.h"

#include <cmath>

#include "engine/core/CCDirector.h"
#include "engine/core/CCShaderCache.h"
#include "engine/core/ccGLStateCache.h"

namespace {
constexpr int32 kCircleSegments = 16;
constexpr float kCircleStep = 0.3926991f;  // 2 pi / 16
constexpr float kAxisLength = 0.4f;        // metres
}  // namespace

GLESDebugDraw::GLESDebugDraw(float ratio) : ratio_(ratio) {}

bool GLESDebugDraw::prepareProgram() {
    if (!program_) {
        program_ = CCShaderCache::sharedShaderCache()->programForKey(kCCShader_Position_uColor);
        if (!program_) return false;
        colorLocation_ = glGetUniformLocation(program_->program(), "u_color");
        pointSizeLocation_ = glGetUniformLocation(program_->program(), "u_pointSize");
    }
    ccGLUseProgramWithBuiltins(*program_);
    return true;
}

const GLfloat* GLESDebugDraw::scaled(const b2Vec2* vertices, int32 count) {
    if (scratch_.size() < static_cast<size_t>(count) * 2) scratch_.resize(static_cast<size_t>(count) * 2);
    for (int32 i = 0; i < count; ++i) {
        scratch_[2 * i] = vertices[i].x * ratio_;
        scratch_[2 * i + 1] = vertices[i].y * ratio_;
    }
    return scratch_.data();
}

const GLfloat* GLESDebugDraw::circle(const b2Vec2& center, float radius) {
    b2Vec2 points[kCircleSegments];
    for (int32 i = 0; i < kCircleSegments; ++i) {
        const float theta = kCircleStep * static_cast<float>(i);
        points[i] = center + radius * b2Vec2(std::cos(theta), std::sin(theta));
    }
    return scaled(points, kCircleSegments);
}

void GLESDebugDraw::draw(GLenum mode, const GLfloat* vertices, int32 count, float r, float g, float b, float a) {
    if (count <= 0 || !prepareProgram()) return;
    program_->setUniformLocationWithF1(colorLocation_, r, g, b, a);
    ccGLSetVertexAttribArrays({.position = vertices});
    glDrawArrays(mode, 0, count);
    ccDrawCallCounter += 1;
}

void GLESDebugDraw::DrawPolygon(const b2Vec2* vertices, int32 vertexCount, const b2Color& color) {
    draw(GL_LINE_LOOP, scaled(vertices, vertexCount), vertexCount, color.r, color.g, color.b, 1);
}

void GLESDebugDraw::DrawSolidPolygon(const b2Vec2* vertices, int32 vertexCount, const b2Color& color) {
    const GLfloat* points = scaled(vertices, vertexCount);
    draw(GL_TRIANGLE_FAN, points, vertexCount, color.r / 2, color.g / 2, color.b / 2, 0.5f);
    draw(GL_LINE_LOOP, points, vertexCount, color.r, color.g, color.b, 1);
}

void GLESDebugDraw::DrawCircle(const b2Vec2& center, float radius, const b2Color& color) {
    draw(GL_LINE_LOOP, circle(center, radius), kCircleSegments, color.r, color.g, color.b, 1);
}

void GLESDebugDraw::DrawSolidCircle(const b2Vec2& center, float radius, const b2Vec2&, const b2Color& color) {
    const GLfloat* points = circle(center, radius);
    draw(GL_TRIANGLE_FAN, points, kCircleSegments, color.r / 2, color.g / 2, color.b / 2, 0.5f);
    draw(GL_LINE_LOOP, points, kCircleSegments, color.r, color.g, color.b, 1);
}

void GLESDebugDraw::DrawSegment(const b2Vec2& p1, const b2Vec2& p2, const b2Color& color) {
    const b2Vec2 ends[2] = {p1, p2};
    draw(GL_LINES, scaled(ends, 2), 2, color.r, color.g, color.b, 1);
}

void GLESDebugDraw::DrawTransform(const b2Transform& xf) {
    DrawSegment(xf.p, xf.p + kAxisLength * xf.q.GetXAxis(), b2Color(1, 0, 0));
    DrawSegment(xf.p, xf.p + kAxisLength * xf.q.GetYAxis(), b2Color(0, 1, 0));
}

void GLESDebugDraw::DrawPoint(const b2Vec2& p, float size, const b2Color& color) {
    if (prepareProgram()) program_->setUniformLocationWithF1(pointSizeLocation_, size);
    draw(GL_POINTS, scaled(&p, 1), 1, color.r, color.g, color.b, 1);
}

void GLESDebugDraw::DrawString(int, int, const char*) {}

void GLESDebugDraw::DrawAABB(const b2AABB* aabb, const b2Color& color) {
    const b2Vec2 corners[4] = {aabb->lowerBound,
                               {aabb->upperBound.x, aabb->lowerBound.y},
                               aabb->upperBound,
                               {aabb->lowerBound.x, aabb->upperBound.y}};
    draw(GL_LINE_LOOP, scaled(corners, 4), 4, color.r, color.g, color.b, 1);
}
