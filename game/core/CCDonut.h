#pragma once

#include <epoxy/gl.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/core/CCNode.h"
#include "engine/core/CCRGBAProtocol.h"
#include "engine/core/CCTexture2D.h"
#include "engine/core/CCTextureProtocol.h"
#include "engine/core/ccTypes.h"

// One vertex of a ring: position, then texture coordinate; 16 bytes.
struct VT_V2F_T2F {
    ccVertex2F vertices;
    ccTex2F texCoords;
};
static_assert(sizeof(VT_V2F_T2F) == 16);

// A textured ring about the node's origin, or a sector of one between two angles, drawn as one
// indexed triangle strip with the "ShaderPositionTexture_uColor" program. The texture rect's top
// edge runs along the outer edge and its bottom along the inner edge, repeated repeatCount times
// from the start angle to the end angle; the texture repeats along S, so a rect spanning the
// texture's width joins seamlessly.
//
// With S subdivisions the strip has 2S + 1 vertices: outer points at the even positions (S + 1
// of them, start to end), inner points at the odd ones (S of them, start to end), in the order
// outer 0, inner 0, outer 1, ..., inner S - 1, outer S.
//
// The program, the buffers and the vertex array object come at the first draw, on the engine
// thread, and are reused when the ring is made again; so a ring can be made and measured without
// GL, and once drawn, letting the last reference go needs the view's GL context. Drawing
// allocates nothing.
//
// Engine thread only.
class CCDonut : public CCNode, public CCRGBAProtocol, public CCTextureProtocol {
public:
    // 2S + 1 vertices are numbered in 16 bits.
    static constexpr int32_t kMaxSubDivisions = 32767;
    // More repeats than this make texture coordinates that float can no longer tell apart.
    static constexpr int32_t kMaxRepeatCount = 32767;

    // Opacity 255, white, no texture (so blending (GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA)), no
    // ring yet.
    CCDonut();

    // The texture and the rect of it that the ring repeats (points).
    bool initWithTexture(RefPtr<CCTexture2D> texture, CGRect rect);
    // The whole texture.
    bool initWithTexture(RefPtr<CCTexture2D> texture);
    // The image through the shared texture cache; false (logged) when it cannot be loaded.
    bool initWithFile(const std::string& file, CGRect rect);
    bool initWithFile(const std::string& file);

    // A full ring, starting at the top and going clockwise: the wedge from 90 to -270 degrees.
    bool createDonut(float outerDistance, float innerDistance, int32_t subDivisions, int32_t repeatCount);
    // The sector from startAngle to endAngle (degrees counter-clockwise from +x; an end below the
    // start goes clockwise) between the two radii (points). Subdivisions outside 2..32767 are
    // refused, logged, and leave the ring as it was (the inner edge divides by S - 1, and the
    // 2S + 1 vertices are numbered in 16 bits); so are repeat counts outside 1..32767 and radii
    // and angles that are not finite.
    bool createWedge(float outerDistance, float innerDistance, int32_t subDivisions, int32_t repeatCount,
                     float startAngle, float endAngle);

    // Points; also the node's content size. Recomputes the texture coordinates.
    void setTextureRect(CGRect rect);
    // Pixels; the untrimmed size is not used. Recomputes the texture coordinates.
    void setTextureRectInPixels(CGRect rect, CGSize untrimmedSize);
    CGRect textureRect() const { return rect_; }

    // Linear filtering, repeat along S, clamp along T; then the blend function follows the
    // texture's alpha (see updateBlendFunc). The texture coordinates are not recomputed.
    void setTexture(RefPtr<CCTexture2D> texture) override;
    CCTexture2D* texture() const override { return texture_.get(); }
    // Premultiplied alpha: (GL_ONE, GL_ONE_MINUS_SRC_ALPHA) and opacity modifying the colour;
    // otherwise, or without a texture, (GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA) and not.
    void updateBlendFunc();
    ccBlendFunc blendFunc() const override { return blendFunc_; }
    void setBlendFunc(ccBlendFunc blendFunc) override { blendFunc_ = blendFunc; }

    // With opacity modifying the colour, the drawn colour is each channel x opacity / 255 and
    // color() answers the colour as set; otherwise both are the colour as set.
    ccColor3B color() const override;
    void setColor(ccColor3B color) override;
    uint8_t opacity() const override { return opacity_; }
    void setOpacity(uint8_t opacity) override;
    void setOpacityModifyRGB(bool modify) override;
    bool doesOpacityModifyRGB() const override { return opacityModifyRGB_; }
    // The colour the program gets.
    ccColor3B drawnColor() const { return color_; }

    void draw() override;

    int32_t vertexCount() const { return vertexCount_; }
    const VT_V2F_T2F* vertexData() const { return vertexData_.data(); }
    const uint16_t* indices() const { return indices_.data(); }
    int32_t subDivisions() const { return subDivisions_; }
    int32_t repeatCount() const { return repeatCount_; }
    float outerDistance() const { return outerDistance_; }
    float innerDistance() const { return innerDistance_; }
    float startAngle() const { return startAngle_; }
    float endAngle() const { return endAngle_; }
    // The GL objects; 0 before the first draw.
    GLuint vertexBuffer() const { return buffersVBO_[0]; }
    GLuint indexBuffer() const { return buffersVBO_[1]; }
    GLuint vertexArray() const { return VAO_; }

protected:
    ~CCDonut() override;

private:
    // Texture coordinates of every vertex from the rect (pixels); nothing without a texture or a
    // ring.
    void updateTextureCoords(CGRect rectInPixels);
    // Makes the GL objects on first use and uploads what changed.
    void uploadBuffers();

    std::vector<VT_V2F_T2F> vertexData_;  // vertexCount_ of them
    int32_t vertexCount_ = 0;             // 2 x subDivisions_ + 1; 0 before the first ring
    std::vector<uint16_t> indices_;       // 0 .. vertexCount_ - 1
    int32_t repeatCount_ = 1;             // times the rect repeats from start to end
    int32_t subDivisions_ = 0;            // segments along the outer edge
    float outerDistance_ = 0;             // points
    float innerDistance_ = 0;             // points
    float startAngle_ = 0;                // degrees, counter-clockwise from +x
    float endAngle_ = 0;
    ccBlendFunc blendFunc_;
    RefPtr<CCTexture2D> texture_;
    CGRect rect_;                         // texture rect, points
    CGRect rectInPixels_;                 // the same, pixels
    uint8_t opacity_ = 255;
    ccColor3B color_{255, 255, 255};            // drawn
    ccColor3B colorUnmodified_{255, 255, 255};  // as set
    bool opacityModifyRGB_ = false;
    GLuint buffersVBO_[2] = {0, 0};       // vertices, indices
    GLuint VAO_ = 0;
    bool dirty_ = false;                  // the vertex buffer must be refilled
    bool indicesDirty_ = false;           // the index buffer must be refilled
    GLint shaderAttributeColorLocation_ = -1;  // "u_color"
};
