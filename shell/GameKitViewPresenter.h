#pragma once

// Puts the game-service view on screen for GameKitHelper: the overlay that draws the view
// implements this. Called on the engine thread.
class GameKitViewPresenter {
public:
    // Shows the view at `viewState` (-1 default, 0 leaderboards, 1 achievements), and the mouse
    // cursor with it. False when there is no main window to show it in. Once shown, the presenter
    // calls GameKitHelper::gameCenterViewControllerDidFinish() when the player is done with it.
    virtual bool presentView(int viewState) = 0;
    // Takes the view off screen.
    virtual void dismissView() = 0;

protected:
    ~GameKitViewPresenter() = default;
};
