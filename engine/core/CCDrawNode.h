#pragma once

#include <cstdint>
#include <vector>

#include <epoxy/gl.h>

#include "engine/core/CCNode.h"
#include "engine/core/ccTypes.h"

// A node that collects anti-aliased dots, round-capped segments and filled, optionally outlined
// polygons as triangles in one vertex buffer and draws them all with one call of the
// "ShaderPositionLengthTextureColor" program. That program fades each triangle out where the
// length of its texture coordinate reaches 1, which gives the round and anti-aliased edges; its
// colours are premultiplied, hence the blend (GL_ONE, GL_ONE_MINUS_SRC_ALPHA).
//
// The buffer only grows, when shapes are added; drawing allocates nothing. Colours are stored as
// bytes (each component x 255, truncated). Positions are points in the node's space.
//
// Making one needs the view's GL context, and so does letting the last reference go.
class CCDrawNode : public CCNode {
public:
    static RefPtr<CCDrawNode> node();

    // Room for 512 vertices, and the vertex array object over the buffer.
    CCDrawNode();

    // Makes room for `count` more vertices: when they do not fit, the capacity grows by
    // max(capacity, count).
    void ensureCapacity(uint64_t count);

    // A disc: 6 vertices.
    void drawDot(CGPoint position, double radius, ccColor4F color);
    // A stroke of half-width `radius` with round ends: 18 vertices. Coincident ends make a disc.
    void drawSegmentFrom(CGPoint from, CGPoint to, double radius, ccColor4F color);
    // A polygon of `count` vertices in order (the last edge closes it): the fill and, with a
    // positive border width and border alpha, an outline centred on the edges; without one, a
    // one-unit anti-aliased fringe. 9 x count - 6 vertices; fewer than 2 vertices add nothing.
    // A zero-length edge takes the previous edge's direction, and the extrusion of a vertex where
    // the edges double back on themselves is limited to ten times the border width.
    void drawPolyWithVerts(const CGPoint* verts, uint64_t count, ccColor4F fillColor, double borderWidth,
                           ccColor4F borderColor);

    // Drops every shape.
    void clear();

    void draw() override;
    // Uploads the buffer when shapes changed and draws every vertex.
    void render();

    ccBlendFunc blendFunc() const { return blendFunc_; }
    void setBlendFunc(ccBlendFunc blendFunc) { blendFunc_ = blendFunc; }

    uint64_t bufferCapacity() const { return buffer_.size(); }
    uint64_t bufferCount() const { return bufferCount_; }
    // The vertices in use, bufferCount() of them.
    const ccV2F_C4B_T2F* buffer() const { return buffer_.data(); }

protected:
    ~CCDrawNode() override;

private:
    // Appends a triangle of (position, texture coordinate) corners in one colour.
    void appendTriangle(ccVertex2F a, ccVertex2F ta, ccVertex2F b, ccVertex2F tb, ccVertex2F c, ccVertex2F tc,
                        ccColor4B color);

    GLuint vao_ = 0;
    GLuint vbo_ = 0;
    std::vector<ccV2F_C4B_T2F> buffer_;  // size() is the capacity, in vertices
    GLsizei bufferCount_ = 0;             // vertices in use, from the start of buffer_
    ccBlendFunc blendFunc_;
    bool dirty_ = false;                  // buffer_ changed since the last upload
    // Per polygon vertex, kept between calls so that redrawing polygons allocates nothing once
    // it has room: the extrusion offset and the normal of the edge that starts there.
    struct Extrusion {
        ccVertex2F offset;
        ccVertex2F normal;
    };
    std::vector<Extrusion> extrusions_;
};
