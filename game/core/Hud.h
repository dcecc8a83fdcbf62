#pragma once

#include "platform/foundation/Geometry.h"
#include "platform/foundation/Object.h"
#include "shell/InterfaceSound.h"

class CCAction;
class CCNode;
class CCSprite;
class CCSpriteBatchNode;
class HudGameDelegate;
class KSMenu;
class KSMenuItem;

// The play scene's screen-fixed interface, drawn into its HUD holder: during play a pause button
// in the top-right corner with an indicator turned to where the bee is on the planet; the pause
// menu that slides down from above the screen; and after the day the end-of-level menu, whose
// buttons slide up from below while its title comes down from above. Every button plays the
// interface click and calls the play scene.
//
// Images are frames of the sheet "hud.plist" (over "hud.png"), which the play scene loads first;
// the layout is that of a 1024 x 768 window. Buttons act only while their menu is open.
// Engine thread only.
class Hud : public Object {
public:
    // Menu states.
    enum MenuState : int { kMenuOpen = 0, kMenuClosed = 1, kMenuOpening = 2, kMenuClosing = 3 };
    static constexpr float kGameMenuSlideSeconds = 0.25f;
    static constexpr float kEndGameMenuSlideSeconds = 0.4f;

    // The HUD of the running game, or null.
    static Hud* currentHud();

    Hud();
    // Builds the pause button and both menus (closed and hidden) in the game's HUD holder and
    // loads the click; false, with a log line naming it, when a frame of "hud.plist" is missing.
    // `game` is not retained and must outlive the HUD.
    bool init(HudGameDelegate* game);

    // The click on the interface channel, centred or panned (-1 left to 1 right); nothing when
    // the sound could not be loaded.
    void initAudio() { interfaceSound_.load(); }
    void playInterfaceSound() { interfaceSound_.play(0.0f); }
    void playInterfaceSoundPanned(float pan) { interfaceSound_.play(pan); }
    void cleanupAudio() {}

    // The pause button and the position indicator.
    void createHudMenu();
    // Takes them away at the end of the day; a second call does nothing.
    void destroyHudMenu();
    void showHudMenu();
    void hideHudMenu();
    // Turns the indicator towards the bee's position (points from the planet's centre).
    void updateHudPositionIndicator(CGPoint position);
    void onGamePausePressed(Object* sender);

    // The pause menu.
    void createGameMenu();
    void showGameMenu();
    void hideGameMenu();
    // Slides it in (0.25 s, eased out) or out (0.25 s, eased in) from where it is; opening while
    // open or opening, and closing while closed or closing, do nothing.
    void openGameMenu();
    void closeGameMenu();
    void onGameMenuOpened(CCNode* holder);
    void onGameMenuClosed(CCNode* holder);
    void onGameContinuePressed(Object* sender);
    void onGameQuitPressed(Object* sender);
    void onSharePressed(Object*) {}

    // The end-of-level menu.
    void createEndGameMenu();
    // The title for the share of the level's reference honey delivered, 0 to 1.
    void setEndGameMessageForPerc(float fraction);
    void showEndGameHiveUnlockedMessage();
    void showEndGameMenu();
    void hideEndGameMenu();
    // Slides the buttons and the title in or out in 0.4 s.
    void openEndGameMenu();
    void closeEndGameMenu();
    void onEndGameMenuOpened(CCNode* holder);
    void onEndGameMenuClosed(CCNode* holder);
    void onEndGameMessageMoved(CCNode* holder);
    void onMainMenuPressed(Object* sender);
    void onPlayAgainPressed(Object* sender);

    int gameMenuState() const { return gameMenuState_; }
    int endGameMenuState() const { return endGameMenuState_; }
    KSMenu* hudMenu() const { return hudMenu_.get(); }
    KSMenuItem* pauseMenuItem() const { return pauseMenuItem_; }
    CCSprite* positionIndicator() const { return positionIndicator_.get(); }
    CCNode* gameMenuHolder() const { return gameMenuHolder_.get(); }
    CCNode* endGameMenuHolder() const { return endGameMenuHolder_.get(); }
    CCSprite* endGameMessageHolder() const { return endGameMessageHolder_; }
    CCSprite* endGameHiveUnlockedMessageHolder() const { return endGameHiveUnlockedMessageHolder_; }
    CGPoint gameMenuOpenPosition() const { return gameMenuOpenPosition_; }
    CGPoint gameMenuClosedPosition() const { return gameMenuClosedPosition_; }
    CGPoint endGameMenuOpenPosition() const { return endGameMenuOpenPosition_; }
    CGPoint endGameMenuClosedPosition() const { return endGameMenuClosedPosition_; }
    CGPoint endGameMessageOpenPosition() const { return endGameMessageOpenPosition_; }
    CGPoint endGameMessageClosedPosition() const { return endGameMessageClosedPosition_; }

protected:
    ~Hud() override;

private:
    // A sprite of a frame of the sheet.
    static RefPtr<CCSprite> frameSprite(const char* name);
    // A button of the two frames, both placed in `batch` at `position` with `anchor` (the selected
    // one over the normal one, at `z`), calling `handler`; the item stands where its images do.
    RefPtr<KSMenuItem> button(CCSpriteBatchNode* batch, int z, const char* normal, const char* selected,
                              CGPoint position, CGPoint anchor, CGPoint sizeOffset, void (Hud::*handler)(Object*));
    // A batch node on the sheet's texture.
    static RefPtr<CCSpriteBatchNode> sheetBatch(uint64_t capacity);
    // A slide of `node` to `position`, eased out (or in) at `rate`, then `done`.
    RefPtr<CCAction> slide(CCNode* node, CGPoint position, float seconds, bool easeOut, float rate,
                           void (Hud::*done)(CCNode*));

    HudGameDelegate* game_ = nullptr;  // not retained
    CGSize winSize_;

    RefPtr<CCSpriteBatchNode> hudMenuSpriteBatchNode_;
    RefPtr<KSMenu> hudMenu_;                // null after destroyHudMenu
    KSMenuItem* pauseMenuItem_ = nullptr;   // the menu's
    RefPtr<CCSprite> positionIndicator_;    // null after destroyHudMenu

    int gameMenuState_ = kMenuClosed;
    RefPtr<CCNode> gameMenuHolder_;
    RefPtr<CCAction> gameMenuTransition_;   // the running slide, or null
    CGPoint gameMenuOpenPosition_, gameMenuClosedPosition_;

    int endGameMenuState_ = kMenuClosed;
    RefPtr<CCNode> endGameMenuHolder_;
    CCSprite* endGameMessageHolder_ = nullptr;             // in the end menu's batch
    CCSprite* endGameHiveUnlockedMessageHolder_ = nullptr;  // child of the message holder
    RefPtr<CCAction> endGameMenuTransition_;
    RefPtr<CCAction> endGameMessageTransition_;
    CGPoint endGameMenuOpenPosition_, endGameMenuClosedPosition_;
    CGPoint endGameMessageOpenPosition_, endGameMessageClosedPosition_;

    InterfaceSound interfaceSound_;
};
