#pragma once

#include <epoxy/gl.h>

#include <cstdint>
#include <string>

#include "engine/core/CCNode.h"
#include "engine/core/CCTexture2D.h"
#include "engine/render/CCSprite.h"

class Image;

// File formats saveToFile writes.
enum CCImageFormat : int {
    kCCImageFormatJPEG = 0,
    kCCImageFormatPNG = 1,
};

// An off-screen drawing target: a framebuffer object whose colour attachment is a texture, with an
// optional depth (or depth-stencil) renderbuffer. Whatever is visited or drawn between begin and
// end lands in the texture, at the same scale as it would on the window; a child sprite, flipped
// vertically, shows the result in the scene. The pixels can be read back as an image (top row
// first) and saved as PNG or JPEG into the user's documents folder.
//
// begin and end nest with other render textures and with the model-view stack: end restores the
// framebuffer, the viewport and the model-view matrix that begin found.
//
// Engine thread only, with the view's GL context current.
class CCRenderTexture : public CCNode {
public:
    // Factories through the initialisers of the same names; null where those fail.
    static RefPtr<CCRenderTexture> renderTextureWithWidth(int32_t width, int32_t height);
    static RefPtr<CCRenderTexture> renderTextureWithWidth(int32_t width, int32_t height,
                                                          CCTexture2DPixelFormat format);
    static RefPtr<CCRenderTexture> renderTextureWithWidth(int32_t width, int32_t height, CCTexture2DPixelFormat format,
                                                          GLuint depthStencilFormat);

    CCRenderTexture() = default;

    // RGBA8888, no depth buffer.
    bool initWithWidth(int32_t width, int32_t height);
    // No depth buffer.
    bool initWithWidth(int32_t width, int32_t height, CCTexture2DPixelFormat format);
    // A target of width x height points (times the content scale factor in pixels, in a texture
    // rounded up to powers of two unless the context supports other sizes), cleared to
    // transparent black. depthStencilFormat is a GL renderbuffer format (GL_DEPTH_COMPONENT24,
    // GL_DEPTH24_STENCIL8...) or 0 for none. False with one log line when the size is not
    // positive or exceeds the maximum texture size, or when GL cannot complete the framebuffer
    // (a format it cannot draw into, such as A8). Formats the texture refuses throw as
    // CCTexture2D::initWithData says.
    bool initWithWidth(int32_t width, int32_t height, CCTexture2DPixelFormat format, GLuint depthStencilFormat);

    // Starts drawing into the texture: pushes the model-view matrix and scales it so that window
    // coordinates map onto the texture, sets the viewport to the texture's picture and binds the
    // framebuffer. Each begin needs its end.
    void begin();
    // Binds the framebuffer, viewport and model-view matrix begin found.
    void end();
    // begin, then clears the colour (0-1 per component) and the depth buffer.
    void beginWithClear(float r, float g, float b, float a);
    // The same with the depth buffer's clear value (0-1).
    void beginWithClear(float r, float g, float b, float a, float depth);
    // The same, also clearing the stencil buffer to the value.
    void beginWithClear(float r, float g, float b, float a, float depth, int32_t stencil);
    // beginWithClear(r, g, b, a), then end.
    void clear(float r, float g, float b, float a);
    // Clears the depth buffer of the texture to the value.
    void clearDepth(float depth);
    // Clears the stencil buffer of whatever framebuffer is bound: call it between begin and end to
    // clear this texture's. Every clear keeps GL's clear values as they were.
    void clearStencil(int32_t stencil);

    // The texture's pixels, premultiplied RGBA with alpha, row 0 the picture's top; an empty image
    // when the pixels cannot be had.
    Image newCGImage();
    // saveToFile(name, kCCImageFormatJPEG).
    bool saveToFile(const std::string& name);
    // Writes the pixels into the documents folder (made when missing) under the file name,
    // replacing any file there atomically: PNG with straight alpha, or JPEG without alpha. A name
    // that is empty or holds "/" or "..", and a format other than the two, write nothing and
    // answer false with one log line; so does a failure to write.
    bool saveToFile(const std::string& name, int format);

    // The child that shows the texture; set to show it through another sprite.
    CCSprite* sprite() const { return sprite_.get(); }
    void setSprite(RefPtr<CCSprite> sprite) { sprite_ = std::move(sprite); }
    // The colour target.
    CCTexture2D* texture() const { return texture_.get(); }
    CCTexture2DPixelFormat pixelFormat() const { return pixelFormat_; }

protected:
    ~CCRenderTexture() override;

private:
    GLuint fbo_ = 0;
    GLuint depthRenderBuffer_ = 0;  // 0 when there is none
    GLint oldFBO_ = 0;              // bound before the last begin
    GLint oldViewport_[4] = {};     // x, y, width, height before the last begin, pixels
    RefPtr<CCTexture2D> texture_;
    RefPtr<CCSprite> sprite_;
    CCTexture2DPixelFormat pixelFormat_ = kCCTexture2DPixelFormat_RGBA8888;
};
