#include "engine/core/CCDrawNode.h"

#include <algorithm>
#include <cmath>

#include "engine/core/CCDirector.h"
#include "engine/core/CCGLProgram.h"
#include "engine/core/CCShaderCache.h"
#include "engine/core/ccGLStateCache.h"
#include "engine/core/support/ccPointMath.h"
#include "platform/foundation/Log.h"

namespace {

constexpr uint64_t kInitialCapacity = 512;  // vertices

// Below this, 1 + n1·n2 at a polygon vertex is taken as this: the extrusion offset
// (n1 + n2) / (1 + n1·n2) then stays within 10 units, and is 0 where the edges double back.
constexpr float kMinExtrusionDenominator = 0.02f;

ccVertex2F operator+(ccVertex2F a, ccVertex2F b) { return {a.x + b.x, a.y + b.y}; }
ccVertex2F operator-(ccVertex2F a, ccVertex2F b) { return {a.x - b.x, a.y - b.y}; }
ccVertex2F operator-(ccVertex2F a) { return {-a.x, -a.y}; }
ccVertex2F operator*(ccVertex2F a, float s) { return {a.x * s, a.y * s}; }
float dot(ccVertex2F a, ccVertex2F b) { return a.x * b.x + a.y * b.y; }

ccVertex2F toVertex(CGPoint p) { return {static_cast<float>(p.x), static_cast<float>(p.y)}; }

// The unit normal (-d.y, d.x) / |d| of the direction from a to b; false for coincident points.
bool edgeNormal(CGPoint a, CGPoint b, ccVertex2F* normal) {
    const CGPoint perpendicular = CGPointMake(-(b.y - a.y), b.x - a.x);
    if (!(ccPointLength(perpendicular) > 0)) return false;
    *normal = toVertex(ccPointNormalize(perpendicular));
    return true;
}

// Components limited to 0..1 (NaN to 0) before the byte conversion, which is undefined outside it.
ccColor4B toColor4B(ccColor4F c) {
    auto unit = [](float v) { return std::fmin(std::fmax(v, 0.0f), 1.0f); };
    return ccc4BFromccc4F({unit(c.r), unit(c.g), unit(c.b), unit(c.a)});
}

}  // namespace

RefPtr<CCDrawNode> CCDrawNode::node() { return makeRef<CCDrawNode>(); }

CCDrawNode::CCDrawNode() {
    blendFunc_ = {GL_ONE, GL_ONE_MINUS_SRC_ALPHA};
    setShaderProgram(CCShaderCache::sharedShaderCache()->programForKey(kCCShader_PositionLengthTextureColor));
    ensureCapacity(kInitialCapacity);

    glGenVertexArrays(1, &vao_);
    ccGLBindVertexArray(vao_);
    glGenBuffers(1, &vbo_);
    glBindBuffer(GL_ARRAY_BUFFER, vbo_);
    glBufferData(GL_ARRAY_BUFFER, sizeof(ccV2F_C4B_T2F) * buffer_.size(), buffer_.data(), GL_STREAM_DRAW);
    ccGLSetBufferAttribArrays(ccInterleavedAttribArrays(static_cast<const ccV2F_C4B_T2F*>(nullptr)));
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    ccGLBindVertexArray(0);
    CC_CHECK_GL_ERROR();
    dirty_ = true;
}

CCDrawNode::~CCDrawNode() {
    glDeleteBuffers(1, &vbo_);
    ccGLDeleteVertexArray(vao_);
}

void CCDrawNode::ensureCapacity(uint64_t count) {
    const uint64_t capacity = buffer_.size();
    if (bufferCount_ + count <= capacity) return;
    buffer_.resize(capacity + std::max(capacity, count));
}

void CCDrawNode::appendTriangle(ccVertex2F a, ccVertex2F ta, ccVertex2F b, ccVertex2F tb, ccVertex2F c,
                                ccVertex2F tc, ccColor4B color) {
    ccV2F_C4B_T2F* out = buffer_.data() + bufferCount_;
    out[0] = {a, color, {ta.x, ta.y}};
    out[1] = {b, color, {tb.x, tb.y}};
    out[2] = {c, color, {tc.x, tc.y}};
    bufferCount_ += 3;
}

void CCDrawNode::drawDot(CGPoint position, double radius, ccColor4F color) {
    ensureCapacity(6);
    const ccVertex2F p = toVertex(position);
    const float r = static_cast<float>(radius);
    const ccColor4B c = toColor4B(color);
    appendTriangle({p.x - r, p.y - r}, {-1, -1}, {p.x - r, p.y + r}, {-1, 1}, {p.x + r, p.y + r}, {1, 1}, c);
    appendTriangle({p.x - r, p.y - r}, {-1, -1}, {p.x + r, p.y + r}, {1, 1}, {p.x + r, p.y - r}, {1, -1}, c);
    dirty_ = true;
}

void CCDrawNode::drawSegmentFrom(CGPoint from, CGPoint to, double radius, ccColor4F color) {
    ensureCapacity(18);
    const ccVertex2F a = toVertex(from);
    const ccVertex2F b = toVertex(to);
    const float r = static_cast<float>(radius);
    const ccColor4B c = toColor4B(color);

    // n: across the stroke; t: along it, from b towards a. Coincident ends have no direction:
    // any one will do, and the two caps then make a disc.
    ccVertex2F n{0, 1};
    edgeNormal(from, to, &n);
    const ccVertex2F t{-n.y, n.x};
    const ccVertex2F nr = n * r;
    const ccVertex2F tr = t * r;

    appendTriangle(b - nr - tr, -n - t, b + nr - tr, n - t, b - nr, -n, c);  // cap beyond b
    appendTriangle(b + nr, n, b + nr - tr, n - t, b - nr, -n, c);
    appendTriangle(b + nr, n, a - nr, -n, b - nr, -n, c);  // body
    appendTriangle(b + nr, n, a - nr, -n, a + nr, n, c);
    appendTriangle(a - nr + tr, -n + t, a - nr, -n, a + nr, n, c);  // cap beyond a
    appendTriangle(a - nr + tr, -n + t, a + nr + tr, n + t, a + nr, n, c);
    dirty_ = true;
}

void CCDrawNode::drawPolyWithVerts(const CGPoint* verts, uint64_t count, ccColor4F fillColor, double borderWidth,
                                   ccColor4F borderColor) {
    if (!verts || count < 2) return;
    const uint64_t k = count;
    ensureCapacity(9 * k - 6);
    if (extrusions_.size() < k) extrusions_.resize(k);

    // Edge i runs from vertex i to vertex i + 1. A zero-length edge takes the normal of the edge
    // before it; when every edge has zero length all normals stay 0 and nothing is extruded.
    uint64_t first = 0;
    ccVertex2F normal{};
    while (first < k && !edgeNormal(verts[first], verts[(first + 1) % k], &normal)) ++first;
    for (uint64_t step = 0; step < k; ++step) {
        const uint64_t i = (first + step) % k;
        edgeNormal(verts[i], verts[(i + 1) % k], &normal);
        extrusions_[i].normal = normal;
    }
    for (uint64_t i = 0; i < k; ++i) {
        const ccVertex2F n1 = extrusions_[(i + k - 1) % k].normal;
        const ccVertex2F n2 = extrusions_[i].normal;
        extrusions_[i].offset = (n1 + n2) * (1.0f / std::max(dot(n1, n2) + 1.0f, kMinExtrusionDenominator));
    }

    const bool outline = borderWidth > 0 && borderColor.a > 0;
    const float inset = outline ? 0.0f : 0.5f;
    const ccColor4B fill = toColor4B(fillColor);
    const ccVertex2F zero{};
    auto inner = [&](uint64_t i, float w) { return toVertex(verts[i]) - extrusions_[i].offset * w; };
    auto outer = [&](uint64_t i, float w) { return toVertex(verts[i]) + extrusions_[i].offset * w; };

    for (uint64_t j = 0; j + 2 < k; ++j) {
        appendTriangle(inner(0, inset), zero, inner(j + 1, inset), zero, inner(j + 2, inset), zero, fill);
    }

    const float w = outline ? static_cast<float>(borderWidth) : 0.5f;
    const ccColor4B edgeColor = outline ? toColor4B(borderColor) : fill;
    for (uint64_t i = 0; i < k; ++i) {
        const uint64_t j = (i + 1) % k;
        const ccVertex2F e = extrusions_[i].normal;
        // The outline fades on both sides of the edge, the fringe only outwards.
        const ccVertex2F innerCoord = outline ? -e : zero;
        appendTriangle(inner(i, w), innerCoord, inner(j, w), innerCoord, outer(j, w), e, edgeColor);
        appendTriangle(inner(i, w), innerCoord, outer(i, w), e, outer(j, w), e, edgeColor);
    }
    dirty_ = true;
}

void CCDrawNode::clear() {
    bufferCount_ = 0;
    dirty_ = true;
}

void CCDrawNode::draw() {
    ccGLPrepareNodeDraw(glServerState(), *shaderProgram(), blendFunc_);
    render();
}

void CCDrawNode::render() {
    if (dirty_) {
        glBindBuffer(GL_ARRAY_BUFFER, vbo_);
        glBufferData(GL_ARRAY_BUFFER, sizeof(ccV2F_C4B_T2F) * buffer_.size(), buffer_.data(), GL_STREAM_DRAW);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        dirty_ = false;
    }
    ccGLBindVertexArray(vao_);
    glDrawArrays(GL_TRIANGLES, 0, bufferCount_);
    ccDrawCallCounter += 1;
    CC_CHECK_GL_ERROR();
}
