#pragma once

class CCNode;

// What the HUD asks of the running play scene, which implements it.
class HudGameDelegate {
public:
    virtual ~HudGameDelegate() = default;

    // The screen-fixed node the HUD draws into.
    virtual CCNode* hudHolder() const = 0;
    // The buttons' actions.
    virtual void togglePauseGame() = 0;
    virtual void resumeGame() = 0;
    virtual void quitGame() = 0;
    virtual void finishGame() = 0;
    virtual void replayGame() = 0;
};
