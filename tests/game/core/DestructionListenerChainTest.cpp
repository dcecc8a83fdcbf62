#include "game/core/DestructionListenerChain.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/core/PhysicsSystem.h"
#include "game/core/PhysicsSystemDestructionListener.h"
#include "game/core/PhysicsSystemMouse.h"

namespace {

// Notes the joints it is told of; may take itself off the chain when told.
class Noting : public PhysicsSystemDestructionListener {
public:
    Noting(std::vector<std::string>* log, std::string name) : log_(log), name_(std::move(name)) {}
    void SayGoodbye(b2Joint*) override {
        log_->push_back(name_);
        if (leaveWhenTold) DestructionListenerChain::remove(world, this);
    }
    void SayGoodbye(b2Fixture*) override {}

    b2World* world = nullptr;
    bool leaveWhenTold = false;

private:
    std::vector<std::string>* log_;
    std::string name_;
};

class DestructionListenerChainTest : public ::testing::Test {
protected:
    void SetUp() override { system.createGroundBody(); }

    // Two balls joined together.
    b2Body* jointBalls() {
        b2BodyDef definition;
        definition.type = b2_dynamicBody;
        b2Body* a = world->CreateBody(&definition);
        definition.position.Set(2, 0);
        b2Body* b = world->CreateBody(&definition);
        b2CircleShape ball;
        ball.m_radius = 0.5f;
        a->CreateFixture(&ball, 1);
        b->CreateFixture(&ball, 1);
        b2DistanceJointDef joint;
        joint.Initialize(a, b, a->GetPosition(), b->GetPosition());
        world->CreateJoint(&joint);
        return a;
    }

    PhysicsSystem system;
    b2World* world = system.getWorld();
    std::vector<std::string> told;
};

TEST_F(DestructionListenerChainTest, EveryListenerIsToldInOrderAndMayLeaveWhileTold) {
    Noting primary(&told, "primary"), second(&told, "second");
    second.world = world;
    second.leaveWhenTold = true;
    system.setDestructionListener(&primary);
    DestructionListenerChain::add(world, &second);
    DestructionListenerChain::add(world, &second);  // once only
    EXPECT_EQ(DestructionListenerChain::listenerCount(world), 2u);
    world->DestroyBody(jointBalls());
    EXPECT_EQ(told, (std::vector<std::string>{"primary", "second"}));
    EXPECT_EQ(DestructionListenerChain::listenerCount(world), 1u);
    world->DestroyBody(jointBalls());
    EXPECT_EQ(told.size(), 3u);

    // Replacing the physics system's listener takes the old one off the chain.
    Noting other(&told, "other");
    system.setDestructionListener(&other);
    world->DestroyBody(jointBalls());
    EXPECT_EQ(told.back(), "other");
    system.setDestructionListener(nullptr);
    EXPECT_EQ(DestructionListenerChain::listenerCount(world), 0u);
    world->DestroyBody(jointBalls());  // nobody left to tell
    EXPECT_EQ(told.size(), 4u);
}

TEST_F(DestructionListenerChainTest, TheDebugMouseAndOtherListenersShareTheWorld) {
    Noting primary(&told, "primary");
    system.setDestructionListener(&primary);
    PhysicsSystemMouse mouse(world, system.getGroundBody());
    mouse.installDestructionListener();
    b2Body* ball = jointBalls();
    ASSERT_TRUE(mouse.mouseDown(ball->GetPosition(), 0));
    world->DestroyBody(ball);
    EXPECT_EQ(mouse.jointAt(0), nullptr) << "the mouse heard";
    EXPECT_EQ(told, (std::vector<std::string>{"primary", "primary"})) << "and so did the system's, of both joints";
}

}  // namespace
