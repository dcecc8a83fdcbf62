// Particle systems drawn by the real director: a system loaded from a property list whose texture
// is embedded draws its particle where it stands, the right way up, alone and batched, with one draw
// call and no allocation per frame; a grown pool's quads show the texture's rect.

#include "engine/render/CCParticleSystemQuad.h"

#include <gtest/gtest.h>

#include <vector>

#include "ParticleTestSupport.h"
#include "engine/core/support/CCFileUtils.h"
#include "engine/render/CCParticleBatchNode.h"
#include "platform/image/Image.h"
#include "support/AllocationCounter.h"
#include "support/Deflate.h"
#include "support/GLSceneTest.h"
#include "support/TestSupport.h"

namespace {

constexpr ccColor3B kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255}, kYellow{255, 255, 0}, kBlack{0, 0, 0};

class CCParticleSystemQuadGLTest : public GLSceneTest {
protected:
    void SetUp() override {
        GLSceneTest::SetUp();
        CCFileUtils::sharedFileUtils()->purgeCachedEntries();
        glClearColor(0, 0, 0, 1);
        // Two by two cells, top row red and green, bottom row blue and yellow.
        const std::vector<uint8_t> pixels{255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 0, 255};
        ASSERT_TRUE(Image(2, 2, false, pixels).writePNG(folder_.file("cells.png")));
        const Value plist = particleDictionary({
            {"maxParticles", 1}, {"particleLifespan", 100}, {"duration", -1}, {"startParticleSize", 32},
            {"finishParticleSize", -1}, {"sourcePositionx", 160}, {"sourcePositiony", 120},
            {"startColorRed", 1}, {"startColorGreen", 1}, {"startColorBlue", 1}, {"startColorAlpha", 1},
            {"finishColorRed", 1}, {"finishColorGreen", 1}, {"finishColorBlue", 1}, {"finishColorAlpha", 1},
            {"blendFuncSource", GL_ONE}, {"blendFuncDestination", GL_ONE_MINUS_SRC_ALPHA},
            {"textureFileName", "embedded-cells.png"},
            {"textureImageData", base64(deflated(kGZip, readFileBytes(folder_.file("cells.png"))))}});
        folder_.write("cells.plist", plist.toXML());
    }

    // The system of "cells.plist", emitting its one particle at the first frame.
    RefPtr<CCParticleSystemQuad> loaded() {
        RefPtr<CCParticleSystemQuad> system = CCParticleSystemQuad::particleWithFile("cells.plist");
        EXPECT_NE(system, nullptr);
        if (!system || !system->texture()) return nullptr;
        system->texture()->setAliasTexParameters();
        system->setEmissionRate(1000);
        return system;
    }

    // The particle's four cells around (160, 120) and black beyond its 32-point edge.
    ::testing::AssertionResult particleDrawn() {
        for (auto [x, y, colour] : {std::tuple{152, 128, kRed}, {168, 128, kGreen}, {152, 112, kBlue},
                                    {168, 112, kYellow}, {184, 120, kBlack}, {160, 144, kBlack}}) {
            if (auto result = pixelNear(x, y, colour); !result) return result;
        }
        return ::testing::AssertionSuccess();
    }

    TemporaryFolder folder_;
    ScopedResourceFolder useFolder_{folder_.path()};
};

// Every quad in use covers one cell of the two by two texture, its column and row counted from
// the top-left.
::testing::AssertionResult everyQuadShowsCell(CCParticleSystemQuad* system, float column, float row) {
    const float left = column / 2, top = row / 2, right = left + 0.5f, bottom = top + 0.5f;
    const ccV3F_C4B_T2F_Quad* quads = system->textureAtlas()->quads();
    for (uint64_t i = 0; i < system->totalParticles(); ++i) {
        const ccV3F_C4B_T2F_Quad& q = quads[i];
        if (q.tl.texCoords != ccTex2F{left, top} || q.bl.texCoords != ccTex2F{left, bottom} ||
            q.tr.texCoords != ccTex2F{right, top} || q.br.texCoords != ccTex2F{right, bottom}) {
            return ::testing::AssertionFailure() << "quad " << i << " has tl (" << q.tl.texCoords.u << ", "
                                                 << q.tl.texCoords.v << ") br (" << q.br.texCoords.u << ", "
                                                 << q.br.texCoords.v << ")";
        }
    }
    return ::testing::AssertionSuccess();
}

TEST_F(CCParticleSystemQuadGLTest, AnEmbeddedTextureDrawsWhereTheParticleIsAloneAndBatched) {
    RefPtr<CCParticleSystemQuad> alone = loaded();
    ASSERT_NE(alone, nullptr);
    scene_->addChild(alone.get());
    runFrames(2);
    EXPECT_TRUE(particleDrawn());
    const AllocationCounter allocations;
    runFrames(3);
    EXPECT_EQ(allocations.count(), 0u);
    scene_->removeChild(alone.get(), true);

    RefPtr<CCParticleSystemQuad> batched = loaded();
    ASSERT_NE(batched, nullptr);
    using CountingBatch = CountingDrawCalls<CCParticleBatchNode>;
    auto batch = makeRef<CountingBatch>();
    ASSERT_TRUE(batch->initWithTexture(RefPtr<CCTexture2D>(batched->texture()), 4));
    batch->addChild(batched.get());
    scene_->addChild(batch.get());
    runFrames(2);
    EXPECT_TRUE(particleDrawn());
    EXPECT_EQ(batch->drawCalls, 1u);
}

TEST_F(CCParticleSystemQuadGLTest, GrowingThePoolRestartsIt) {
    RefPtr<CCParticleSystemQuad> system = loaded();  // a pool of one
    ASSERT_NE(system, nullptr);
    const RefPtr<CCTexture2D> cells(system->texture());
    ASSERT_EQ(cells->pixelsWide(), 2u);
    system->setTexture(cells, CGRectMake(1, 0, 1, 1));  // the green cell
    ASSERT_TRUE(system->addParticle());
    system->setTotalParticles(300);
    EXPECT_EQ(system->textureAtlas()->capacity(), 300u);
    EXPECT_TRUE(everyQuadShowsCell(system.get(), 1, 0));
    system->update(0);
    EXPECT_EQ(system->particleCount(), 0u);

    // Within the pool the particle lives on, and a rect set under a smaller count reaches every
    // quad of a larger one.
    ASSERT_TRUE(system->addParticle());
    system->setTotalParticles(1);
    system->setTexture(cells, CGRectMake(0, 1, 1, 1));  // the blue cell
    system->setTotalParticles(2);
    EXPECT_EQ(system->particleCount(), 1u);
    EXPECT_TRUE(everyQuadShowsCell(system.get(), 0, 1));
}

}  // namespace
