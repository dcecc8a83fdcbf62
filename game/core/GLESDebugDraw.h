#pragma once

#include <box2d/box2d.h>
#include <epoxy/gl.h>

#include <vector>

#include "engine/core/CCGLProgram.h"

// Draws the world's shapes, joints, bounding boxes and transforms over the scene, in the current
// model-view space, with the shader cache's plain-colour program: each vertex is multiplied by
// `ratio` (points per metre) and each GL draw adds one to the draw counter. Solid shapes are a
// fan at half colour and half alpha under a full-colour outline; circles have 16 points.
class GLESDebugDraw : public b2Draw {
public:
    GLESDebugDraw() : GLESDebugDraw(1.0f) {}
    explicit GLESDebugDraw(float ratio);

    void DrawPolygon(const b2Vec2* vertices, int32 vertexCount, const b2Color& color) override;
    void DrawSolidPolygon(const b2Vec2* vertices, int32 vertexCount, const b2Color& color) override;
    void DrawCircle(const b2Vec2& center, float radius, const b2Color& color) override;
    void DrawSolidCircle(const b2Vec2& center, float radius, const b2Vec2& axis, const b2Color& color) override;
    void DrawSegment(const b2Vec2& p1, const b2Vec2& p2, const b2Color& color) override;
    // Red 0.4 m along the x axis, then green along the y axis.
    void DrawTransform(const b2Transform& xf) override;
    // One point of `size` pixels.
    void DrawPoint(const b2Vec2& p, float size, const b2Color& color) override;
    void DrawString(int x, int y, const char* string);
    void DrawAABB(const b2AABB* aabb, const b2Color& color);

    float ratio() const { return ratio_; }

private:
    // Takes the program from the shader cache on first use (so the drawer can be made before
    // there is a GL context) and makes it current with the built-in matrices; false without it.
    bool prepareProgram();
    // Scales the vertices into the scratch buffer (kept between calls) and returns it.
    const GLfloat* scaled(const b2Vec2* vertices, int32 count);
    // The 16 points of a circle, scaled.
    const GLfloat* circle(const b2Vec2& center, float radius);
    void draw(GLenum mode, const GLfloat* vertices, int32 count, float r, float g, float b, float a);

    float ratio_;
    RefPtr<CCGLProgram> program_;
    GLint colorLocation_ = -1;
    GLint pointSizeLocation_ = -1;
    std::vector<GLfloat> scratch_;
};
