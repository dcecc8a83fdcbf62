#include <SDL.h>
#include <gtest/gtest.h>

#include "engine/render/CCMenu.h"
#include "engine/render/CCMenuItemImage.h"
#include "SpriteGLTest.h"

namespace {

using CCMenuGLTest = SpriteGLTest;

// A left click posted to the real window at (x, y), window points from the top-left corner.
void postClick(uint32_t window, int x, int y) {
    for (const auto& [type, state] : {std::pair<uint32_t, Uint8>{SDL_MOUSEBUTTONDOWN, SDL_PRESSED},
                                      {SDL_MOUSEBUTTONUP, SDL_RELEASED}}) {
        SDL_Event event{};
        event.button = {type, 0, window, 0, SDL_BUTTON_LEFT, state, 1, 0, x, y};
        ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
    }
}

TEST_F(CCMenuGLTest, AClickOnTheWindowActivatesTheItemUnderIt) {
    int clicks = 0;
    const auto item = CCMenuItemImage::itemWithNormalImage("cells.png", "", [&](CCMenuItem*) { ++clicks; });
    ASSERT_NE(item, nullptr);
    scene_->addChild(CCMenu::menuWithItems({item}).get());
    runFrames(1);
    // The item at (0, 0) is drawn at the window's centre.
    EXPECT_TRUE(cellsAt(kWidth / 2, kHeight / 2, {kRed, kGreen, kBlue, kYellow}));

    // Inside the 64-point image near its top-left corner, then just outside its right edge.
    const uint32_t window = view_->window()->windowID();
    postClick(window, kWidth / 2 - 30, kHeight / 2 - 30);
    runFrames(1);
    EXPECT_EQ(clicks, 1);
    postClick(window, kWidth / 2 + 33, kHeight / 2);
    runFrames(1);
    EXPECT_EQ(clicks, 1);
}

}  // namespace
