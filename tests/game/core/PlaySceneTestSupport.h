#pragma once

// The real play scene on a small test level (stand-in objects, the bee's sheet written beside
// the level), built in a window so that the bee's texture loads, and events made by hand.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "shell/VantrelGlobal.h"
#include "engine/core/CCDirector.h"
#include "game/core/BeeTestSupport.h"
#include "game/core/GameObjectFactory.h"
#include "game/core/Level.h"
#include "game/core/VantrelGameLayer.h"
#include "game/objects/GameObjectKinds.h"
#include "game/objects/ShippedLevelsTest.h"
#include "platform/window/Event.h"
#include "support/GLSceneTest.h"
#include "support/LevelTestSupport.h"

// A mouse event at a window point (points from the bottom left).
inline Event mouseEvent(EventType type, CGPoint at) {
    Event event;
    event.type = type;
    event.locationInWindow = at;
    return event;
}

// Steers the play scene's bee as a player does with the mouse: the button pressed at a point of
// the window and dragged there from frame to frame; letting go ends the steering.
class MousePilot {
public:
    explicit MousePilot(VantrelGameLayer* layer) : layer_(layer) {}

    // The mouse over a point of the world (worldHolder space, points).
    void steerAt(CGPoint world) {
        layer_->ccMouseDown(mouseEvent(held_ ? EventType::mouseDragged : EventType::mouseDown,
                                       layer_->worldHolder()->convertToWorldSpace(world)));
        held_ = true;
    }
    // The mouse where the scene reads the input (x, y): a direction in the world, length at most
    // 1. The scene measures the mouse from the bee in the bee's frame, in half screens over the
    // camera's zoom, so the point is that measure turned back into the world.
    void steerWith(double x, double y) {
        const CGPoint bee = layer_->player()->position();
        const double a = std::atan2(bee.y, bee.x) - M_PI / 2;  // the bee's frame
        const double along = x * std::cos(a) + y * std::sin(a);
        const double up = -x * std::sin(a) + y * std::cos(a);
        const CGSize screen = CCDirector::sharedDirector()->winSize();  // the scene's, fixed at its start
        const CGSize half = {screen.width / 2 / layer_->cameraZoom(), screen.height / 2 / layer_->cameraZoom()};
        const double dx = along * half.width;
        const double dy = up * half.height;
        steerAt({bee.x + dx * std::cos(a) - dy * std::sin(a), bee.y + dx * std::sin(a) + dy * std::cos(a)});
    }
    void letGo() {
        if (held_) layer_->ccMouseUp(mouseEvent(EventType::mouseUp, CGPointZero));
        held_ = false;
    }

private:
    VantrelGameLayer* layer_;  // not retained
    bool held_ = false;
};

// Builds `layer` for the level and runs it as the director's new scene, one frame in; false (a
// test failure) when the level is refused.
inline bool runPlayScene(VantrelGameLayer* layer, const std::string& id, FixedClockDirector* director) {
    VantrelGlobal::sharedInstance()->setNextLevelId(id);
    if (!layer->init()) {
        ADD_FAILURE() << "the level " << id << " is refused";
        return false;
    }
    RefPtr<CCScene> scene = CCScene::node();
    scene->addChild(layer);
    director->replaceScene(scene);
    return director->runFrames(1) == 1;
}

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
    static Event mouse(EventType type, CGPoint at) { return mouseEvent(type, at); }
    // A touch event: each finger (identity, phase, position on the pad 0..1).
    static Event touches(EventType type, std::initializer_list<Touch> fingers) {
        Event event;
        event.type = type;
        event.touches = fingers;
        return event;
    }

    RefPtr<PlaySceneUnderTest> layer_;
};
