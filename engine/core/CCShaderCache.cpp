#include "engine/core/CCShaderCache.h"

#include <utility>

#include "engine/core/ccCachePurge.h"
#include "engine/core/ccGLStateCache.h"
#include "engine/core/ccShaders.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NamedException.h"

namespace {

// Owns one count. A plain pointer so that nothing deletes the cache at exit: its programs would
// call GL after the context is gone. The director's end purges it while the context is current.
CCShaderCache* sharedInstance = nullptr;

struct Attribute {
    const char* name;
    GLuint index;
};

struct BuiltinProgram {
    const char* key;
    const char* vertexShader;
    const char* fragmentShader;
    Attribute attributes[3];  // bound in this order; unused entries have no name
};

const Attribute kPosition{kCCAttributeNamePosition, kCCVertexAttrib_Position};
const Attribute kColor{kCCAttributeNameColor, kCCVertexAttrib_Color};
const Attribute kTexCoord{kCCAttributeNameTexCoord, kCCVertexAttrib_TexCoords};

}  // namespace

CCShaderCache* CCShaderCache::sharedShaderCache() {
    if (!sharedInstance) {
        RefPtr<CCShaderCache> cache = makeRef<CCShaderCache>();
        cache->loadDefaultShaders();
        sharedInstance = cache.leak();
        ccCacheRegisterPurge(kCCCacheShaders, &CCShaderCache::purgeSharedShaderCache, nullptr);
    }
    return sharedInstance;
}

void CCShaderCache::purgeSharedShaderCache() {
    if (CCShaderCache* cache = std::exchange(sharedInstance, nullptr)) cache->release();
}

void CCShaderCache::loadDefaultShaders() {
    const BuiltinProgram builtins[] = {
        {kCCShader_PositionTextureColor, ccPositionTextureColor_vert, ccPositionTextureColor_frag,
         {kPosition, kColor, kTexCoord}},
        {kCCShader_PositionTextureColorAlphaTest, ccPositionTextureColor_vert, ccPositionTextureColorAlphaTest_frag,
         {kPosition, kColor, kTexCoord}},
        {kCCShader_PositionColor, ccPositionColor_vert, ccPositionColor_frag, {kPosition, kColor}},
        {kCCShader_PositionTexture, ccPositionTexture_vert, ccPositionTexture_frag, {kPosition, kTexCoord}},
        {kCCShader_PositionTexture_uColor, ccPositionTexture_vert, ccPositionTexture_uColor_frag,
         {kPosition, kTexCoord}},
        {kCCShader_PositionTextureA8Color, ccPositionTextureColor_vert, ccPositionTextureA8Color_frag,
         {kPosition, kColor, kTexCoord}},
        {kCCShader_Position_uColor, ccPosition_uColor_vert, ccPosition_uColor_frag, {kPosition}},
        {kCCShader_PositionLengthTextureColor, ccPositionLengthTextureColor_vert, ccPositionLengthTextureColor_frag,
         {kPosition, kTexCoord, kColor}},
    };
    for (const BuiltinProgram& builtin : builtins) {
        const RefPtr<CCGLProgram> program = makeRef<CCGLProgram>();
        bool built = program->initWithVertexShaderByteArray(builtin.vertexShader, builtin.fragmentShader);
        if (built) {
            for (const Attribute& attribute : builtin.attributes) {
                if (attribute.name) program->addAttribute(attribute.name, attribute.index);
            }
            built = program->link();
        }
        if (!built) {
            // The program logged why; without its built-ins the engine cannot draw at all.
            logLine("Lumora: ERROR: the built-in program %s does not build", builtin.key);
            throw NamedException("CCGLProgram", std::string("Cannot build the built-in program ") + builtin.key);
        }
        program->updateUniforms();
        programs_[builtin.key] = program;
    }
}

RefPtr<CCGLProgram> CCShaderCache::programForKey(std::string_view key) const {
    const auto found = programs_.find(key);
    return found == programs_.end() ? nullptr : found->second;
}

void CCShaderCache::addProgram(RefPtr<CCGLProgram> program, std::string_view key) {
    if (!program) throw NamedException("NSInvalidArgumentException", "addProgram: a null program");
    programs_.insert_or_assign(std::string(key), std::move(program));
}
