// The GL state cache without a GL context: the GL entry points it calls are replaced, for the
// length of each test, by recorders that note each call, so the tests see exactly which calls
// reach GL.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/core/ccGLStateCache.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/StringUtils.h"

namespace {

std::vector<std::string> calls;

void note(const char* format, unsigned a, unsigned b = 0) { calls.push_back(stringWithFormat(format, a, b)); }

// libepoxy dispatches every GL function through a writable global pointer; a test may point one
// elsewhere and put it back.
template <typename Function>
class Swap {
public:
    Swap(Function& slot, Function replacement) : slot_(slot), saved_(slot) { slot_ = replacement; }
    ~Swap() { slot_ = saved_; }
    Swap(const Swap&) = delete;
    Swap& operator=(const Swap&) = delete;

private:
    Function& slot_;
    Function saved_;
};

class ccGLStateCacheTest : public ::testing::Test {
protected:
    Swap<PFNGLUSEPROGRAMPROC> useProgram_{epoxy_glUseProgram, [](GLuint p) { note("UseProgram %u", p); }};
    Swap<PFNGLDELETEPROGRAMPROC> deleteProgram_{epoxy_glDeleteProgram, [](GLuint p) { note("DeleteProgram %u", p); }};
    Swap<PFNGLENABLEPROC> enable_{epoxy_glEnable, [](GLenum cap) { note("Enable 0x%X", cap); }};
    Swap<PFNGLDISABLEPROC> disable_{epoxy_glDisable, [](GLenum cap) { note("Disable 0x%X", cap); }};
    Swap<PFNGLBLENDFUNCPROC> blendFunc_{epoxy_glBlendFunc,
                                        [](GLenum s, GLenum d) { note("BlendFunc 0x%X 0x%X", s, d); }};
    Swap<PFNGLBLENDEQUATIONPROC> blendEquation_{epoxy_glBlendEquation, [](GLenum e) { note("BlendEquation 0x%X", e); }};
    Swap<PFNGLACTIVETEXTUREPROC> activeTexture_{epoxy_glActiveTexture,
                                                [](GLenum unit) { note("ActiveTexture %u", unit - GL_TEXTURE0); }};
    Swap<PFNGLBINDTEXTUREPROC> bindTexture_{epoxy_glBindTexture, [](GLenum, GLuint name) { note("BindTexture %u", name); }};
    Swap<PFNGLDELETETEXTURESPROC> deleteTextures_{epoxy_glDeleteTextures, [](GLsizei n, const GLuint* names) {
                                                      note("DeleteTextures %u %u", unsigned(n), names[0]);
                                                  }};
    Swap<PFNGLBINDVERTEXARRAYPROC> bindVertexArray_{epoxy_glBindVertexArray,
                                                    [](GLuint vao) { note("BindVertexArray %u", vao); }};
    Swap<PFNGLDELETEVERTEXARRAYSPROC> deleteVertexArrays_{epoxy_glDeleteVertexArrays, [](GLsizei n, const GLuint* names) {
                                                              note("DeleteVertexArrays %u %u", unsigned(n), names[0]);
                                                          }};
    Swap<PFNGLENABLEVERTEXATTRIBARRAYPROC> enableAttrib_{epoxy_glEnableVertexAttribArray,
                                                         [](GLuint index) { note("EnableAttrib %u", index); }};
    Swap<PFNGLDISABLEVERTEXATTRIBARRAYPROC> disableAttrib_{epoxy_glDisableVertexAttribArray,
                                                           [](GLuint index) { note("DisableAttrib %u", index); }};
    Swap<PFNGLBINDBUFFERPROC> bindBuffer_{epoxy_glBindBuffer, [](GLenum target, GLuint buffer) {
                                              note("BindBuffer 0x%X %u", target, buffer);
                                          }};
    // Pointers are noted as byte offsets from `attribBase`.
    Swap<PFNGLVERTEXATTRIBPOINTERPROC> attribPointer_{
        epoxy_glVertexAttribPointer,
        [](GLuint index, GLint size, GLenum type, GLboolean normalised, GLsizei stride, const void* pointer) {
            const auto offset = reinterpret_cast<uintptr_t>(pointer) - reinterpret_cast<uintptr_t>(attribBase);
            calls.push_back(stringWithFormat("AttribPointer %u %d 0x%X %d %d +%u", index, size, type, normalised,
                                             stride, static_cast<unsigned>(offset)));
        }};

    static inline const void* attribBase = nullptr;
};

using Calls = std::vector<std::string>;

TEST_F(ccGLStateCacheTest, OnlyChangesReachGLAndDeletionsOrInvalidationForgetTheState) {
    const struct {
        const char* name;
        std::function<void()> calls;
        Calls expected;
    } sequences[] = {
        // Deleting another program keeps the current one; deleting the current one forgets it, so
        // a new program that gets its name is made current again.
        {"programs",
         [] {
             for (GLuint program : {3, 3, 4, 3}) ccGLUseProgram(program);
             ccGLInvalidateStateCache();
             ccGLUseProgram(3);
             ccGLDeleteProgram(9);
             ccGLUseProgram(3);
             ccGLDeleteProgram(3);
             ccGLUseProgram(3);
         },
         {"UseProgram 3", "UseProgram 4", "UseProgram 3", "UseProgram 3", "DeleteProgram 9", "DeleteProgram 3",
          "UseProgram 3"}},
        // (GL_ONE, GL_ZERO) turns blending off; re-applying sends the recorded state whatever GL
        // was left with.
        {"blending",
         [] {
             ccGLSetBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
             ccGLSetBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
             ccGLSetBlendFunc(GL_ONE, GL_ZERO);
             ccGLSetBlendFunc(GL_ONE, GL_ZERO);
             ccGLReapplyBlending();
             ccGLInvalidateStateCache();
             ccGLSetBlendFunc(GL_ONE, GL_ZERO);
         },
         {"Enable 0xBE2", "BlendFunc 0x302 0x303", "Disable 0xBE2", "BlendEquation 0x8006", "Disable 0xBE2",
          "Disable 0xBE2"}},
        // Each unit keeps its own texture; coming back to unit 0 only makes it active, so that
        // texture calls after the bind act on texture 5. GL unbinds a deleted texture from every
        // unit, so a new texture reusing the name is bound again.
        {"textures",
         [] {
             ccGLBindTexture(5);
             ccGLBindTextureOnUnit(0, 5);
             ccGLBindTextureOnUnit(1, 5);
             ccGLBindTexture(5);
             ccGLDeleteTexture(5);
             ccGLBindTexture(5);
             ccGLBindTextureOnUnit(1, 5);
             ccGLInvalidateStateCache();
             ccGLBindTextureOnUnit(1, 5);
         },
         {"ActiveTexture 0", "BindTexture 5", "ActiveTexture 1", "BindTexture 5", "ActiveTexture 0",
          "DeleteTextures 1 5", "BindTexture 5", "ActiveTexture 1", "BindTexture 5", "ActiveTexture 1",
          "BindTexture 5"}},
        // After invalidation nothing about the arrays is known: all three are sent. Attribute
        // flags unbind the vertex array object.
        {"attributes",
         [] {
             ccGLSetVertexAttribs(kCCVertexAttribFlag_Position | kCCVertexAttribFlag_Color);
             ccGLSetVertexAttribs(kCCVertexAttribFlag_Position | kCCVertexAttribFlag_Color);
             ccGLBindVertexArray(7);
             ccGLBindVertexArray(7);
             ccGLSetVertexAttribs(kCCVertexAttribFlag_Position | kCCVertexAttribFlag_TexCoords);
             ccGLSetVertexAttribs(kCCVertexAttribFlag_None);
         },
         {"BindVertexArray 0", "EnableAttrib 0", "EnableAttrib 1", "DisableAttrib 2", "BindVertexArray 7",
          "BindVertexArray 0", "DisableAttrib 1", "EnableAttrib 2", "DisableAttrib 0", "DisableAttrib 2"}},
        // GL falls back to no vertex array object when the bound one is deleted; invalidation
        // forgets the binding too, as the next context may hand out the same names.
        {"vertex arrays",
         [] {
             ccGLBindVertexArray(7);
             ccGLDeleteVertexArray(8);
             ccGLBindVertexArray(7);
             ccGLDeleteVertexArray(7);
             ccGLBindVertexArray(0);
             ccGLBindVertexArray(7);
             ccGLInvalidateStateCache();
             ccGLBindVertexArray(7);
         },
         {"BindVertexArray 7", "DeleteVertexArrays 1 8", "DeleteVertexArrays 1 7", "BindVertexArray 7",
          "BindVertexArray 7"}},
    };
    for (const auto& sequence : sequences) {
        SCOPED_TRACE(sequence.name);
        ccGLInvalidateStateCache();
        calls.clear();
        sequence.calls();
        EXPECT_EQ(calls, sequence.expected);
    }

    LogCapture capture;
    calls.clear();
    ccGLBindTextureOnUnit(kCCMaxActiveTexture, 5);
    EXPECT_TRUE(calls.empty());
    EXPECT_TRUE(capture.contains("Lumora: texture unit 16"));
}

TEST_F(ccGLStateCacheTest, AttributeArraysPointAtTheirFieldsWithTheirFormats) {
    static const ccV3F_C4B_T2F quad[4]{};
    static const ccV2F_C4B_T2F flat[4]{};
    static const float floats[16]{};
    const struct {
        const char* name;
        const void* base;
        std::function<void()> calls;
        Calls expected;
    } cases[] = {
        // Interleaved vertices in client memory: every array enabled, the array buffer unbound, the
        // fields at their offsets in 24- and 20-byte vertices.
        {"3D quad", quad,
         [] { ccGLSetVertexAttribArrays(ccInterleavedAttribArrays(quad)); },
         {"BindVertexArray 0", "EnableAttrib 0", "EnableAttrib 1", "EnableAttrib 2", "BindBuffer 0x8892 0",
          "AttribPointer 0 3 0x1406 0 24 +0", "AttribPointer 2 2 0x1406 0 24 +16", "AttribPointer 1 4 0x1401 1 24 +12"}},
        {"2D vertices", flat,
         [] { ccGLSetVertexAttribArrays(ccInterleavedAttribArrays(flat)); },
         {"BindVertexArray 0", "EnableAttrib 0", "EnableAttrib 1", "EnableAttrib 2", "BindBuffer 0x8892 0",
          "AttribPointer 0 2 0x1406 0 20 +0", "AttribPointer 2 2 0x1406 0 20 +12", "AttribPointer 1 4 0x1401 1 20 +8"}},
        // Separate arrays: the missing one is disabled and not pointed; float colours are not
        // normalised.
        {"separate arrays", floats,
         [] { ccGLSetVertexAttribArrays({.position = floats, .color = floats + 8, .colorType = GL_FLOAT}); },
         {"BindVertexArray 0", "EnableAttrib 0", "EnableAttrib 1", "DisableAttrib 2", "BindBuffer 0x8892 0",
          "AttribPointer 0 2 0x1406 0 0 +0", "AttribPointer 1 4 0x1406 0 0 +32"}},
        // In a buffer the fields are offsets, the first of them 0, and the bound vertex array
        // object stays bound.
        {"buffer", nullptr,
         [] { ccGLSetBufferAttribArrays(ccInterleavedAttribArrays(static_cast<const ccV3F_C4B_T2F*>(nullptr))); },
         {"EnableAttrib 0", "EnableAttrib 1", "EnableAttrib 2", "AttribPointer 0 3 0x1406 0 24 +0",
          "AttribPointer 2 2 0x1406 0 24 +16", "AttribPointer 1 4 0x1401 1 24 +12"}},
        // Only the arrays flagged are enabled and pointed, though the one at offset 0 is null.
        {"buffer without colours", nullptr,
         [] {
             ccGLSetBufferAttribArrays({.texCoords = reinterpret_cast<const void*>(8), .stride = 16},
                                       kCCVertexAttribFlag_Position | kCCVertexAttribFlag_TexCoords);
         },
         {"EnableAttrib 0", "EnableAttrib 2", "AttribPointer 0 2 0x1406 0 16 +0", "AttribPointer 2 2 0x1406 0 16 +8"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ccGLInvalidateStateCache();
        attribBase = c.base;
        calls.clear();
        c.calls();
        EXPECT_EQ(calls, c.expected);
    }
}

}  // namespace
