#pragma once

#include <epoxy/gl.h>

#include <cstdint>
#include <string>

#include "platform/foundation/Object.h"

// What the GL context can do, read once: texture limits and the extensions the texture, PVR and
// atlas code ask about, plus the operating system's version.
//
// The shared instance is made on first use, which must come with a GL context current; it keeps
// that context's answers for the life of the process. Engine thread only.
class CCConfiguration : public Object {
public:
    static CCConfiguration* sharedConfiguration();

    // Reads everything from the current GL context.
    CCConfiguration();

    // "major.minor.patch" of the running system (the kernel release here).
    static std::string getMacVersion();
    // A dotted version packed one byte per component from the most significant down:
    // "10.8.5" -> 0x0A080500; a fifth component and beyond are dropped.
    static uint32_t packOSVersion(const std::string& version);

    // True when the context's extension string, split at blanks, holds exactly this name.
    bool checkForGLExtension(const std::string& searchName) const;

    GLint maxTextureSize() const { return maxTextureSize_; }
    GLint maxTextureUnits() const { return maxTextureUnits_; }
    // Never read from GL: 0.
    GLint maxModelviewStackDepth() const { return maxModelviewStackDepth_; }
    bool supportsPVRTC() const { return supportsPVRTC_; }
    bool supportsNPOT() const { return supportsNPOT_; }
    bool supportsBGRA8888() const { return supportsBGRA8888_; }
    bool supportsDiscardFramebuffer() const { return supportsDiscardFramebuffer_; }
    // The shareable vertex-array-object extension; the engine uses the core calls either way.
    bool supportsShareableVAO() const { return supportsShareableVAO_; }
    uint32_t OSVersion() const { return OSVersion_; }

private:
    std::string glExtensions_;  // GL_EXTENSIONS as the context gave it
    GLint maxTextureSize_ = 0;  // pixels per side
    GLint maxModelviewStackDepth_ = 0;
    bool supportsPVRTC_ = false;
    bool supportsNPOT_ = false;
    bool supportsBGRA8888_ = false;
    bool supportsDiscardFramebuffer_ = false;
    bool supportsShareableVAO_ = false;
    uint32_t OSVersion_ = 0;  // see packOSVersion
    GLint maxSamplesAllowed_ = 0;  // multisample limit; read, not yet asked for
    GLint maxTextureUnits_ = 0;    // combined over all shader stages
};
