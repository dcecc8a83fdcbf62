#pragma once

#include <epoxy/gl.h>

#include <array>
#include <cstdint>
#include <string>

#include "engine/core/CCTexture2D.h"
#include "platform/foundation/Object.h"

// Most mipmap levels a PVR texture may have.
inline constexpr uint64_t kCCPVRMipmapMax = 16;

// One mipmap level inside a PVR file's bytes.
struct CCPVRMipmap {
    const unsigned char* address = nullptr;  // the level's first byte; null once the file is gone
    uint32_t len = 0;  // bytes the file holds for the level; fewer than the level needs when cut short
};

// An accepted uncompressed pixel layout and how GL takes it.
struct ccPVRTexturePixelFormatInfo {
    GLenum internalFormat;
    GLenum format;
    GLenum type;
    uint32_t bpp;  // bits per pixel
    bool alpha;
    CCTexture2DPixelFormat ccPixelFormat;
};

// Reads a texture in the PowerVR container, version 2 ("PVR!" at byte 44) or 3 ("PVR\3" at byte
// 0), plain or gzip / CCZ compressed, and creates a GL texture with all its levels. Only the nine
// uncompressed layouts of the table in the source are accepted.
//
// Parsing (unpackPVRData and the two version readers) needs no GL: it takes the context's
// abilities as arguments and only records where each level lies in the bytes. Hostile files are
// refused with one log line: a file shorter than its 52-byte header, a width or height of 0, more
// than InputLimits::kImagePixels pixels, more than kCCPVRMipmapMax levels, v3 metadata or levels
// beyond the end of the file. A v2 data length is clamped to the
// bytes the file holds; a last level cut short is uploaded padded with zeros.
//
// Engine thread only for initWith... and createGLTexture (they need the view's GL context).
class CCTexturePVR : public Object {
public:
    // Loaded textures, or null.
    static RefPtr<CCTexturePVR> pvrTextureWithContentsOfFile(const std::string& path);
    static RefPtr<CCTexturePVR> pvrTextureWithContentsOfURL(const std::string& url);

    CCTexturePVR();

    // Reads the file (through the CCZ reader when its name ends in ".ccz", the gzip reader for
    // ".gz", any letter case), parses it and creates the GL texture. False when any step fails.
    bool initWithContentsOfFile(const std::string& path);
    // Only "file://" URLs (percent escapes decoded); any other URL gives false.
    bool initWithContentsOfURL(const std::string& url);

    // Parses `length` bytes of a PVR v2 or v3 file, which must outlive the use of the levels.
    bool unpackPVRData(const unsigned char* data, uint64_t length, bool supportsNPOT, bool supportsBGRA8888);
    // Each answers false for a file of the other version as well as for a broken one.
    bool unpackPVRv2Data(const unsigned char* data, uint64_t length, bool supportsNPOT, bool supportsBGRA8888);
    bool unpackPVRv3Data(const unsigned char* data, uint64_t length, bool supportsBGRA8888);
    // Uploads the parsed levels into a new GL texture; with no levels there is no texture (name 0)
    // and the answer is true. False when level 0 exceeds the maximum texture size or GL refuses an
    // upload.
    bool createGLTexture();

    GLuint name() const { return name_; }
    uint32_t width() const { return width_; }    // level 0, pixels
    uint32_t height() const { return height_; }  // level 0, pixels
    bool hasAlpha() const { return hasAlpha_; }
    uint64_t numberOfMipmaps() const { return numberOfMipmaps_; }
    // The GL texture outlives this object when true (a CCTexture2D took it over).
    bool retainName() const { return retainName_; }
    void setRetainName(bool retainName) { retainName_ = retainName; }
    CCTexture2DPixelFormat format() const { return format_; }
    // Level 0 to kCCPVRMipmapMax - 1 (std::out_of_range beyond).
    const CCPVRMipmap& mipmap(uint64_t level) const { return mipmaps_.at(level); }
    // The matched layout; null before a successful parse.
    const ccPVRTexturePixelFormatInfo* pixelFormatInfo() const { return pixelFormatInfo_; }

protected:
    ~CCTexturePVR() override;

private:
    // Forgets the levels, size, alpha and layout (the GL name and retainName stay).
    void resetLevels();

    std::array<CCPVRMipmap, kCCPVRMipmapMax> mipmaps_;
    uint64_t numberOfMipmaps_ = 0;
    uint32_t width_ = 0;
    uint32_t height_ = 0;
    GLuint name_ = 0;
    bool hasAlpha_ = false;
    bool retainName_ = false;
    CCTexture2DPixelFormat format_ = kCCTexture2DPixelFormat_RGBA8888;
    const ccPVRTexturePixelFormatInfo* pixelFormatInfo_ = nullptr;
};
