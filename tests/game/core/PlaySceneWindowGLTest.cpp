// The play scene in a real window, fed by SDL: a virtual pad's stick moves the bee, Escape pauses
// the game, and a finger on the pad reaches the scene's touch slots.

#include <SDL.h>
#include <gtest/gtest.h>

#include "engine/core/CCGLView.h"
#include "game/core/Hud.h"
#include "game/core/PlaySceneTestSupport.h"
#include "platform/window/GLWindow.h"
#include "tests/platform/hid/VirtualPad.h"

namespace {

class PlaySceneWindowGLTest : public PlaySceneGLTest {
protected:
    uint32_t windowID() const { return view_->window()->windowID(); }

    void pushKey(uint32_t type, SDL_Scancode scancode, SDL_Keycode sym) {
        SDL_Event event{};
        event.type = type;
        event.key.windowID = windowID();
        event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        event.key.keysym.scancode = scancode;
        event.key.keysym.sym = sym;
        ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
    }

    void pushFinger(uint32_t type, SDL_FingerID finger, float x, float y) {
        SDL_Event event{};
        event.type = type;
        event.tfinger.windowID = windowID();
        event.tfinger.touchId = 1;
        event.tfinger.fingerId = finger;
        event.tfinger.x = x;
        event.tfinger.y = y;
        event.tfinger.pressure = 1;
        ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
    }
};

TEST_F(PlaySceneWindowGLTest, APadAttachedBeforeTheLevelSteersTheBeeThroughTheWindowsPump) {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0) << SDL_GetError();
    {
        VirtualPad pad("PLAYSTATION(R)3 Controller");
        buildScene();
        runFrames(2);
        const double startX = bee()->position().x;
        pad.setAxis(0, 32767);
        runFrames(30);
        EXPECT_GT(bee()->position().x, startX + 20);
        EXPECT_TRUE(bee()->vantrelFacingRight());
        pad.setAxis(0, 0);
        runFrames(1);
        EXPECT_EQ(layer_->beeAcceleration().X, 0);
        layer_->cleanupHidJoystickControl();
    }
    SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}

TEST_F(PlaySceneWindowGLTest, APadsStartButtonPausesAndResumesThroughTheHud) {
    ScopedResourceFolder resources(VANTREL_APP_RESOURCES);
    CCFileUtils::sharedFileUtils()->purgeCachedEntries();
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0) << SDL_GetError();
    {
        VirtualPad pad("PLAYSTATION(R)3 Controller");
        VantrelGlobal::sharedInstance()->setNextLevelId("meadow_a");
        layer_ = makeRef<PlaySceneUnderTest>();
        ASSERT_TRUE(layer_->init());
        scene_->addChild(layer_.get());
        ASSERT_NE(layer_->hud(), nullptr);
        runFrames(2);
        // Raw 3 is logical 8, start: pause by day, continue while paused.
        for (bool paused : {true, false}) {
            pad.setButton(3, true);
            runFrames(1);
            pad.setButton(3, false);
            runFrames(30);  // the pause menu slides for a quarter of a second
            EXPECT_EQ(layer_->gamePaused(), paused);
        }
        layer_->cleanupHidJoystickControl();
    }
    SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}

TEST_F(PlaySceneWindowGLTest, EscapeAndFingersReachTheScene) {
    buildScene();
    runFrames(1);
    pushKey(SDL_KEYDOWN, SDL_SCANCODE_ESCAPE, SDLK_ESCAPE);
    pushKey(SDL_KEYUP, SDL_SCANCODE_ESCAPE, SDLK_ESCAPE);
    runFrames(1);
    EXPECT_TRUE(layer_->gamePaused());
    pushKey(SDL_KEYDOWN, SDL_SCANCODE_ESCAPE, SDLK_ESCAPE);
    runFrames(1);
    EXPECT_FALSE(layer_->gamePaused());

    pushFinger(SDL_FINGERDOWN, 7, 0.75f, 0.5f);
    runFrames(1);
    EXPECT_EQ(layer_->touchCount(), 1);
    pushFinger(SDL_FINGERUP, 7, 0.75f, 0.5f);
    runFrames(1);
    EXPECT_EQ(layer_->touchCount(), 0);
}

}  // namespace
