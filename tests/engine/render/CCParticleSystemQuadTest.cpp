// Quads written by the quad system, without GL: corners with and without spin, and colour bytes.

#include "engine/render/CCParticleSystemQuad.h"

#include <gtest/gtest.h>

#include "ParticleTestSupport.h"


namespace {

using CCParticleSystemQuadTest = ParticleTest;

// One particle of size 10 drawn at (100, 50) in a constant colour.
RefPtr<CCParticleSystemQuad> oneParticle(float spin, ccColor4F color, bool opacityModifyRGB) {
    RefPtr<CCParticleSystemQuad> system = CCParticleSystemQuad::particleWithTotalParticles(2);
    system->setLife(10);
    system->setSourcePosition({100, 50});
    system->setStartSize(10);
    system->setEndSize(CCParticleSystem::kCCParticleStartSizeEqualToEndSize);
    system->setStartSpin(spin);
    system->setEndSpin(spin);
    system->setStartColor(color);
    system->setEndColor(color);
    system->setOpacityModifyRGB(opacityModifyRGB);
    EXPECT_TRUE(system->addParticle());
    system->update(0);
    return system;
}

TEST_F(CCParticleSystemQuadTest, CornersTurnClockwiseWithSpinAndColoursTruncate) {
    struct Case {
        float spin;
        ccColor4F color;
        bool opacityModifyRGB;
        ccVertex2F tl, bl, tr, br;
        ccColor4B bytes;
    };
    const Case cases[] = {
        {0, {1, 1, 1, 0.5f}, true, {95, 55}, {95, 45}, {105, 55}, {105, 45}, {127, 127, 127, 127}},
        {90, {1, 1, 1, 0.5f}, false, {105, 55}, {95, 55}, {105, 45}, {95, 45}, {255, 255, 255, 127}},
        {180, {0.2f, 0.4f, 1, 1}, false, {105, 45}, {105, 55}, {95, 45}, {95, 55}, {51, 102, 255, 255}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.spin);
        RefPtr<CCParticleSystemQuad> system = oneParticle(c.spin, c.color, c.opacityModifyRGB);
        ASSERT_EQ(system->particleIdx(), 1u);
        const ccV3F_C4B_T2F_Quad& quad = system->textureAtlas()->quads()[0];
        const std::pair<const ccV3F_C4B_T2F&, ccVertex2F> corners[] = {
            {quad.tl, c.tl}, {quad.bl, c.bl}, {quad.tr, c.tr}, {quad.br, c.br}};
        for (const auto& [vertex, expected] : corners) {
            EXPECT_NEAR(vertex.vertices.x, expected.x, 1e-4);
            EXPECT_NEAR(vertex.vertices.y, expected.y, 1e-4);
            EXPECT_EQ(vertex.colors, c.bytes);
        }
    }
}

}  // namespace
