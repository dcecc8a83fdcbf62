// The particle simulation without GL: emission timing, the two motion models and the position
// types, swap-removal, reset and auto-removal, the property-list reader with its defaults and
// refusals, and the embedded-image decoder.

#include "engine/render/CCParticleSystem.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "ParticleTestSupport.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Value.h"
#include "platform/image/Image.h"
#include "support/Deflate.h"
#include "support/TestSupport.h"

namespace {

// A system with every variance 0, particles living 10 s, that records where each particle is drawn.
class Probe : public CCParticleSystem {
public:
    using CCParticleSystem::elapsed_;
    using CCParticleSystem::emitCounter_;

    void updateQuadWithParticle(sCCParticle*, CGPoint at) override { drawn.push_back(at); }

    std::vector<CGPoint> drawn;
};

RefPtr<Probe> probe(uint64_t capacity) {
    auto system = makeRef<Probe>();
    EXPECT_TRUE(system->initWithTotalParticles(capacity));
    system->setLife(10);
    system->setDuration(CCParticleSystem::kCCParticleDurationInfinity);
    return system;
}

using CCParticleSystemTest = ParticleTest;

TEST_F(CCParticleSystemTest, EmissionFollowsTheRateWithoutABacklogWhenFull) {
    struct Case {
        const char* name;
        uint64_t capacity;
        float rate, duration;
        std::vector<float> steps;
        uint64_t count;
        float counter, elapsed;
        bool active;
    };
    const Case cases[] = {
        {"two due in a quarter second", 10, 10, -1, {0.25f}, 2, 0.05f, 0.25f, true},
        {"a full system builds no backlog", 2, 10, -1, {0.25f, 1}, 2, 0.05f, 1.25f, true},
        {"a long frame fills the pool", 3, 100, -1, {1}, 3, 0.97f, 1, true},
        {"duration 0 stops after what is due", 10, 10, 0, {0.25f}, 2, 0, 0, false},
        {"rate 0 neither emits nor ages", 10, 0, 0.1f, {1}, 0, 0, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RefPtr<Probe> system = probe(c.capacity);
        system->setEmissionRate(c.rate);
        system->setDuration(c.duration);
        for (float dt : c.steps) system->update(dt);
        EXPECT_EQ(system->particleCount(), c.count);
        EXPECT_NEAR(system->emitCounter_, c.counter, 1e-5);
        EXPECT_NEAR(system->elapsed_, c.elapsed, 1e-6);
        EXPECT_EQ(system->active(), c.active);
    }
}

TEST_F(CCParticleSystemTest, AHiddenSystemEmitsButItsParticlesDoNotAge) {
    RefPtr<Probe> system = probe(10);
    system->setEmissionRate(10);
    system->setVisible(false);
    system->update(0.25f);
    system->update(20);
    EXPECT_EQ(system->particleCount(), 10u);
    EXPECT_EQ(system->particles()[0].lifeLeft, 10);
    EXPECT_EQ(system->particleIdx(), 0u);
    EXPECT_TRUE(system->drawn.empty());
}

TEST_F(CCParticleSystemTest, GravityAndRadiusModesMoveParticles) {
    // One particle born at `source` (angle 0), after 1 s.
    struct Case {
        const char* name;
        int64_t mode;
        CGPoint source, gravity;
        float speed, radialAccel, tangentialAccel, endRadius;
        CGPoint at;
    };
    constexpr int64_t kGravity = CCParticleSystem::kCCParticleModeGravity;
    constexpr int64_t kRadius = CCParticleSystem::kCCParticleModeRadius;
    const Case cases[] = {
        {"speed along the angle, then gravity", kGravity, {0, 0}, {0, -10}, 10, 0, 0, 0, {10, -10}},
        {"radial outwards, tangential counter-clockwise", kGravity, {10, 0}, {0, 0}, 0, 2, 3, 0, {12, 3}},
        // Start radius 10, a quarter turn a second.
        {"radius kept at -1", kRadius, {0, 0}, {0, 0}, 0, 0, 0, -1, {0, -10}},
        {"radius growing to its end over the life", kRadius, {0, 0}, {0, 0}, 0, 0, 0, 20, {0, -11}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RefPtr<Probe> system = probe(1);
        system->setEmitterMode(c.mode);
        system->setSourcePosition(c.source);
        system->setGravity(c.gravity);
        system->setSpeed(c.speed);
        system->setRadialAccel(c.radialAccel);
        system->setTangentialAccel(c.tangentialAccel);
        system->setStartRadius(10);
        system->setEndRadius(c.endRadius);
        system->setRotatePerSecond(90);
        ASSERT_TRUE(system->addParticle());
        system->update(1);
        ASSERT_EQ(system->drawn.size(), 1u);
        EXPECT_NEAR(system->drawn[0].x, c.at.x, 1e-4);
        EXPECT_NEAR(system->drawn[0].y, c.at.y, 1e-4);
    }
}

TEST_F(CCParticleSystemTest, PositionTypesDecideWhetherParticlesFollowTheEmitter) {
    const std::pair<int32_t, CGPoint> cases[] = {
        {CCParticleSystem::kCCPositionTypeFree, {-5, -7}},
        {CCParticleSystem::kCCPositionTypeRelative, {-5, -7}},
        {CCParticleSystem::kCCPositionTypeGrouped, {0, 0}},
    };
    for (const auto& [type, at] : cases) {
        SCOPED_TRACE(type);
        RefPtr<CCNode> parent = CCNode::node();
        parent->setPosition({100, 100});
        RefPtr<Probe> system = probe(1);
        parent->addChild(system.get());
        system->setPositionType(type);
        ASSERT_TRUE(system->addParticle());
        system->setPosition({5, 7});
        system->update(0);
        EXPECT_EQ(system->drawn.at(0), at);
    }
}

TEST_F(CCParticleSystemTest, ADeadParticleIsReplacedByTheLastAndTheLastDeathRemovesTheSystem) {
    RefPtr<CCNode> parent = CCNode::node();
    RefPtr<Probe> system = probe(3);
    parent->addChild(system.get());
    for (auto [life, size] : {std::pair{5.f, 1.f}, {1, 2}, {5, 3}}) {
        system->setLife(life);
        system->setStartSize(size);
        system->setEndSize(CCParticleSystem::kCCParticleStartSizeEqualToEndSize);
        ASSERT_TRUE(system->addParticle());
    }
    system->setAutoRemoveOnFinish(true);
    system->update(2);
    ASSERT_EQ(system->particleCount(), 2u);
    EXPECT_EQ(system->particles()[0].size, 1);
    EXPECT_EQ(system->particles()[1].size, 3);
    EXPECT_EQ(system->drawn.size(), 2u);  // the moved particle is still aged in the same pass

    system->resetSystem();
    system->updateWithNoTime();
    EXPECT_EQ(system->particleCount(), 0u);
    EXPECT_EQ(system->parent(), nullptr);
    EXPECT_EQ(parent->children()->count(), 0u);

    // A system that never emitted stays.
    RefPtr<Probe> idle = probe(3);
    parent->addChild(idle.get());
    idle->setAutoRemoveOnFinish(true);
    idle->update(1);
    EXPECT_EQ(idle->parent(), parent.get());
}

TEST_F(CCParticleSystemTest, APlainSystemCannotGrowBeyondItsPool) {
    LogCapture log;
    RefPtr<Probe> system = probe(4);
    system->setTotalParticles(5);
    EXPECT_EQ(system->totalParticles(), 4u);
    EXPECT_EQ(log.lines().size(), 1u);
}

TEST_F(CCParticleSystemTest, PropertyListKeysConfigureTheSystem) {
    struct Case {
        const char* name;
        Value plist;
        std::function<void(CCParticleSystem*)> check;
        size_t logLines;
    };
    const Case cases[] = {
        {"gravity mode, numbers as strings",
         particleDictionary({{"maxParticles", "300"}, {"particleLifespan", 2}, {"gravityx", 1.5}, {"gravityy", "-2"},
                     {"speed", 3}, {"radialAcceleration", 4}, {"tangentialAccelVariance", 5},
                     {"sourcePositionx", 50}, {"sourcePositiony", 60},
                     {"blendFuncSource", 770}, {"blendFuncDestination", 1}, {"startColorRed", 0.5},
                     {"finishColorVarianceAlpha", 0.25}, {"finishParticleSize", -1},
                     {"maxRadius", 9}}),
         [](CCParticleSystem* s) {
             EXPECT_EQ(s->totalParticles(), 300u);
             EXPECT_EQ(s->emissionRate(), 150);
             EXPECT_EQ(s->gravity(), (CGPoint{1.5, -2}));
             EXPECT_EQ(s->speed(), 3);
             EXPECT_EQ(s->radialAccel(), 4);
             EXPECT_EQ(s->tangentialAccelVar(), 5);
             EXPECT_EQ(s->position(), (CGPoint{50, 60}));
             EXPECT_EQ(s->sourcePosition(), (CGPoint{0, 0}));
             EXPECT_EQ(s->blendFunc(), (ccBlendFunc{GL_SRC_ALPHA, GL_ONE}));
             EXPECT_EQ(s->startColor(), (ccColor4F{0.5f, 0, 0, 0}));
             EXPECT_EQ(s->endColorVar(), (ccColor4F{0, 0, 0, 0.25f}));
             EXPECT_EQ(s->endSize(), -1);
             EXPECT_EQ(s->startRadius(), 0);  // radius keys only in radius mode
         },
         0},
        {"radius mode: max is the start, min the end",
         particleDictionary({{"maxParticles", 10}, {"particleLifespan", 1}, {"emitterType", 1}, {"maxRadius", 100},
                     {"maxRadiusVariance", 5}, {"minRadius", -1}, {"rotatePerSecond", 30},
                     {"rotatePerSecondVariance", 2}, {"gravityx", 5}}),
         [](CCParticleSystem* s) {
             EXPECT_EQ(s->emitterMode(), CCParticleSystem::kCCParticleModeRadius);
             EXPECT_EQ(s->startRadius(), 100);
             EXPECT_EQ(s->startRadiusVar(), 5);
             EXPECT_EQ(s->endRadius(), -1);
             EXPECT_EQ(s->endRadiusVar(), 0);
             EXPECT_EQ(s->rotatePerSecond(), 30);
             EXPECT_EQ(s->rotatePerSecondVar(), 2);
             EXPECT_EQ(s->gravity(), (CGPoint{0, 0}));
         },
         0},
        {"another emitter type reads neither group",
         particleDictionary({{"maxParticles", 10}, {"emitterType", 2}, {"speed", 3}, {"maxRadius", 4}}),
         [](CCParticleSystem* s) {
             EXPECT_EQ(s->emitterMode(), 2);
             EXPECT_EQ(s->speed(), 0);
             EXPECT_EQ(s->startRadius(), 0);
         },
         0},
        {"no keys: nothing, zero blending",
         Value::dictionary(),
         [](CCParticleSystem* s) {
             EXPECT_EQ(s->totalParticles(), 0u);
             EXPECT_EQ(s->blendFunc(), (ccBlendFunc{GL_ZERO, GL_ZERO}));
         },
         0},
        {"a negative count holds nothing",
         particleDictionary({{"maxParticles", -5}, {"particleLifespan", 1}}),
         [](CCParticleSystem* s) { EXPECT_EQ(s->totalParticles(), 0u); }, 1},
        {"a huge count is clamped",
         particleDictionary({{"maxParticles", int64_t{1} << 50}, {"particleLifespan", 1}}),
         [](CCParticleSystem* s) { EXPECT_EQ(s->totalParticles(), CCParticleSystem::kCCParticleSystemMaxParticles); },
         1},
        {"unknown blend factors keep the default",
         particleDictionary({{"maxParticles", 1}, {"blendFuncSource", 12345}, {"blendFuncDestination", GL_SRC_ALPHA_SATURATE}}),
         [](CCParticleSystem* s) { EXPECT_EQ(s->blendFunc(), (ccBlendFunc{GL_ONE, GL_ONE_MINUS_SRC_ALPHA})); }, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LogCapture log;
        auto system = makeRef<CCParticleSystem>();
        ASSERT_TRUE(system->initWithDictionary(c.plist));
        c.check(system.get());
        EXPECT_EQ(log.lines().size(), c.logLines);
    }
}

TEST_F(CCParticleSystemTest, EmbeddedImagesDecodeThroughCappedInflation) {
    TemporaryFolder folder;
    std::vector<uint8_t> pixels(2 * 3 * 4, 255);
    ASSERT_TRUE(Image(2, 3, true, std::move(pixels)).writePNG(folder.file("p.png")));
    const std::string png = readFileBytes(folder.file("p.png"));
    const std::pair<const char*, std::string> cases[] = {
        {"gzip", base64(deflated(kGZip, png))},
        {"zlib", base64(deflated(kZlib, png))},
        {"not base64", "@@@"},
        {"not compressed", base64(png)},
        {"not an image", base64(deflated(kZlib, "plain text"))},
        {"inflating past the budget", base64(deflated(kGZip, std::string((size_t{129} << 20), '\0'), Z_BEST_SPEED))},
    };
    for (const auto& [name, text] : cases) {
        SCOPED_TRACE(name);
        LogCapture log;
        Image image;
        const bool ok = CCParticleSystem::decodeEmbeddedImage(text, 4096, &image);
        EXPECT_EQ(ok, name == cases[0].first || name == cases[1].first);
        EXPECT_EQ(image.width(), ok ? 2u : 0u);
        EXPECT_EQ(log.lines().empty(), ok);
    }
}

}  // namespace
