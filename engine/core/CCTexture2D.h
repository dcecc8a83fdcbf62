#pragma once

#include <epoxy/gl.h>

#include <cstdint>
#include <string>

#include "engine/core/ccTypes.h"
#include "platform/foundation/Geometry.h"
#include "platform/foundation/Object.h"

class CCGLProgram;
class Image;
class TextRenderer;

// Pixel formats of texture data, with their bits per pixel.
enum CCTexture2DPixelFormat : int {
    kCCTexture2DPixelFormat_RGBA8888 = 0,  // 32
    kCCTexture2DPixelFormat_RGB888 = 1,    // 32 as counted, uploaded as 3 bytes per pixel
    kCCTexture2DPixelFormat_RGB565 = 2,    // 16
    kCCTexture2DPixelFormat_A8 = 3,        // 8
    kCCTexture2DPixelFormat_I8 = 4,        // 8, never uploaded from raw data
    kCCTexture2DPixelFormat_AI88 = 5,      // 16
    kCCTexture2DPixelFormat_RGBA4444 = 6,  // 16
    kCCTexture2DPixelFormat_RGB5A1 = 7,    // 16
    kCCTexture2DPixelFormat_PVRTC4 = 8,    // 4, never uploaded from raw data
    kCCTexture2DPixelFormat_PVRTC2 = 9,    // 2, never uploaded from raw data
};

// Horizontal text alignment: left, centre, right; vertical: top, centre, bottom.
inline constexpr int kCCTextAlignmentLeft = 0;
inline constexpr int kCCTextAlignmentCenter = 1;
inline constexpr int kCCTextAlignmentRight = 2;
inline constexpr int kCCVerticalTextAlignmentTop = 0;
inline constexpr int kCCVerticalTextAlignmentCenter = 1;
inline constexpr int kCCVerticalTextAlignmentBottom = 2;
// Line break modes: word wrapping, character wrapping; other values do not wrap.
inline constexpr int kCCLineBreakModeWordWrap = 0;
inline constexpr int kCCLineBreakModeCharacterWrap = 1;

// One GL 2D texture and what the engine needs to draw from it.
//
// The picture sits at the top-left of a GL image that may be larger (rounded up to powers of two
// when the GL context cannot do other sizes); row 0 of the GL image is the top of the picture, and
// maxS / maxT is the fraction of the GL image the picture covers.
//
// Made empty, then filled by one initialiser; an initialiser that answers false leaves the texture
// unusable, to be dropped (its GL name, if any, is deleted with it). Engine thread only, with the
// view's GL context current.
class CCTexture2D : public Object {
public:
    CCTexture2D();

    // Uploads `pixelsWide` x `pixelsHigh` pixels of `data` (rows packed, row 0 at the top; not
    // kept) in `format`; `contentSize` is the picture's size in pixels within them. Formats I8,
    // PVRTC4, PVRTC2 and values outside the list throw NamedException
    // "NSInternalInconsistencyException" before anything reaches GL.
    bool initWithData(const void* data, CCTexture2DPixelFormat format, uint64_t pixelsWide, uint64_t pixelsHigh,
                      CGSize contentSize);
    // The decoded picture, converted to the default alpha pixel format (pictures with alpha; their
    // colours premultiplied, except under A8, which keeps alpha alone) or to RGBA8888 / RGB565
    // (opaque ones), in a GL image of the picture's size rounded up to powers of two unless the
    // configuration supports other sizes. False for a null image and, before any
    // allocation, for a GL image above the maximum texture size (logged). A default alpha pixel
    // format other than RGBA8888, RGB888, RGB565, A8, RGBA4444 and RGB5A1 throws NamedException
    // "NSInternalInconsistencyException" "Invalid pixel format".
    bool initWithCGImage(const Image* image, int32_t resolutionType);
    // The same with the context's abilities given instead of read from the configuration (tests
    // use it to take the power-of-two path on a context that does not need it).
    bool initWithCGImage(const Image* image, int32_t resolutionType, bool supportsNPOT, GLint maxTextureSize);

    // The text in the font at `fontSize` pixels per em, in a texture the size of the set text,
    // lines centred, top-aligned. False for an unknown font or empty text.
    bool initWithString(const std::string& text, const std::string& fontName, double fontSize);
    // The text laid out in a box of `dimensions` pixels with the alignments and line break mode
    // (see the constants above). False for an unknown font, text that sets to nothing, or a box
    // whose GL image would exceed the maximum texture size.
    bool initWithString(const std::string& text, const std::string& fontName, double fontSize, CGSize dimensions,
                        int hAlignment, int vAlignment, int lineBreakMode = kCCLineBreakModeWordWrap);
    // The text set in an opened font: an AI88 texture of luminance 255 and the text's coverage as
    // alpha, the GL image the box's size rounded up to powers of two.
    bool initWithString(const std::string& text, CGSize dimensions, int hAlignment, int vAlignment,
                        const TextRenderer& font, int lineBreakMode);

    // The PVR file (looked up as a resource), all its levels; no premultiplied alpha unless
    // PVRImagesHavePremultipliedAlpha(true) was set. False when it cannot be read or holds no level.
    bool initWithPVRFile(const std::string& file);

    // "<CCTexture2D = 0x... | Name = 3 | Dimensions = 128x64 | Pixel format = RGBA8888 |
    // Coordinates = (0.78, 0.78)>".
    std::string description() const override;

    // The picture's size in points: pixels over the director's content scale factor.
    CGSize contentSize() const;
    CGSize contentSizeInPixels() const { return size_; }
    CCTexture2DPixelFormat pixelFormat() const { return format_; }
    uint64_t pixelsWide() const { return width_; }
    uint64_t pixelsHigh() const { return height_; }
    GLuint name() const { return name_; }
    float maxS() const { return maxS_; }
    void setMaxS(float maxS) { maxS_ = maxS; }
    float maxT() const { return maxT_; }
    void setMaxT(float maxT) { maxT_ = maxT; }
    bool hasPremultipliedAlpha() const { return hasPremultipliedAlpha_; }
    bool hasMipmaps() const { return hasMipmaps_; }
    CCGLProgram* shaderProgram() const;
    void setShaderProgram(RefPtr<CCGLProgram> program);
    int32_t resolutionType() const { return resolutionType_; }
    void setResolutionType(int32_t type) { resolutionType_ = type; }

    // Draws the picture at its size in pixels with its bottom-left corner at the point, or
    // stretched over the rect, with the texture's program; one draw call.
    void drawAtPoint(CGPoint point);
    void drawInRect(CGRect rect);

    void generateMipmap();
    // Binds the texture and sets min filter, mag filter, wrap S and wrap T from the record.
    void setTexParameters(const ccTexParams* texParams);
    // Nearest-pixel filtering (nearest mipmap when mipmapped).
    void setAliasTexParameters();
    // Linear filtering (nearest mipmap when mipmapped).
    void setAntiAliasTexParameters();

    static uint64_t bitsPerPixelForFormat(CCTexture2DPixelFormat format);  // all bits set when unknown
    uint64_t bitsPerPixelForFormat() const;
    // "RGBA8888" ... "PVRTC2"; empty for an unknown value.
    std::string stringForFormat() const;

    // The format pictures with alpha are converted to; RGBA8888 at start.
    static void setDefaultAlphaPixelFormat(CCTexture2DPixelFormat format);
    static CCTexture2DPixelFormat defaultAlphaPixelFormat();
    // Whether textures made from PVR files have premultiplied alpha; false at start.
    static void PVRImagesHavePremultipliedAlpha(bool haveAlphaPremultiplied);

protected:
    ~CCTexture2D() override;

    // Hooks over the pixel buffers that the image and text paths fill with malloc: keepData sees
    // the buffer before it is uploaded and returns it (a subclass may copy what it wants to keep);
    // releaseData frees it.
    virtual void* keepData(void* data, uint64_t length);
    virtual void releaseData(void* data);

private:
    GLuint name_ = 0;
    CGSize size_;       // the picture, pixels
    uint64_t width_ = 0;   // the GL image, pixels
    uint64_t height_ = 0;  // the GL image, pixels
    CCTexture2DPixelFormat format_ = kCCTexture2DPixelFormat_RGBA8888;
    float maxS_ = 0;  // picture width / GL width, 0-1
    float maxT_ = 0;  // picture height / GL height, 0-1
    bool hasPremultipliedAlpha_ = false;
    bool hasMipmaps_ = false;
    int32_t resolutionType_ = 0;  // of the source file as file lookup reported it; 0 unknown
    RefPtr<CCGLProgram> shaderProgram_;
};
