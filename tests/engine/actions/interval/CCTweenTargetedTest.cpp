#include "engine/actions/interval/CCActionTween.h"

#include <gtest/gtest.h>

#include <iterator>
#include <utility>

#include "engine/actions/CCActionManager.h"
#include "engine/actions/composite/CCTargetedAction.h"
#include "engine/core/CCDirector.h"
#include "engine/core/CCNode.h"
#include "engine/core/CCRGBAProtocol.h"
#include "engine/render/CCParticleSystem.h"
#include "platform/foundation/Log.h"
#include "support/AllocationCounter.h"
#include "support/HeadlessDirectorTest.h"

namespace {

struct Translucent : CCNode, CCRGBAProtocol {  // an opacity without GL
    ccColor3B color() const override { return {}; }
    void setColor(ccColor3B) override {}
    uint8_t opacity() const override { return opacity_; }
    void setOpacity(uint8_t opacity) override { opacity_ = opacity; }
    uint8_t opacity_ = 9;
};

using CCTweenTargetedTest = HeadlessDirectorTest;

TEST_F(CCTweenTargetedTest, TweensSetKnownPropertiesAndCopiesAndReversesKeepTheirParameters) {
    RefPtr<Translucent> node = makeRef<Translucent>();
    const struct {
        const char* key;
        float from, to, t, expected;
        float (*read)(Translucent&);
    } rows[] = {
        {"rotation", 0, 100, 0.5f, 50, [](Translucent& n) { return n.rotationY(); }},
        // One axis alone: the other keeps the row before's 50, then 20.
        {"rotationX", 0, 40, 0.5f, 20 + 50, [](Translucent& n) { return n.rotationX() + n.rotationY(); }},
        {"rotationY", 10, 30, 1, 30 + 20, [](Translucent& n) { return n.rotationY() + n.rotationX(); }},
        {"scale", 1, 3, 1, 3, [](Translucent& n) { return n.scaleY(); }},
        {"scaleY", 0, 2, 0.25f, 0.5f, [](Translucent& n) { return n.scaleY(); }},
        {"skewY", 10, 20, 0.5f, 15, [](Translucent& n) { return n.skewY(); }},
        {"vertexZ", -4, 4, 0.75f, 2, [](Translucent& n) { return n.vertexZ(); }},
        {"opacity", 0, 255, 0.5f, 127, [](Translucent& n) { return float(n.opacity()); }},  // 127.5 truncated
        {"opacity", 0, 300, 1, 255, [](Translucent& n) { return float(n.opacity()); }},
        {"opacity", 0, -5, 1, 0, [](Translucent& n) { return float(n.opacity()); }},
    };
    for (const auto& row : rows) {
        auto tween = CCActionTween::actionWithDuration(2, row.key, row.from, row.to);
        RefPtr<CCAction> reverse = tween->reverse();
        for (RefPtr<CCAction> action : {tween->copy(), reverse}) {
            action->startWithTarget(node.get());
            action->update(action == reverse ? 1 - row.t : row.t);
            EXPECT_EQ(row.read(*node), row.expected) << row.key;
        }
    }
    // An unknown key is refused once; steps allocate nothing.
    RefPtr<CCNode> plain = CCNode::node();
    for (const char* key : {"colour", "opacity", "speed", "width", "fontSize", "percentage"}) {  // other classes'
        LogCapture log;
        auto tween = CCActionTween::actionWithDuration(1, key, 0, 100);
        tween->startWithTarget(plain.get());
        for (float t : {0.0f, 0.5f, 1.0f}) tween->update(t);
        EXPECT_EQ(log.lines().size(), 1u);
        EXPECT_TRUE(log.contains("Lumora: ")) << key;
    }
    auto tween = CCActionTween::actionWithDuration(1, "rotation", 0, 90);
    tween->startWithTarget(node.get());
    AllocationCounter counter;
    for (int i = 0; i < 10; ++i) tween->step(0.25f);
    EXPECT_EQ(counter.count(), 0u);
    EXPECT_EQ(node->rotation(), 90);
}

TEST_F(CCTweenTargetedTest, TweensSetEachParticleParameterWhateverTheEmitterMode) {
    using Getter = float (CCParticleSystem::*)() const;
    const std::pair<const char*, Getter> keys[] = {
        {"duration", &CCParticleSystem::duration},
        {"life", &CCParticleSystem::life},
        {"lifeVar", &CCParticleSystem::lifeVar},
        {"angle", &CCParticleSystem::angle},
        {"angleVar", &CCParticleSystem::angleVar},
        {"emissionRate", &CCParticleSystem::emissionRate},
        {"startSize", &CCParticleSystem::startSize},
        {"startSizeVar", &CCParticleSystem::startSizeVar},
        {"endSize", &CCParticleSystem::endSize},
        {"endSizeVar", &CCParticleSystem::endSizeVar},
        {"startSpin", &CCParticleSystem::startSpin},
        {"startSpinVar", &CCParticleSystem::startSpinVar},
        {"endSpin", &CCParticleSystem::endSpin},
        {"endSpinVar", &CCParticleSystem::endSpinVar},
        {"speed", &CCParticleSystem::speed},
        {"speedVar", &CCParticleSystem::speedVar},
        {"tangentialAccel", &CCParticleSystem::tangentialAccel},
        {"tangentialAccelVar", &CCParticleSystem::tangentialAccelVar},
        {"radialAccel", &CCParticleSystem::radialAccel},
        {"radialAccelVar", &CCParticleSystem::radialAccelVar},
        {"startRadius", &CCParticleSystem::startRadius},
        {"startRadiusVar", &CCParticleSystem::startRadiusVar},
        {"endRadius", &CCParticleSystem::endRadius},
        {"endRadiusVar", &CCParticleSystem::endRadiusVar},
        {"rotatePerSecond", &CCParticleSystem::rotatePerSecond},
        {"rotatePerSecondVar", &CCParticleSystem::rotatePerSecondVar},
    };
    // Each key is tweened halfway to twice its own number, so a key that set another parameter
    // leaves its own at 0 and spoils the other's.
    for (int64_t mode : {CCParticleSystem::kCCParticleModeGravity, CCParticleSystem::kCCParticleModeRadius}) {
        RefPtr<CCParticleSystem> system = makeRef<CCParticleSystem>();
        system->setEmitterMode(mode);
        LogCapture log;
        for (size_t i = 0; i < std::size(keys); ++i) {
            auto tween = CCActionTween::actionWithDuration(1, keys[i].first, 0, 2.0f * float(i + 1));
            tween->startWithTarget(system.get());
            tween->update(0.5f);
        }
        EXPECT_TRUE(log.lines().empty());
        for (size_t i = 0; i < std::size(keys); ++i) {
            EXPECT_EQ((system.get()->*keys[i].second)(), float(i + 1)) << keys[i].first << " in mode " << mode;
        }
    }
}

TEST_F(CCTweenTargetedTest, TargetedActionDrivesItsOwnNodeAndLeavesTheManagerWhenDone) {
    RefPtr<CCNode> a = CCNode::node(), b = CCNode::node();
    auto inner = CCActionTween::actionWithDuration(0.5f, "rotation", 0, 90);
    auto targeted = CCTargetedAction::actionWithTarget(b, inner);
    CCActionManager* manager = CCDirector::sharedDirector()->actionManager();
    manager->addAction(targeted.get(), a.get(), false);
    for (int frame = 0; frame < 5; ++frame) manager->update(0.25f);
    EXPECT_EQ(b->rotation(), 90);
    EXPECT_EQ(a->rotation(), 0);
    EXPECT_EQ(inner->target(), nullptr);  // stopped when done, and removed, not stopped every frame
    EXPECT_EQ(manager->numberOfRunningActionsInTarget(a.get()), 0u);
    // The node it was run on can stop it.
    manager->addAction(targeted.get(), a.get(), false);
    a->stopAction(targeted.get());
    EXPECT_EQ(a->numberOfRunningActions(), 0u);
}

}  // namespace
