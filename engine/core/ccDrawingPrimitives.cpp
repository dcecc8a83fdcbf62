#include "engine/core/ccDrawingPrimitives.h"

#include <climits>
#include <cmath>
#include <new>
#include <stdexcept>
#include <vector>

#include <epoxy/gl.h>

#include "engine/core/CCDirector.h"
#include "engine/core/CCGLProgram.h"
#include "engine/core/CCShaderCache.h"
#include "engine/core/ccGLStateCache.h"
#include "engine/core/math/ccCardinalSpline.h"

namespace {

// Engine thread only.
struct PrimitivesState {
    CCGLProgram* program = nullptr;  // the shader cache's, which owns it; null before first use
    GLint colorLocation = -1;        // "u_color"
    GLint pointSizeLocation = -1;    // "u_pointSize"
    ccColor4F color{1, 1, 1, 1};
    float pointSize = 1;             // pixels: the size given times the content scale factor
    // Vertices of the current call; grows to the largest call and stays, so that drawing the same
    // shapes every frame allocates nothing.
    std::vector<ccVertex2F> scratch;
};

PrimitivesState state;

// The most vertices one GL draw call takes (GLsizei).
constexpr uint64_t kMaxVertices = INT32_MAX;

ccVertex2F toVertex(CGPoint p) { return {static_cast<float>(p.x), static_cast<float>(p.y)}; }

// Room for `count` vertices in the scratch memory; null when it cannot be had or one draw call
// could not take them.
ccVertex2F* scratch(uint64_t count) {
    if (count > kMaxVertices) return nullptr;
    try {
        if (state.scratch.size() < count) state.scratch.resize(count);
    } catch (const std::bad_alloc&) {
        return nullptr;
    } catch (const std::length_error&) {
        return nullptr;
    }
    return state.scratch.data();
}

// Makes the program current with the built-in matrices and `color`, reading positions only from
// `vertices`.
void prepare(const ccColor4F& color, const ccVertex2F* vertices) {
    ccDrawPrimitivesInit();
    ccGLUseProgramWithBuiltins(*state.program);
    const GLfloat rgba[4] = {color.r, color.g, color.b, color.a};
    state.program->setUniformLocationWith4fv(state.colorLocation, rgba, 1);
    ccGLSetVertexAttribArrays({.position = vertices});
}

// Draws the vertices in `color` and counts the draw call.
void drawVertices(GLenum mode, const ccVertex2F* vertices, uint64_t count, const ccColor4F& color) {
    prepare(color, vertices);
    glDrawArrays(mode, 0, static_cast<GLsizei>(count));
    ccDrawCallCounter += 1;
}

void drawVertices(GLenum mode, const ccVertex2F* vertices, uint64_t count) {
    drawVertices(mode, vertices, count, state.color);
}

void drawPoints(const ccVertex2F* vertices, uint64_t count) {
    prepare(state.color, vertices);
    state.program->setUniformLocationWithF1(state.pointSizeLocation, state.pointSize);
    glDrawArrays(GL_POINTS, 0, static_cast<GLsizei>(count));
    ccDrawCallCounter += 1;
}

}  // namespace

void ccDrawPrimitivesInit() {
    CCGLProgram* program = CCShaderCache::sharedShaderCache()->programForKey(kCCShader_Position_uColor).get();
    if (program == state.program) return;
    state.program = program;
    state.colorLocation = program->uniformLocation("u_color");
    state.pointSizeLocation = program->uniformLocation("u_pointSize");
}

void ccDrawPoint(CGPoint point) {
    const ccVertex2F vertex = toVertex(point);
    drawPoints(&vertex, 1);
}

void ccDrawPoints(const CGPoint* points, uint64_t count) {
    ccVertex2F* vertices = scratch(count);
    if (!points || !vertices) return;
    for (uint64_t i = 0; i < count; ++i) vertices[i] = toVertex(points[i]);
    drawPoints(vertices, count);
}

void ccDrawLine(CGPoint origin, CGPoint destination) {
    const ccVertex2F vertices[2] = {toVertex(origin), toVertex(destination)};
    drawVertices(GL_LINES, vertices, 2);
}

void ccDrawRect(CGPoint origin, CGPoint destination) {
    ccDrawLine(CGPointMake(origin.x, origin.y), CGPointMake(destination.x, origin.y));
    ccDrawLine(CGPointMake(destination.x, origin.y), CGPointMake(destination.x, destination.y));
    ccDrawLine(CGPointMake(destination.x, destination.y), CGPointMake(origin.x, destination.y));
    ccDrawLine(CGPointMake(origin.x, destination.y), CGPointMake(origin.x, origin.y));
}

void ccDrawSolidRect(CGPoint origin, CGPoint destination, ccColor4F color) {
    const CGPoint corners[4] = {CGPointMake(origin.x, origin.y), CGPointMake(destination.x, origin.y),
                                CGPointMake(destination.x, destination.y), CGPointMake(origin.x, destination.y)};
    ccDrawSolidPoly(corners, 4, color);
}

void ccDrawPoly(const CGPoint* points, uint64_t count, bool closePolygon) {
    ccVertex2F* vertices = scratch(count);
    if (!points || !vertices) return;
    for (uint64_t i = 0; i < count; ++i) vertices[i] = toVertex(points[i]);
    drawVertices(closePolygon ? GL_LINE_LOOP : GL_LINE_STRIP, vertices, count);
}

void ccDrawSolidPoly(const CGPoint* points, uint64_t count, ccColor4F color) {
    ccVertex2F* vertices = scratch(count);
    if (!points || !vertices) return;
    for (uint64_t i = 0; i < count; ++i) vertices[i] = toVertex(points[i]);
    drawVertices(GL_TRIANGLE_FAN, vertices, count, color);
}

void ccDrawCircle(CGPoint center, float radius, float angle, uint64_t segments, bool drawLineToCenter) {
    if (segments == 0 || segments >= kMaxVertices) return;
    ccVertex2F* vertices = scratch(segments + 2);
    if (!vertices) return;
    const float coef = 6.2831855f / segments;
    for (uint64_t i = 0; i <= segments; ++i) {
        const float rads = i * coef + angle;
        vertices[i] = {static_cast<float>(std::cos(rads) * radius + center.x),
                       static_cast<float>(std::sin(rads) * radius + center.y)};
    }
    vertices[segments + 1] = toVertex(center);
    drawVertices(GL_LINE_STRIP, vertices, drawLineToCenter ? segments + 2 : segments + 1);
}

void ccDrawQuadBezier(CGPoint origin, CGPoint control, CGPoint destination, uint64_t segments) {
    ccVertex2F* vertices = segments < kMaxVertices ? scratch(segments + 1) : nullptr;
    if (!vertices) return;
    const ccVertex2F o = toVertex(origin), c = toVertex(control), d = toVertex(destination);
    float t = 0;
    for (uint64_t i = 0; i < segments; ++i) {
        const float u = 1 - t;
        vertices[i] = {u * u * o.x + 2 * u * t * c.x + t * t * d.x, u * u * o.y + 2 * u * t * c.y + t * t * d.y};
        t += 1.0f / segments;
    }
    vertices[segments] = d;
    drawVertices(GL_LINE_STRIP, vertices, segments + 1);
}

void ccDrawCubicBezier(CGPoint origin, CGPoint control1, CGPoint control2, CGPoint destination, uint64_t segments) {
    ccVertex2F* vertices = segments < kMaxVertices ? scratch(segments + 1) : nullptr;
    if (!vertices) return;
    const ccVertex2F o = toVertex(origin), c1 = toVertex(control1), c2 = toVertex(control2), d = toVertex(destination);
    float t = 0;
    for (uint64_t i = 0; i < segments; ++i) {
        const float u = 1 - t;
        const float a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, e = t * t * t;
        vertices[i] = {a * o.x + b * c1.x + c * c2.x + e * d.x, a * o.y + b * c1.y + c * c2.y + e * d.y};
        t += 1.0f / segments;
    }
    vertices[segments] = d;
    drawVertices(GL_LINE_STRIP, vertices, segments + 1);
}

void ccDrawCardinalSpline(const CCPointArray* points, double tension, uint64_t segments) {
    if (!points || points->count() == 0 || segments == 0) return;
    ccVertex2F* vertices = segments < kMaxVertices ? scratch(segments + 1) : nullptr;
    if (!vertices) return;
    for (uint64_t i = 0; i <= segments; ++i) {
        vertices[i] = toVertex(ccCardinalSplineAt(*points, tension, static_cast<double>(i) / segments));
    }
    drawVertices(GL_LINE_STRIP, vertices, segments + 1);
}

void ccDrawCatmullRom(const CCPointArray* points, uint64_t segments) { ccDrawCardinalSpline(points, 0.5, segments); }

void ccDrawColor4F(float r, float g, float b, float a) { state.color = {r, g, b, a}; }

void ccDrawColor4B(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    state.color = {r / 255.0f, g / 255.0f, b / 255.0f, a / 255.0f};
}

void ccPointSize(float size) {
    state.pointSize = static_cast<float>(size * CCDirector::sharedDirector()->contentScaleFactor());
    glPointSize(size);
}
