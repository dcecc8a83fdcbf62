// Programs and the shader cache in a real GL context: the built-in programs draw what they
// should, uniform uploads reach GL only when they change, bad shaders are refused with their log,
// and the shader cache is rebuilt after a purge.

#include "engine/core/CCGLProgram.h"

#include <gtest/gtest.h>

#include <array>

#include "engine/core/CCShaderCache.h"
#include "engine/core/ccCachePurge.h"
#include "engine/core/ccGLStateCache.h"
#include "engine/core/ccShaders.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NamedException.h"
#include "support/AllocationCounter.h"
#include "support/GLSceneTest.h"
#include "support/TestSupport.h"

namespace {

// Draws straight into the back buffer between frames, with the view's context current.
class CCGLProgramGLTest : public GLSceneTest {
protected:
    void SetUp() override {
        GLSceneTest::SetUp();
        view_->lockOpenGLContext();
    }

    void TearDown() override {
        if (view_) view_->unlockOpenGLContext();
        GLSceneTest::TearDown();
    }
};

TEST_F(CCGLProgramGLTest, BuiltinProgramsBuildAndDrawWhatTheirTableSays) {
    CCShaderCache* cache = CCShaderCache::sharedShaderCache();
    ASSERT_NE(cache, nullptr);

    // Texel (0.8, 0.4, 0.2, 0.5) on a 1x1 texture; vertex colour (0.5, 1, 0.25, 1).
    const unsigned char texel[4] = {204, 102, 51, 128};
    GLuint texture = 0;
    glGenTextures(1, &texture);
    ccGLBindTexture(texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
    constexpr ccColor4B kColor{128, 255, 64, 255}, kOrange{255, 128, 0, 128};
    const int x = kWidth / 2, y = kHeight / 2;
    const struct {
        const char *key, *uniform;
        std::array<float, 4> value;
        GLenum source;  // blending (source, 1 - source alpha); GL_ONE for none
        ccColor4B color;
        float texLow;
        std::array<int, 3> expected;
        int x, y;
    } draws[] = {
        {kCCShader_PositionTextureColor, nullptr, {}, GL_ONE, kColor, 0, {102, 102, 13}, x, y},
        {kCCShader_PositionColor, nullptr, {}, GL_ONE, kColor, 0, {128, 255, 64}, x, y},
        {kCCShader_PositionTexture, nullptr, {}, GL_ONE, kColor, 0, {204, 102, 51}, x, y},
        {kCCShader_PositionTexture_uColor, "u_color", {0.5f, 0.5f, 1, 1}, GL_ONE, kColor, 0, {102, 51, 51}, x, y},
        {kCCShader_Position_uColor, "u_color", {0.25f, 0.5f, 0.75f, 1}, GL_ONE, kColor, 0, {64, 128, 191}, x, y},
        // The texel's alpha 0.5 is at most 0.6: nothing is drawn over the blue. At 0.4 it stays.
        {kCCShader_PositionTextureColorAlphaTest, kCCUniformAlphaTestValue_s, {0.6f}, GL_ONE, kColor, 0, {0, 0, 255}, x,
         y},
        {kCCShader_PositionTextureColorAlphaTest, kCCUniformAlphaTestValue_s, {0.4f}, GL_ONE, kColor, 0,
         {102, 102, 13}, x, y},
        // Vertex colour weighted by vertex alpha x texel alpha (about 0.5) over the blue.
        {kCCShader_PositionTextureA8Color, nullptr, {}, GL_SRC_ALPHA, kColor, 0, {64, 128, 159}, x, y},
        // Colour premultiplied by its alpha 0.5, full inside the unit circle of the texture
        // coordinates (half way out too), nothing in the corners beyond it.
        {kCCShader_PositionLengthTextureColor, nullptr, {}, GL_ONE, kOrange, -1, {128, 64, 0}, x + kWidth / 4, y},
        {kCCShader_PositionLengthTextureColor, nullptr, {}, GL_ONE, kOrange, -1, {0, 0, 0}, 2, 2},
    };
    kmGLSetMatrixMode(KM_GL_PROJECTION);
    kmGLSetIdentity();
    kmGLSetMatrixMode(KM_GL_MODELVIEW);
    kmGLSetIdentity();
    glClearColor(0, 0, 1, 1);
    ccGLSetVertexAttribs(kCCVertexAttribFlag_PosColorTex);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    for (const auto& draw : draws) {
        SCOPED_TRACE(draw.key);
        RefPtr<CCGLProgram> program = cache->programForKey(draw.key);
        ASSERT_NE(program, nullptr);
        program->use();
        program->setUniformsForBuiltins();
        const GLint location = draw.uniform ? program->uniformLocation(draw.uniform) : -1;
        const std::array<float, 4>& v = draw.value;
        if (draw.uniform == kCCUniformAlphaTestValue_s) {
            program->setUniformLocationWithF1(location, v[0]);  // the threshold is one float
        } else {
            program->setUniformLocationWithF1(location, v[0], v[1], v[2], v[3]);
        }
        ccGLSetBlendFunc(draw.source, draw.source == GL_ONE ? GL_ZERO : GL_ONE_MINUS_SRC_ALPHA);
        // One quad over the window in clip space, texture coordinates from texLow to 1.
        const float low = draw.texLow;
        const ccV2F_C4B_T2F vertices[4] = {
            {{-1, -1}, draw.color, {low, low}}, {{1, -1}, draw.color, {1, low}},
            {{-1, 1}, draw.color, {low, 1}},    {{1, 1}, draw.color, {1, 1}},
        };
        constexpr GLsizei stride = sizeof(ccV2F_C4B_T2F);
        glVertexAttribPointer(kCCVertexAttrib_Position, 2, GL_FLOAT, GL_FALSE, stride, &vertices[0].vertices);
        glVertexAttribPointer(kCCVertexAttrib_Color, 4, GL_UNSIGNED_BYTE, GL_TRUE, stride, &vertices[0].colors);
        glVertexAttribPointer(kCCVertexAttrib_TexCoords, 2, GL_FLOAT, GL_FALSE, stride, &vertices[0].texCoords);
        glClear(GL_COLOR_BUFFER_BIT);
        glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
        unsigned char rgba[4] = {};
        glReadPixels(draw.x, draw.y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(rgba[i], draw.expected[i], kTolerance) << "channel " << i;
    }
    ccGLDeleteTexture(texture);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(CCGLProgramGLTest, UniformsReachGLOnlyWhenTheirBytesChange) {
    RefPtr<CCGLProgram> program = CCShaderCache::sharedShaderCache()->programForKey(kCCShader_PositionColor);
    ASSERT_NE(program, nullptr);
    program->use();

    kmGLSetMatrixMode(KM_GL_PROJECTION);
    kmGLSetIdentity();
    kmGLScale(2, 3, 1);
    kmGLSetMatrixMode(KM_GL_MODELVIEW);
    kmGLSetIdentity();
    kmGLTranslate(1, 2, 0);
    program->setUniformsForBuiltins();
    // The product reached GL (scale after translation) and is the record's, so sending it again
    // is no change.
    const GLint mvpLocation = program->uniformLocation(kCCUniformMVPMatrix_s);
    GLfloat mvp[16] = {};
    glGetUniformfv(program->program(), mvpLocation, mvp);
    EXPECT_EQ((std::array<float, 4>{mvp[0], mvp[5], mvp[12], mvp[13]}), (std::array<float, 4>{2, 3, 2, 6}));
    EXPECT_FALSE(program->updateUniformLocation(mvpLocation, mvp, sizeof mvp));

    // A moved node changes the product, and allocates nothing.
    {
        AllocationCounter allocations;
        kmGLTranslate(1, 0, 0);
        program->setUniformsForBuiltins();
        EXPECT_EQ(allocations.count(), 0u);
    }
    EXPECT_TRUE(program->updateUniformLocation(mvpLocation, mvp, sizeof mvp));

    // The record knows sizes: a larger upload to a location first given a smaller one is a change
    // and is stored whole, as is a smaller one after it.
    const GLint location = 5;
    const GLfloat floats[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    const struct {
        GLint location;
        uint64_t bytes;
        bool uploaded;
    } uploads[] = {{location, 4, true},  {location, 4, false},         {location, 64, true},
                   {location, 64, false}, {location, 8, true},          {-1, 4, false},
                   // A wild location is passed on to GL (which reports it) without a record.
                   {1 << 30, 4, true},    {1 << 30, 4, true}};
    for (const auto& upload : uploads) {
        EXPECT_EQ(program->updateUniformLocation(upload.location, floats, upload.bytes), upload.uploaded)
            << upload.location << " " << upload.bytes;
    }
}

TEST_F(CCGLProgramGLTest, BadShadersAreRefusedWithTheirLog) {
    const struct {
        const char *vertex, *fragment, *log, *glLog;
    } refusals[] = {
        {"void main() { gl_Position = nonsense; }", ccPositionColor_frag,
         "Lumora: ERROR: Failed to compile vertex shader: ", "nonsense"},
        {ccPositionColor_vert, "void main() { gl_FragColor = 1; }",
         "Lumora: ERROR: Failed to compile fragment shader: ", ""},
        // Compiles, but a fragment shader without main cannot be linked.
        {ccPositionColor_vert, "vec4 unused() { return vec4(1.0); }", "Lumora: ERROR: Failed to link program", "main"},
    };
    for (const auto& refusal : refusals) {
        LogCapture capture;
        RefPtr<CCGLProgram> program = makeRef<CCGLProgram>();
        EXPECT_FALSE(program->initWithVertexShaderByteArray(refusal.vertex, refusal.fragment) && program->link());
        EXPECT_TRUE(capture.contains(refusal.log)) << refusal.log;
        EXPECT_TRUE(capture.contains(refusal.glLog)) << refusal.glLog;
    }
    LogCapture capture;
    EXPECT_FALSE(makeRef<CCGLProgram>()->initWithVertexShaderFilename("/nonexistent/a.vsh", "/nonexistent/a.fsh"));
    EXPECT_TRUE(capture.contains("Lumora: ERROR: cannot read the vertex shader /nonexistent/a.vsh"));
    TemporaryFolder folder;
    RefPtr<CCGLProgram> fromFiles = makeRef<CCGLProgram>();
    ASSERT_TRUE(fromFiles->initWithVertexShaderFilename(folder.write("a.vsh", ccPosition_uColor_vert),
                                                        folder.write("a.fsh", ccPosition_uColor_frag)));
    fromFiles->addAttribute(kCCAttributeNamePosition, kCCVertexAttrib_Position);
    EXPECT_TRUE(fromFiles->link());
}

TEST_F(CCGLProgramGLTest, TheShaderCacheIsRebuiltAfterAPurgeAndTakesReplacements) {
    const RefPtr<CCGLProgram> kept = CCShaderCache::sharedShaderCache()->programForKey(kCCShader_PositionColor);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->retainCount(), 2u);
    // The director's end purges the cache through the purge registry; a program still held stays
    // usable.
    ccCachePurgeAll();
    EXPECT_EQ(kept->retainCount(), 1u);
    CCShaderCache* cache = CCShaderCache::sharedShaderCache();
    const RefPtr<CCGLProgram> rebuilt = cache->programForKey(kCCShader_PositionColor);
    ASSERT_NE(rebuilt, nullptr);
    EXPECT_NE(rebuilt->program(), kept->program());
    kept->use();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    cache->addProgram(kept, kCCShader_PositionColor);
    EXPECT_EQ(cache->programForKey(kCCShader_PositionColor), kept.get());
    EXPECT_THROW(cache->addProgram(nullptr, "MyProgram"), NamedException);
}

}  // namespace
