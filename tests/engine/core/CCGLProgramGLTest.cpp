// Programs and the shader cache in a real GL context: the built-in programs build and draw what
// they should, uniform uploads reach GL only when they change, bad shaders are refused with their
// log, and the shader cache is rebuilt after a purge.

#include <epoxy/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "engine/core/CCDirectorDisplayLink.h"
#include "engine/core/CCGLProgram.h"
#include "engine/core/CCGLView.h"
#include "engine/core/CCScene.h"
#include "engine/core/CCShaderCache.h"
#include "engine/core/ccCachePurge.h"
#include "engine/core/ccGLStateCache.h"
#include "engine/core/ccShaders.h"
#include "engine/core/ccTypes.h"
#include "engine/core/math/kmGLMatrix.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NamedException.h"
#include "support/AllocationCounter.h"
#include "support/TestSupport.h"

namespace {

constexpr int kWidth = 256;
constexpr int kHeight = 192;

using Pixel = std::array<int, 3>;

// Calls of glUniformMatrix4fv that reached GL while the counter lives; each is passed on.
class MatrixUploadCounter {
public:
    MatrixUploadCounter() {
        // Resolve the entry point first (location -1 is ignored by GL), so that the pointer saved
        // is the driver's function and not libepoxy's first-call resolver.
        const GLfloat identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
        glUniformMatrix4fv(-1, 1, GL_FALSE, identity);
        original = epoxy_glUniformMatrix4fv;
        count = 0;
        epoxy_glUniformMatrix4fv = [](GLint location, GLsizei n, GLboolean transpose, const GLfloat* value) {
            ++count;
            original(location, n, transpose, value);
        };
    }
    ~MatrixUploadCounter() { epoxy_glUniformMatrix4fv = original; }
    MatrixUploadCounter(const MatrixUploadCounter&) = delete;
    MatrixUploadCounter& operator=(const MatrixUploadCounter&) = delete;

    static inline PFNGLUNIFORMMATRIX4FVPROC original = nullptr;
    static inline int count = 0;
};

class CCGLProgramGLTest : public ::testing::Test {
protected:
    void SetUp() override {
        director_ = makeRef<CCDirectorDisplayLink>();
        CCDirector::setSharedDirector(director_);
        view_ = CCGLView::viewWithFrame(CGRectMake(0, 0, kWidth, kHeight), "CCGLProgramGLTest", true);
        ASSERT_NE(view_, nullptr);
        director_->setView(view_);
        director_->setProjection(CCProjectionKind2D);
        director_->runWithScene(CCScene::node());
        ASSERT_EQ(director_->runFrames(3), 3u);
        view_->lockOpenGLContext();
    }

    void TearDown() override {
        view_->unlockOpenGLContext();
        director_->end();
        CCDirector::setSharedDirector(nullptr);
        view_.reset();
        kmGLFreeStacks();
    }

    static RefPtr<CCGLProgram> buildProgram(const char* vertexShader, const char* fragmentShader) {
        RefPtr<CCGLProgram> program = makeRef<CCGLProgram>();
        if (!program->initWithVertexShaderByteArray(vertexShader, fragmentShader)) return nullptr;
        program->addAttribute(kCCAttributeNamePosition, kCCVertexAttrib_Position);
        program->addAttribute(kCCAttributeNameColor, kCCVertexAttrib_Color);
        program->addAttribute(kCCAttributeNameTexCoord, kCCVertexAttrib_TexCoords);
        if (!program->link()) return nullptr;
        program->updateUniforms();
        return program;
    }

    // Fills the window with one quad drawn by the program in clip space: vertex colour `color`
    // everywhere, texture coordinates from `texLow` at the bottom left to `texHigh` at the top
    // right.
    static void drawQuad(CCGLProgram* program, ccColor4B color, float texLow = 0, float texHigh = 1) {
        kmGLSetMatrixMode(KM_GL_PROJECTION);
        kmGLSetIdentity();
        kmGLSetMatrixMode(KM_GL_MODELVIEW);
        kmGLSetIdentity();
        glDisable(GL_DEPTH_TEST);
        glClearColor(0, 0, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

        const ccV2F_C4B_T2F vertices[4] = {
            {{-1, -1}, color, {texLow, texLow}},
            {{1, -1}, color, {texHigh, texLow}},
            {{-1, 1}, color, {texLow, texHigh}},
            {{1, 1}, color, {texHigh, texHigh}},
        };
        program->use();
        program->setUniformsForBuiltins();
        ccGLSetVertexAttribs(kCCVertexAttribFlag_PosColorTex);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        constexpr GLsizei stride = sizeof(ccV2F_C4B_T2F);
        glVertexAttribPointer(kCCVertexAttrib_Position, 2, GL_FLOAT, GL_FALSE, stride, &vertices[0].vertices);
        glVertexAttribPointer(kCCVertexAttrib_Color, 4, GL_UNSIGNED_BYTE, GL_TRUE, stride, &vertices[0].colors);
        glVertexAttribPointer(kCCVertexAttrib_TexCoords, 2, GL_FLOAT, GL_FALSE, stride, &vertices[0].texCoords);
        glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    }

    // The back buffer's pixel is `expected` within 3 per channel.
    static void expectPixel(const std::string& what, Pixel expected, int x = kWidth / 2, int y = kHeight / 2) {
        unsigned char rgba[4] = {};
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(rgba[i], expected[i], 3) << what << " channel " << i;
    }

    RefPtr<CCDirectorDisplayLink> director_;
    RefPtr<CCGLView> view_;
};

TEST_F(CCGLProgramGLTest, BuiltinProgramsBuildWithTheirAttributesAndUniforms) {
    struct Expected {
        const char* key;
        std::vector<std::pair<const char*, GLint>> attributes;
        std::vector<const char*> uniforms;
    };
    const Expected builtins[] = {
        {kCCShader_PositionTextureColor, {{"a_position", 0}, {"a_color", 1}, {"a_texCoord", 2}}, {"CC_Texture0"}},
        {kCCShader_PositionTextureColorAlphaTest,
         {{"a_position", 0}, {"a_color", 1}, {"a_texCoord", 2}},
         {"CC_Texture0", "CC_alpha_value"}},
        {kCCShader_PositionColor, {{"a_position", 0}, {"a_color", 1}}, {}},
        {kCCShader_PositionTexture, {{"a_position", 0}, {"a_texCoord", 2}}, {"CC_Texture0"}},
        {kCCShader_PositionTexture_uColor, {{"a_position", 0}, {"a_texCoord", 2}}, {"CC_Texture0", "u_color"}},
        {kCCShader_PositionTextureA8Color, {{"a_position", 0}, {"a_color", 1}, {"a_texCoord", 2}}, {"CC_Texture0"}},
        {kCCShader_Position_uColor, {{"a_position", 0}}, {"u_color", "u_pointSize"}},
        {kCCShader_PositionLengthTextureColor, {{"a_position", 0}, {"a_color", 1}, {"a_texCoord", 2}}, {}},
    };
    LogCapture capture;
    CCShaderCache* cache = CCShaderCache::sharedShaderCache();
    ASSERT_NE(cache, nullptr);
    EXPECT_TRUE(capture.lines().empty());
    for (const Expected& builtin : builtins) {
        SCOPED_TRACE(builtin.key);
        RefPtr<CCGLProgram> program = cache->programForKey(builtin.key);
        ASSERT_NE(program, nullptr);
        const GLuint name = program->program();
        GLint linked = GL_FALSE;
        glGetProgramiv(name, GL_LINK_STATUS, &linked);
        EXPECT_EQ(linked, GL_TRUE);
        for (const auto& [attribute, index] : builtin.attributes) {
            EXPECT_EQ(glGetAttribLocation(name, attribute), index) << attribute;
        }
        EXPECT_NE(program->uniformLocation("CC_MVPMatrix"), -1);
        for (const char* uniform : builtin.uniforms) EXPECT_NE(program->uniformLocation(uniform), -1) << uniform;
        // The shader objects are gone once linked.
        EXPECT_NE(program->description().find("VertexShader = 0, FragmentShader = 0"), std::string::npos);
    }
    EXPECT_EQ(cache->programForKey("ShaderUnknown"), nullptr);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(CCGLProgramGLTest, BuiltinProgramsDrawWhatTheirTableSays) {
    CCShaderCache* cache = CCShaderCache::sharedShaderCache();
    // Texel (0.8, 0.4, 0.2, 0.5) on a 1x1 texture; vertex colour (0.5, 1, 0.25, 1).
    const unsigned char texel[4] = {204, 102, 51, 128};
    const ccColor4B color{128, 255, 64, 255};
    GLuint texture = 0;
    glGenTextures(1, &texture);
    ccGLBindTexture(texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
    ccGLSetBlendFunc(GL_ONE, GL_ZERO);

    drawQuad(cache->programForKey(kCCShader_PositionTextureColor).get(), color);
    expectPixel("PositionTextureColor", {102, 102, 13});
    drawQuad(cache->programForKey(kCCShader_PositionColor).get(), color);
    expectPixel("PositionColor", {128, 255, 64});
    drawQuad(cache->programForKey(kCCShader_PositionTexture).get(), color);
    expectPixel("PositionTexture", {204, 102, 51});

    RefPtr<CCGLProgram> uColorTexture = cache->programForKey(kCCShader_PositionTexture_uColor);
    uColorTexture->use();
    uColorTexture->setUniformLocationWithF1(uColorTexture->uniformLocation("u_color"), 0.5f, 0.5f, 1, 1);
    drawQuad(uColorTexture.get(), color);
    expectPixel("PositionTexture_uColor", {102, 51, 51});

    RefPtr<CCGLProgram> uColor = cache->programForKey(kCCShader_Position_uColor);
    uColor->use();
    uColor->setUniformLocationWithF1(uColor->uniformLocation("u_color"), 0.25f, 0.5f, 0.75f, 1);
    drawQuad(uColor.get(), color);
    expectPixel("Position_uColor", {64, 128, 191});

    // The texel's alpha 0.5 is at most 0.6: nothing is drawn over the blue clear colour. At 0.4
    // the fragment stays.
    RefPtr<CCGLProgram> alphaTest = cache->programForKey(kCCShader_PositionTextureColorAlphaTest);
    const GLint alphaValue = alphaTest->uniformLocation(kCCUniformAlphaTestValue_s);
    alphaTest->use();
    alphaTest->setUniformLocationWithF1(alphaValue, 0.6f);
    drawQuad(alphaTest.get(), color);
    expectPixel("AlphaTestDiscarded", {0, 0, 255});
    alphaTest->setUniformLocationWithF1(alphaValue, 0.4f);
    drawQuad(alphaTest.get(), color);
    expectPixel("AlphaTestKept", {102, 102, 13});

    // Alpha shows through blending over the clear colour: rgb of the vertex colour, weighted by
    // vertex alpha x texel alpha (about 0.5).
    ccGLSetBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    drawQuad(cache->programForKey(kCCShader_PositionTextureA8Color).get(), color);
    expectPixel("PositionTextureA8Color", {64, 128, 159});
    ccGLSetBlendFunc(GL_ONE, GL_ZERO);

    // Colour premultiplied by its alpha 0.5; full inside the unit circle of the texture
    // coordinates, nothing in the corners beyond it.
    drawQuad(cache->programForKey(kCCShader_PositionLengthTextureColor).get(), {255, 128, 0, 128}, -1, 1);
    expectPixel("PositionLengthTextureColor", {128, 64, 0});
    expectPixel("PositionLengthTextureColorHalfWay", {128, 64, 0}, kWidth / 2 + kWidth / 4);
    expectPixel("PositionLengthTextureColorCorner", {0, 0, 0}, 2, 2);

    ccGLDeleteTexture(texture);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(CCGLProgramGLTest, UniformUploadsReachGLOnlyWhenTheBytesChange) {
    const char* vertex = R"(
attribute vec4 a_position;

void main()
{
    gl_Position = CC_PMatrix * CC_MVMatrix * a_position + CC_MVPMatrix * a_position;
}
)";
    RefPtr<CCGLProgram> program = buildProgram(vertex, "void main() { gl_FragColor = vec4(1.0); }");
    ASSERT_NE(program, nullptr);
    program->use();
    const GLint mvp = program->uniformLocation("CC_MVPMatrix");
    ASSERT_NE(mvp, -1);

    MatrixUploadCounter counter;
    kmGLSetMatrixMode(KM_GL_PROJECTION);
    kmGLSetIdentity();
    kmGLScale(2, 3, 1);
    kmGLSetMatrixMode(KM_GL_MODELVIEW);
    kmGLSetIdentity();
    kmGLTranslate(1, 2, 0);
    program->setUniformsForBuiltins();
    EXPECT_EQ(MatrixUploadCounter::count, 3);
    program->setUniformsForBuiltins();
    EXPECT_EQ(MatrixUploadCounter::count, 3);

    // The product reached GL: scale after translation.
    GLfloat uploaded[16] = {};
    glGetUniformfv(program->program(), mvp, uploaded);
    EXPECT_FLOAT_EQ(uploaded[0], 2);
    EXPECT_FLOAT_EQ(uploaded[5], 3);
    EXPECT_FLOAT_EQ(uploaded[12], 2);
    EXPECT_FLOAT_EQ(uploaded[13], 6);

    // A moved node changes the model-view matrix and the product, not the projection, and
    // allocates nothing.
    {
        AllocationCounter allocations;
        kmGLTranslate(1, 0, 0);
        program->setUniformsForBuiltins();
        kmGLTranslate(0, 1, 0);
        program->setUniformsForBuiltins();
        EXPECT_EQ(allocations.count(), 0u);
    }
    EXPECT_EQ(MatrixUploadCounter::count, 7);

    // The record knows sizes: a larger upload to a location first given a smaller one is a change
    // and is stored whole, as is a smaller one after it.
    const GLint location = 5;
    const GLfloat floats[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    EXPECT_TRUE(program->updateUniformLocation(location, floats, 4));
    EXPECT_FALSE(program->updateUniformLocation(location, floats, 4));
    EXPECT_TRUE(program->updateUniformLocation(location, floats, sizeof(floats)));
    EXPECT_FALSE(program->updateUniformLocation(location, floats, sizeof(floats)));
    EXPECT_TRUE(program->updateUniformLocation(location, floats, 8));
    EXPECT_FALSE(program->updateUniformLocation(-1, floats, 4));
    // A wild location is passed on to GL (which reports it) without a record of its size.
    EXPECT_TRUE(program->updateUniformLocation(1 << 30, floats, 4));
    EXPECT_TRUE(program->updateUniformLocation(1 << 30, floats, 4));
}

TEST_F(CCGLProgramGLTest, TimeAndRandomUniformsFollowTheDirector) {
    const char* fragment = R"(
void main()
{
    gl_FragColor = CC_Time + CC_SinTime + CC_CosTime + CC_Random01;
}
)";
    RefPtr<CCGLProgram> program = buildProgram(ccPositionColor_vert, fragment);
    ASSERT_NE(program, nullptr);
    program->use();
    program->setUniformsForBuiltins();

    const auto uniform = [&](const char* name) {
        std::array<GLfloat, 4> value{};
        glGetUniformfv(program->program(), program->uniformLocation(name), value.data());
        return value;
    };
    const float t = static_cast<float>(director_->totalFrames() * director_->animationInterval());
    ASSERT_GT(t, 0);
    EXPECT_EQ(uniform("CC_Time"), (std::array<GLfloat, 4>{t / 10, t, 2 * t, 4 * t}));
    EXPECT_EQ(uniform("CC_SinTime"),
              (std::array<GLfloat, 4>{std::sin(t / 8), std::sin(t / 4), std::sin(t / 2), std::sin(t)}));
    EXPECT_EQ(uniform("CC_CosTime"),
              (std::array<GLfloat, 4>{std::cos(t / 8), std::cos(t / 4), std::cos(t / 2), std::cos(t)}));
    for (GLfloat r : uniform("CC_Random01")) {
        EXPECT_GE(r, 0);
        EXPECT_LT(r, 1);
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
    {
        LogCapture capture;
        EXPECT_FALSE(makeRef<CCGLProgram>()->initWithVertexShaderFilename("/nonexistent/a.vsh", "/nonexistent/a.fsh"));
        EXPECT_TRUE(capture.contains("Lumora: ERROR: cannot read the vertex shader /nonexistent/a.vsh"));
    }
    // Shader files are read as text.
    TemporaryFolder folder;
    RefPtr<CCGLProgram> fromFiles = makeRef<CCGLProgram>();
    ASSERT_TRUE(fromFiles->initWithVertexShaderFilename(folder.write("a.vsh", ccPosition_uColor_vert),
                                                        folder.write("a.fsh", ccPosition_uColor_frag)));
    fromFiles->addAttribute(kCCAttributeNamePosition, kCCVertexAttrib_Position);
    EXPECT_TRUE(fromFiles->link());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(CCGLProgramGLTest, TheShaderCacheIsRebuiltAfterAPurgeAndTakesReplacements) {
    const RefPtr<CCGLProgram> kept = CCShaderCache::sharedShaderCache()->programForKey(kCCShader_PositionColor);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->retainCount(), 2u);

    // The director's end purges the cache through the purge registry.
    ccCachePurgeAll();
    EXPECT_EQ(kept->retainCount(), 1u);
    const RefPtr<CCGLProgram> keptRebuilt = CCShaderCache::sharedShaderCache()->programForKey(kCCShader_PositionColor);
    ASSERT_NE(keptRebuilt, nullptr);
    EXPECT_NE(keptRebuilt->program(), kept->program());
    EXPECT_EQ(glIsProgram(kept->program()), GL_TRUE);
    kept->use();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    CCShaderCache::purgeSharedTextureCache();
    EXPECT_EQ(keptRebuilt->retainCount(), 1u);
    EXPECT_NE(CCShaderCache::sharedShaderCache()->programForKey(kCCShader_PositionColor), keptRebuilt.get());

    CCShaderCache* cache = CCShaderCache::sharedShaderCache();
    RefPtr<CCGLProgram> replacement = buildProgram(ccPositionColor_vert, ccPositionColor_frag);
    ASSERT_NE(replacement, nullptr);
    cache->addProgram(replacement, kCCShader_PositionColor);
    EXPECT_EQ(cache->programForKey(kCCShader_PositionColor), replacement.get());
    cache->addProgram(replacement, "MyProgram");
    EXPECT_EQ(cache->programForKey("MyProgram"), replacement.get());
    EXPECT_THROW(cache->addProgram(nullptr, "MyProgram"), NamedException);
}

}  // namespace
