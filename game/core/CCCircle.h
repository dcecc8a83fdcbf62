#pragma once

#include <epoxy/gl.h>

#include <cstdint>
#include <vector>

#include "engine/core/CCNode.h"
#include "engine/core/CCRGBAProtocol.h"
#include "engine/core/ccTypes.h"

// A filled disc of one colour about the node's origin: a triangle fan of the centre and
// segmentCount + 1 rim points (the last repeats the first) in one vertex buffer read through a
// vertex array object, drawn with the "ShaderPosition_uColor" program. The colour and opacity go
// to the program as they are, each draw; the blend function is whatever is current.
//
// The program, the buffer, its vertex array object and the upload come at the first draw, so a
// circle can be made and measured without GL; once drawn, letting the last reference go needs the
// view's GL context.
//
// Engine thread only.
class CCCircle : public CCNode, public CCRGBAProtocol {
public:
    CCCircle() = default;

    // radius: points. colour: r, g, b become the colour and a the opacity. segmentCount: rim
    // segments, at least 1 (false, logged, otherwise: the angle step divides by it); a radius that
    // is not a finite number is refused too. Anchor point (0, 0).
    bool initWithRadius(float radius, ccColor4B colour, int32_t segmentCount);

    void draw() override;

    ccColor3B color() const override { return color_; }
    void setColor(ccColor3B color) override { color_ = color; }
    uint8_t opacity() const override { return opacity_; }
    void setOpacity(uint8_t opacity) override { opacity_ = opacity; }

    // segmentCount + 2: the centre, then the rim from angle 0 counter-clockwise.
    int32_t vertexCount() const { return vertexCount_; }
    const ccVertex2F* vertexData() const { return vertexData_.data(); }

protected:
    ~CCCircle() override;

private:
    // Makes the buffer and its vertex array object the first time, then uploads vertexData_.
    void uploadBuffer();

    std::vector<ccVertex2F> vertexData_;  // points, in the node's space
    int32_t vertexCount_ = 0;
    uint8_t opacity_ = 255;
    ccColor3B color_{255, 255, 255};
    GLuint bufferVBO_ = 0;                   // 0 until the first draw
    GLuint VAO_ = 0;                         // reads bufferVBO_'s positions; 0 until the first draw
    bool dirty_ = false;                     // vertexData_ must be uploaded
    GLint shaderAttributeColorLocation_ = -1;  // "u_color"
};
