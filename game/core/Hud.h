#pragma once

#include "platform/foundation/Geometry.h"
#include "platform/foundation/Object.h"

// The pause button, position indicator and the pause and end-of-level menus: what the play scene
// asks of them. They are not built yet, so the play scene makes no HUD: `hud` stays null and
// every caller checks for it.
class Hud : public Object {
public:
    static Hud* currentHud() { return nullptr; }

    void updateHudPositionIndicator(CGPoint) {}
    void openGameMenu() {}
    void closeGameMenu() {}
    void destroyHudMenu() {}
    // fraction: delivered honey over the level's reference, 0 to 1.
    void setEndGameMessageForPerc(float) {}
    void showEndGameHiveUnlockedMessage() {}
    void openEndGameMenu() {}
    // The menus' buttons, which pads and phones press too.
    void onGamePausePressed() {}
    void onGameContinuePressed() {}
    void onGameQuitPressed() {}
    void onPlayAgainPressed() {}
    void onMainMenuPressed() {}
};
