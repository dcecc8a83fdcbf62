#pragma once

// The real play scene on a small test level (stand-in objects, the bee's sheet written beside
// the level), built in a window so that the bee's texture loads, and events made by hand.

#include <gtest/gtest.h>

#include <string>

#include "shell/VantrelGlobal.h"
#include "engine/core/CCDirector.h"
#include "game/core/BeeTestSupport.h"
#include "game/core/Level.h"
#include "game/core/VantrelGameLayer.h"
#include "platform/window/Event.h"
#include "support/GLSceneTest.h"
#include "support/LevelTestSupport.h"

// The play scene with a phone that a test can connect by hand.
class PlaySceneUnderTest : public VantrelGameLayer {
public:
    void setPhoneConnected(bool connected) { useNetworkJoystick_ = connected; }
};

class PlaySceneGLTest : public GLSceneTest {
protected:
    // A day of `day` seconds on the test planet: ground 1000, band 1100 to 2000, the bee spawned
    // upright at (0, 1200), the hive at (0, 1000).
    void SetUp() override {
        GLSceneTest::SetUp();
        registerStandInKinds();
    }

    void buildScene(double day = 90, const Value& objects = testLevelObjects()) {
        LevelTestWorld& world = LevelTestWorld::shared();
        world.writeLevel("bee_test", testLevelInfo("bee_test", day), dict({}), objects);
        VantrelGlobal::sharedInstance()->setNextLevelId("bee_test");
        layer_ = makeRef<PlaySceneUnderTest>();
        ASSERT_TRUE(layer_->init());
        scene_->addChild(layer_.get());
    }

    void TearDown() override {
        if (layer_) {
            layer_->removeFromParentAndCleanup(true);
            layer_->cleanupNetworkControl();
            layer_->cleanupHidJoystickControl();
            layer_.reset();
        }
        game::GameObjectKinds::unregisterKinds();
        GLSceneTest::TearDown();
    }

    Player* bee() const { return layer_->player(); }
    // The input chosen this frame, in the bee's frame.
    vector2d<float> chosenInput() {
        layer_->handleInput();
        return layer_->beeAcceleration();
    }
    // The bee's place in the window, points.
    CGPoint beeOnScreen() const { return layer_->worldHolder()->convertToWorldSpace(bee()->position()); }

    static Event key(EventType type, uint16_t code, std::string characters, bool numericPad, bool repeat = false) {
        Event event;
        event.type = type;
        event.keyCode = code;
        event.charactersIgnoringModifiers = std::move(characters);
        event.modifierFlags = numericPad ? kModifierNumericPad : 0;
        event.isARepeat = repeat;
        return event;
    }
    static Event mouse(EventType type, CGPoint at) {
        Event event;
        event.type = type;
        event.locationInWindow = at;
        return event;
    }
    // A touch event: each finger (identity, phase, position on the pad 0..1).
    static Event touches(EventType type, std::initializer_list<Touch> fingers) {
        Event event;
        event.type = type;
        event.touches = fingers;
        return event;
    }

    RefPtr<PlaySceneUnderTest> layer_;
};
