#pragma once

#include <map>
#include <string>
#include <string_view>

#include "engine/core/CCGLProgram.h"
#include "platform/foundation/Object.h"

// Keys of the built-in programs.
inline constexpr const char* kCCShader_PositionTextureColor = "ShaderPositionTextureColor";
inline constexpr const char* kCCShader_PositionTextureColorAlphaTest = "ShaderPositionTextureColorAlphaTest";
inline constexpr const char* kCCShader_PositionColor = "ShaderPositionColor";
inline constexpr const char* kCCShader_PositionTexture = "ShaderPositionTexture";
inline constexpr const char* kCCShader_PositionTexture_uColor = "ShaderPositionTexture_uColor";
inline constexpr const char* kCCShader_PositionTextureA8Color = "ShaderPositionTextureA8Color";
inline constexpr const char* kCCShader_Position_uColor = "ShaderPosition_uColor";
inline constexpr const char* kCCShader_PositionLengthTextureColor = "ShaderPositionLengthTextureColor";

// The process-wide registry of named programs. The shared cache is made the first time it is
// asked for, with the view's context current, and then builds the eight built-in programs; the
// director's end purges it, and the next use builds them again. Programs held elsewhere stay
// valid after a purge.
//
// Engine thread only.
class CCShaderCache : public Object {
public:
    // Throws NamedException "CCGLProgram" when a built-in program does not build: the engine
    // cannot draw without them.
    static CCShaderCache* sharedShaderCache();
    static void purgeSharedShaderCache();
    // The same as purgeSharedShaderCache.
    static void purgeSharedTextureCache() { purgeSharedShaderCache(); }

    CCShaderCache() = default;

    // Builds and stores the built-in programs (see sharedShaderCache for failure).
    void loadDefaultShaders();
    // Null for an unknown key.
    RefPtr<CCGLProgram> programForKey(std::string_view key) const;
    // Stores the program under the key, replacing any program there. A null program throws
    // NamedException "NSInvalidArgumentException".
    void addProgram(RefPtr<CCGLProgram> program, std::string_view key);

private:
    std::map<std::string, RefPtr<CCGLProgram>, std::less<>> programs_;
};
