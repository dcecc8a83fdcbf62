// The eleven ready-made particle effects, made with the texture "fire.png" in a window whose design
// size is 500 x 300 points: each sets what its table gives, blends as its additive rule says (the
// sun before its texture, the others after), and emits at its count over its life or duration,
// or at its fixed rate.

#include "engine/render/CCParticlePreset.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/core/CCTextureCache.h"
#include "engine/core/support/CCFileUtils.h"
#include "engine/render/CCParticleExplosion.h"
#include "engine/render/CCParticleFire.h"
#include "engine/render/CCParticleFireworks.h"
#include "engine/render/CCParticleFlower.h"
#include "engine/render/CCParticleGalaxy.h"
#include "engine/render/CCParticleMeteor.h"
#include "engine/render/CCParticleRain.h"
#include "engine/render/CCParticleSmoke.h"
#include "engine/render/CCParticleSnow.h"
#include "engine/render/CCParticleSpiral.h"
#include "engine/render/CCParticleSun.h"
#include "platform/image/Image.h"
#include "support/GLSceneTest.h"
#include "support/TestSupport.h"

namespace {

using Made = RefPtr<CCParticleSystemQuad>;

// How a row's preset is made: through node(), or with a count of particles of its own.
struct Maker {
    Made (*node)();
    Made (*withParticles)(uint64_t count);
};

template <class T>
constexpr Maker maker{[]() -> Made { return T::node(); },
                      [](uint64_t count) -> Made {
                          auto system = makeRef<T>();
                          return system->initWithTotalParticles(count) ? system : nullptr;
                      }};

struct Ranged {
    float value, var;
};

// The blend rule: the texture's normal blending, or additive set after the texture, or before it.
enum Blending { normal, additive, additiveFirst };

struct Preset {
    const char* name;
    Maker make;
    uint64_t count;
    float duration;
    CGPoint gravity;
    Ranged speed, radialAccel, tangentialAccel, angle;
    CGPoint position, posVar;  // for a 500 x 300 window
    Ranged life, startSize;
    float rate, rateOf100;  // particles/s of node(), and of a system of 100 particles
    ccColor4F startColor, startColorVar, endColor, endColorVar;
    Blending blending;
};

constexpr ccColor4F kNone{0, 0, 0, 0};
constexpr ccColor4F kHalfGrey{0.5f, 0.5f, 0.5f, 1};
constexpr ccColor4F kBlack{0, 0, 0, 1};
constexpr ccColor4F kEmber{0.76f, 0.25f, 0.12f, 1};

const Preset kPresets[] = {
    {"Fireworks", maker<CCParticleFireworks>, 1500, -1, {0, -90}, {180, 50}, {0, 0}, {0, 0}, {90, 20}, {250, 150},
     {0, 0}, {3.5f, 1}, {8, 2}, 1500 / 3.5f, 100 / 3.5f, kHalfGrey, {0.5f, 0.5f, 0.5f, 0.1f},
     {0.1f, 0.1f, 0.1f, 0.2f}, {0.1f, 0.1f, 0.1f, 0.2f}, normal},
    {"Fire", maker<CCParticleFire>, 250, -1, {0, 0}, {60, 20}, {0, 0}, {0, 0}, {90, 10}, {250, 60}, {40, 20},
     {3, 0.25f}, {54, 10}, 250 / 3.f, 100 / 3.f, kEmber, kNone, kBlack, kNone, additive},
    {"Sun", maker<CCParticleSun>, 350, -1, {0, 0}, {20, 5}, {0, 0}, {0, 0}, {90, 360}, {250, 150}, {0, 0},
     {1, 0.5f}, {30, 10}, 350 / 1.f, 100 / 1.f, kEmber, kNone, kBlack, kNone, additiveFirst},
    {"Galaxy", maker<CCParticleGalaxy>, 200, -1, {0, 0}, {60, 10}, {-80, 0}, {80, 0}, {90, 360}, {250, 150},
     {0, 0}, {4, 1}, {37, 10}, 200 / 4.f, 100 / 4.f, {0.12f, 0.25f, 0.76f, 1}, kNone, kBlack, kNone, additive},
    {"Flower", maker<CCParticleFlower>, 250, -1, {0, 0}, {80, 10}, {-60, 0}, {15, 0}, {90, 360}, {250, 150},
     {0, 0}, {4, 1}, {30, 10}, 250 / 4.f, 100 / 4.f, kHalfGrey, {0.5f, 0.5f, 0.5f, 0.5f}, kBlack, kNone, additive},
    {"Meteor", maker<CCParticleMeteor>, 150, -1, {-200, 200}, {15, 5}, {0, 0}, {0, 0}, {90, 360}, {250, 150},
     {0, 0}, {2, 1}, {60, 10}, 150 / 2.f, 100 / 2.f, {0.2f, 0.4f, 0.7f, 1}, {0, 0, 0.2f, 0.1f}, kBlack, kNone,
     additive},
    {"Spiral", maker<CCParticleSpiral>, 500, -1, {0, 0}, {150, 0}, {-380, 0}, {45, 0}, {90, 0}, {250, 150},
     {0, 0}, {12, 0}, {20, 0}, 500 / 12.f, 100 / 12.f, kHalfGrey, {0.5f, 0.5f, 0.5f, 0}, kHalfGrey,
     {0.5f, 0.5f, 0.5f, 0}, normal},
    {"Explosion", maker<CCParticleExplosion>, 700, 0.1f, {0, 0}, {70, 40}, {0, 0}, {0, 0}, {90, 360},
     {250, 150}, {0, 0}, {5, 2}, {15, 10}, 700 / 0.1f, 100 / 0.1f, {0.7f, 0.1f, 0.2f, 1}, {0.5f, 0.5f, 0.5f, 0},
     {0.5f, 0.5f, 0.5f, 0}, {0.5f, 0.5f, 0.5f, 0}, normal},
    {"Smoke", maker<CCParticleSmoke>, 200, -1, {0, 0}, {25, 10}, {0, 0}, {0, 0}, {90, 5}, {250, 0}, {20, 0},
     {4, 1}, {60, 10}, 200 / 4.f, 100 / 4.f, {0.8f, 0.8f, 0.8f, 1}, {0.02f, 0.02f, 0.02f, 0}, kBlack, kNone,
     normal},
    {"Snow", maker<CCParticleSnow>, 700, -1, {0, -1}, {5, 1}, {0, 1}, {0, 1}, {-90, 5}, {250, 310}, {250, 0},
     {45, 15}, {10, 5}, 10, 10, {1, 1, 1, 1}, kNone, {1, 1, 1, 0}, kNone, normal},
    {"Rain", maker<CCParticleRain>, 1000, -1, {10, -10}, {130, 30}, {0, 1}, {0, 1}, {-90, 5}, {250, 300},
     {250, 0}, {4.5f, 0}, {4, 2}, 20, 20, {0.7f, 0.8f, 1, 1}, kNone, {0.7f, 0.8f, 1, 0.5f}, kNone, normal},
};

constexpr ccBlendFunc kAdditive{GL_SRC_ALPHA, GL_ONE};
constexpr ccBlendFunc kPremultiplied{GL_ONE, GL_ONE_MINUS_SRC_ALPHA};
constexpr ccBlendFunc kStraight{GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA};

class CCParticlePresetGLTest : public GLSceneTest {
protected:
    void SetUp() override {
        GLSceneTest::SetUp();
        CCFileUtils::sharedFileUtils()->purgeCachedEntries();
        director_->setOriginalWinSize({500, 300});
    }

    void TearDown() override {
        // The scheduler keeps every system it updates.
        director_->scheduler()->unscheduleAllSelectors();
        GLSceneTest::TearDown();
    }

    // "fire.png": a translucent picture (premultiplied once loaded) or an opaque one (straight).
    void writeFire(bool translucent) {
        const uint8_t alpha = translucent ? 128 : 255;
        std::vector<uint8_t> pixels;
        for (int i = 0; i < 8 * 8; ++i) pixels.insert(pixels.end(), {alpha, uint8_t(alpha / 2), 0, alpha});
        ASSERT_TRUE(Image(8, 8, translucent, std::move(pixels)).writePNG(folder_.file("fire.png")));
        CCTextureCache::sharedTextureCache()->removeTextureForKey("fire.png");
        const RefPtr<CCTexture2D> fire = CCTextureCache::sharedTextureCache()->addImage("fire.png");
        ASSERT_NE(fire, nullptr);
        ASSERT_EQ(fire->hasPremultipliedAlpha(), translucent);
    }

    TemporaryFolder folder_;
    ScopedResourceFolder useFolder_{folder_.path()};
};

TEST_F(CCParticlePresetGLTest, EachPresetSetsItsTable) {
    writeFire(true);
    const RefPtr<CCTexture2D> fire = CCTextureCache::sharedTextureCache()->textureForKey("fire.png");
    for (const Preset& p : kPresets) {
        SCOPED_TRACE(p.name);
        const Made system = p.make.node();
        ASSERT_NE(system, nullptr);
        EXPECT_EQ(system->totalParticles(), p.count);
        EXPECT_EQ(system->emitterMode(), CCParticleSystem::kCCParticleModeGravity);
        EXPECT_FLOAT_EQ(system->duration(), p.duration);
        EXPECT_EQ(system->gravity(), p.gravity);
        for (const auto& [value, var, expected] :
             {std::tuple{system->speed(), system->speedVar(), p.speed},
              {system->radialAccel(), system->radialAccelVar(), p.radialAccel},
              {system->tangentialAccel(), system->tangentialAccelVar(), p.tangentialAccel},
              {system->angle(), system->angleVar(), p.angle}, {system->life(), system->lifeVar(), p.life},
              {system->startSize(), system->startSizeVar(), p.startSize}}) {
            EXPECT_FLOAT_EQ(value, expected.value);
            EXPECT_FLOAT_EQ(var, expected.var);
        }
        EXPECT_FLOAT_EQ(system->endSize(), CCParticleSystem::kCCParticleStartSizeEqualToEndSize);
        EXPECT_EQ(system->position(), p.position);
        EXPECT_EQ(system->posVar(), p.posVar);
        EXPECT_FLOAT_EQ(system->emissionRate(), p.rate);
        EXPECT_EQ(system->startColor(), p.startColor);
        EXPECT_EQ(system->startColorVar(), p.startColorVar);
        EXPECT_EQ(system->endColor(), p.endColor);
        EXPECT_EQ(system->endColorVar(), p.endColorVar);
        EXPECT_EQ(system->texture(), fire.get());
        // A premultiplied texture turns opacityModifyRGB on when it is set under the default blend
        // pair: after it every preset but the sun, which went additive first.
        EXPECT_EQ(system->blendFunc(), p.blending == normal ? kPremultiplied : kAdditive);
        EXPECT_EQ(system->doesOpacityModifyRGB(), p.blending != additiveFirst);

        // Another count keeps every setting but the rate, which follows the count unless fixed.
        const Made hundred = p.make.withParticles(100);
        ASSERT_NE(hundred, nullptr);
        EXPECT_EQ(hundred->totalParticles(), 100u);
        EXPECT_FLOAT_EQ(hundred->emissionRate(), p.rateOf100);
        EXPECT_EQ(hundred->position(), p.position);
    }
}

TEST_F(CCParticlePresetGLTest, AStraightAlphaTextureBlendsStraightUnlessAdditive) {
    writeFire(false);
    for (const Preset& p : kPresets) {
        const Made system = p.make.node();
        ASSERT_NE(system, nullptr) << p.name;
        EXPECT_EQ(system->blendFunc(), p.blending == normal ? kStraight : kAdditive) << p.name;
        EXPECT_FALSE(system->doesOpacityModifyRGB()) << p.name;
    }
}

TEST_F(CCParticlePresetGLTest, TheExplosionSpendsItsPoolInATenthOfASecondThenStops) {
    writeFire(true);
    const Made explosion = maker<CCParticleExplosion>.node();
    ASSERT_NE(explosion, nullptr);
    explosion->update(0.05f);
    EXPECT_NEAR(static_cast<double>(explosion->particleCount()), 350, 1);  // 7000 a second
    explosion->update(0.06f);
    EXPECT_EQ(explosion->particleCount(), 700u);
    EXPECT_FALSE(explosion->active());
    // Born with 3 to 7 seconds to live, none has run out a second later.
    explosion->update(1);
    ASSERT_EQ(explosion->particleCount(), 700u);
    for (uint64_t i = 0; i < explosion->particleCount(); ++i) {
        EXPECT_GE(explosion->particles()[i].lifeLeft, 3 - 1.11f);
        EXPECT_LE(explosion->particles()[i].lifeLeft, 7 - 1);
    }
}

}  // namespace
