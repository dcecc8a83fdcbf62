#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "PadlinkSDK/PadlinkRPCLib/JPManagerDelegate.h"
#include "shell/GameKitHelperProtocol.h"
#include "shell/InterfaceSound.h"
#include "engine/core/CCLayer.h"
#include "engine/core/ccTypes.h"
#include "platform/foundation/Geometry.h"
#include "platform/hid/DDHidJoystick.h"

class Camera;
class CCAnimation;
class GameKitHelper;
class VantrelNetworkControl;
class CCLayerGradient;
class CCScene;
class CCSprite;
class KSMenuItem;
class Levels;
class Rank;
class Stats;
class Value;
class VTDualTouchTracker;
class VTInputTracker;
class VTScrollTracker;
class VantrelMenuScreenData;
namespace game {
class SimpleSoundEffect;
class Stamina;
}

// The menu: a small round world seen from just above its rim, with every menu screen (credits,
// settings, flight log, title, instructions and one per level group) standing on it at its own
// angle. Moving between screens turns the world under a camera that runs round it on a spring;
// arrows, keys, mouse drags, two-finger drags and scrolling (a wheel, or two fingers on a touchpad)
// move it, and input is refused while it moves.
//
// Angles are degrees, counter-clockwise positive. Screen content is laid out in window points
// (origin lower left) as if the screen filled the window.
//
// The layer's operations live in one source file per concern: the world, screens, buttons, credits
// and audio (VantrelMenuLayer.cpp); camera, screen changes and input (Navigation); title and
// instructions (Titles); and the screens whose content later work fills (Settings, FlightLog,
// Levels, GameService, RemoteInput).
//
// Engine thread only.
class VantrelMenuLayer : public CCLayer,
                         public GameKitHelperProtocol,
                         public JPManagerDelegate,
                         public JPDeviceDelegate,
                         public DDHidJoystickDelegate {
public:
    // Largest frame time the menu moves by, seconds.
    static constexpr float kMaxFrameTime = 1.0f / 60.0f;
    // Screen change speeds, degrees per second: a change asked for, and the one the menu makes by
    // itself when it opens after a game.
    static constexpr float kScreenChangeSpeed = 180.0f;
    static constexpr float kInitialScreenChangeSpeed = 112.5f;
    // A change has arrived within this many degrees of its screen.
    static constexpr float kArrivalTolerance = 0.1f;
    // The background takes this long to blend into a new screen's colours, seconds.
    static constexpr float kTintTime = 0.75f;
    // The window width the pictures are drawn for, points.
    static constexpr double kDesignWidth = 1024;

    // A scene holding a new menu over the shared progress.
    static RefPtr<CCScene> scene();
    // Makes scene() the one the transition scene builds for "VantrelMenuLayer".
    static void registerScene();
    // The menu being shown, or null.
    static VantrelMenuLayer* currentMenuLayer();

    // The shared progress (levels, statistics, rank) unless others are given.
    bool init();
    bool initWithProgress(Levels* levels, Stats* stats, Rank* rank);

    // Music, the first update, the per-frame update, then the base behaviour.
    void onEnter() override;
    void onExit() override;

    // ---- World and screens ----
    int32_t screenCount() const { return screenCount_; }
    float screenAngleSize() const { return screenAngleSize_; }
    float worldCircumference() const { return worldCircumference_; }
    float worldRadius() const { return worldRadius_; }
    float screenRadius() const { return screenRadius_; }
    // Index of the first screen of that name, or -1.
    int32_t getScreenIndex(const std::string& name) const;
    // The first screen whose span [angle - size/2, angle + size/2) holds `angle` (degrees in
    // [0, 360)); 0 when none does.
    int32_t getScreenIndexAt(float angle) const;
    // The screen at `index`, or null outside the ring.
    VantrelMenuScreenData* getScreenData(int32_t index) const;
    // A new screen named `name` with the terrain picture `terrainImageName` (none when empty),
    // inserted at `index` when that is a valid index, else appended.
    VantrelMenuScreenData* createScreen(const std::string& name, const std::string& terrainImageName,
                                        int32_t index = -1);
    // Takes the first screen of that name off the world with its hives, after stopping every
    // hive's filling or draining; false when there is none.
    bool destroyScreen(const std::string& name);

    // ---- Camera, screen changes and input ----
    void update(float dt) override;
    // Starts the change to the screen at `index`; without `force` nothing happens when it is the
    // current screen already.
    void showScreen(int32_t index, bool force);
    // One screen round the ring, wrapping; nothing while busy.
    void prevScreen();
    void nextScreen();
    // The arrows, arrow keys, phone and joystick come here; sender may be null.
    void onLeftPressed(Object* sender);
    void onRightPressed(Object* sender);
    // A screen change runs, the world is being dragged or the game-service view is open.
    bool isBusy() const { return isTransitioning_ || isDragging_ || isGameServiceViewOpen(); }
    // The layer is busy for good: a game is being started.
    void setBusyForGood() {
        isTransitioning_ = true;
        transitionSpeed_ = 0;  // a change that was running never arrives
    }
    void tintGradientBackground(ccColor4B top, ccColor4B bottom, float fadeTime);
    void stopTintGradientBackground();
    // Exactly one of `event` (a mouse drag) and `tracker` (a two-finger or scroll drag) is given.
    void startDrag(const Event* event, VTInputTracker* tracker);
    void updateDrag(const Event* event, VTInputTracker* tracker);
    void endDrag(const Event* event, VTInputTracker* tracker);
    // The trackers' actions: the two-finger tracker's, which the scroll tracker sends too.
    void dualTouchesBegan(Object* tracker);
    void dualTouchesUpdated(Object* tracker);
    void dualTouchesEnded(Object* tracker);
    void onQuitPressed(Object* sender);
    void onFullscreenPressed(Object* sender);

    bool ccMouseDown(const Event& event) override;
    bool ccMouseDragged(const Event& event) override;
    bool ccMouseUp(const Event& event) override;
    bool ccKeyDown(const Event& event) override;
    bool ccKeyUp(const Event& event) override;
    // Refused while busy unless it carries on the scroll drag running.
    bool ccScrollWheel(const Event& event) override;
    bool ccTouchesBeganWithEvent(const Event& event) override;
    bool ccTouchesMovedWithEvent(const Event& event) override;
    bool ccTouchesEndedWithEvent(const Event& event) override;
    bool ccTouchesCancelledWithEvent(const Event& event) override;

    int32_t currentScreenIndex() const { return currentScreenIndex_; }
    float currentAngle() const { return currentAngle_; }
    float destinationAngle() const { return destinationAngle_; }
    float transitionSpeed() const { return transitionSpeed_; }
    bool isTransitioning() const { return isTransitioning_; }
    bool isDragging() const { return isDragging_; }
    // The menu's camera; named apart from the node's own 3D camera().
    Camera* menuCamera() const { return camera_.get(); }
    float cameraTangentAngle() const { return cameraTangentAngle_; }
    CCLayerGradient* gradientBackground() const { return gradientBackground_; }
    CCNode* worldHolder() const { return worldHolder_; }
    VTDualTouchTracker* touchTracker() const { return touchTracker_.get(); }
    VTScrollTracker* scrollTracker() const { return scrollTracker_.get(); }

    // ---- Title and instructions ----
    void onNextInstructionsMenuItemPressed(Object* sender);
    void nextInstructions();
    void updateInstructions();
    int32_t currentInstructionsPage() const { return currentInstructionsPage_; }
    CCSprite* instructionsText() const { return instructionsText_.get(); }
    CCSprite* instructionsImages() const { return instructionsImages_.get(); }
    CCSprite* instructionsIndicators() const { return instructionsIndicators_.get(); }

    // ---- Hooks of the level screens, flight log, game service and remote input ----
    void fillHives();
    void drainHives();
    void updateFlightLog(float dt);
    void updateGameCenter();
    void initNetworkControl();
    void cleanupNetworkControl();
    void updateNetworkControl();
    void initHidJoystickControl();
    void cleanupHidJoystickControl();

    // ---- Settings, the game service, phones and joysticks ----
    // (Settings, GameService and RemoteInput source files.)
    // The settings buttons; none acts while the menu is busy.
    void onGameControlsMenuItemPressed(Object* sender);
    void onGameCenterMenuItemPressed(Object* sender);
    void onGameCenterLeaderboardMenuItemPressed(Object* sender);
    void onGameCenterAchievementsMenuItemPressed(Object* sender);
    // Acts only while no phone is connected.
    void onPadlinkMenuItemPressed(Object* sender);
    // The game-controls preference steps 0, 1, 2, 0 (anything from 2 up becomes 0), saved.
    void nextGameControls();
    // Shows the picture of the stored game controls; none for a value outside 0 to 2.
    void updateGameControlsMenuItem();
    void toggleGameCenter();
    // The service toggle shows the preference; the view buttons are enabled only while the service
    // is on and the player signed in.
    void updateGameCenterMenuItems();
    void showGameCenterLeaderboard();
    void showGameCenterAchievements();
    // Opens our page on connecting a phone ("phones.html" of the resources) as a file: address.
    void openPadlinkURL();
    void updatePadlinkMessage();
    bool hasGameCenterButtons() const { return hasGameCenterButtons_; }
    KSMenuItem* gameControlsMenuItem() const { return gameControlsMenuItem_; }
    KSMenuItem* gameCenterMenuItem() const { return gameCenterMenuItem_; }
    KSMenuItem* leaderboardMenuItem() const { return leaderboardMenuItem_; }
    KSMenuItem* achievementsMenuItem() const { return achievementsMenuItem_; }
    KSMenuItem* padlinkMenuItem() const { return padlinkMenuItem_; }
    CCSprite* gameControlsSprite() const { return gameControlsSprite_.get(); }
    CCSprite* gameCenterSprite() const { return gameCenterSprite_.get(); }

    // Logs in to the game service or out of it by the preference.
    void loginGameCenter();
    void logoutGameCenter();
    // The service's view is on screen (it counts as open from when it is shown until dismissed).
    bool isGameServiceViewOpen() const;
    void onLocalPlayerAuthenticationChanged() override;
    void onGameCenterViewPresented(int viewState) override;
    void onLeaderboardViewPresented(int viewState) override;
    void onAchievementsViewPresented(int viewState) override;
    void onGameCenterViewDismissed() override;
    void onLeaderboardViewDismissed() override;
    void onAchievementsViewDismissed() override;

    // Phones: connects and disconnects refresh the settings message; buttons 6-8 (the slot's
    // level, game controls, next page) and 14, 15 (left, right) act on the screen in view.
    uint16_t padlinkDelegations() const override;
    void padlinkManagerDeviceDidConnect(JPManager* manager, JPDevice* device) override;
    void padlinkManagerDeviceDidDisconnect(JPManager* manager, JPDevice* device) override;
    void padlinkDeviceButtonDown(JPDevice* device, int button) override;
    // Joysticks: the pad that presses a button becomes the active one and selects its button
    // table; logical buttons 0-3 act as the phone's, 105 and 107 turn right and left, 116 switches
    // full screen; a hat at 9000 turns right, at 27000 left.
    void ddhidJoystickButtonDown(DDHidJoystick* joystick, uint32_t buttonNumber) override;
    void ddhidJoystickButtonUp(DDHidJoystick* joystick, uint32_t buttonNumber) override;
    void ddhidJoystickStickPovNumberValueChanged(DDHidJoystick* joystick, uint32_t stick, uint32_t povNumber,
                                                 int32_t value) override;
    const std::vector<RefPtr<DDHidJoystick>>& hidJoysticks() const { return hidJoysticks_; }
    DDHidJoystick* hidActiveJoystick() const { return hidActiveJoystick_.get(); }

    // The shared game-service client and phone glue unless tests give their own (not retained;
    // set before init).
    void setGameKitHelper(GameKitHelper* helper) { gameKitHelper_ = helper; }
    void setNetworkControl(VantrelNetworkControl* network) { networkControl_ = network; }
    GameKitHelper* gameKitHelper() const;
    VantrelNetworkControl* networkControl() const;

private:
    // Adds the frames "<name>.png" and "<name>_selected.png" to the holders, tagged `state`.
    static void addMenuItemState(int32_t state, const std::string& imageName, CCSprite* normalHolder,
                                 CCSprite* selectedHolder);
    // Shows in both holders the children tagged `state`, hides the others.
    static void showMenuItemState(int32_t state, CCSprite* normalHolder, CCSprite* selectedHolder);
    // A button of two new holders holding one picture per state, its lower-left corner at
    // `position` in screen points.
    RefPtr<KSMenuItem> makeHolderButton(CCNode* screenNode, CGPoint position,
                                        const std::vector<std::pair<int32_t, std::string>>& states,
                                        RefPtr<CCSprite>& normalHolder, RefPtr<CCSprite>& selectedHolder,
                                        void (VantrelMenuLayer::*handler)(Object*));
    // The leaderboards' shown names, from the level catalogue, for the service's view.
    void giveLeaderboardTitles();
    // On a level screen presses the level button of the slot (nothing for an empty slot) and
    // answers true; elsewhere answers false.
    bool pressLevelSlot(KSMenuItem* VantrelMenuScreenData::*slot);
    // The action button off the level screens: game controls on settings, the next instructions
    // page on instructions, nothing elsewhere.
    void pressScreenAction();

    GameKitHelper* gameKitHelper_ = nullptr;          // not retained; null: the shared one
    VantrelNetworkControl* networkControl_ = nullptr;  // not retained; null: the shared one
    RefPtr<CCSprite> gameControlsSprite_;
    RefPtr<CCSprite> gameControlsSelectedSprite_;
    bool hasGameCenterButtons_ = false;
    RefPtr<CCSprite> gameCenterSprite_;
    RefPtr<CCSprite> gameCenterSelectedSprite_;
    // Buttons of the settings screen; the node tree keeps them.
    KSMenuItem* gameControlsMenuItem_ = nullptr;
    KSMenuItem* gameCenterMenuItem_ = nullptr;
    KSMenuItem* leaderboardMenuItem_ = nullptr;
    KSMenuItem* achievementsMenuItem_ = nullptr;
    KSMenuItem* padlinkMenuItem_ = nullptr;
    CCSprite* padlinkSprite_ = nullptr;
    std::vector<RefPtr<DDHidJoystick>> hidJoysticks_;
    RefPtr<DDHidJoystick> hidActiveJoystick_;

public:

    // ---- Sound ----
    void playInterfaceSound();
    void playInterfaceSoundPanned(float pan);
    // Whether the sparkle plays when the running change arrives.
    bool playBonusSoundEffect() const { return playBonusSoundEffect_; }
    // The music file (full path) the menu plays: the lighter tune after a game.
    static std::string menuMusicName(bool backFromGame);

    // Unset: init or initWithProgress follows.
    VantrelMenuLayer();

protected:
    ~VantrelMenuLayer() override;

    // Called once when a change arrives: the hives fill and the sparkle plays when asked for.
    virtual void onTransitionComplete();

private:
    // World (VantrelMenuLayer.cpp).
    void updateApplication();
    void initAudio();
    void cleanupAudio();
    void setupAssetLoader();
    void restoreAssetLoader() {}
    void createMainMenu();
    void destroyMainMenu();
    void createWorld();
    void destroyWorld();
    void createGradientBackground();
    void destroyGradientBackground();
    void createNavigation();
    void destroyNavigation() {}
    void createApplicationControls();
    void destroyApplicationControls() {}
    void createCredits();
    void destroyCredits() {}
    // The first screen change after the menu opens, chosen from the last game's results.
    void showFirstScreen();
    // A sprite of a frame of the menu sheet; null (logged) when the sheet has no such frame.
    static RefPtr<CCSprite> frameSprite(const std::string& frameName);
    // A sprite placed by its lower-left corner at `position` in `parent`; nothing without the
    // frame or the parent.
    static CCSprite* addFrame(CCNode* parent, const std::string& frameName, CGPoint position);
    // An empty sprite on the parent's texture, to group sprites inside a batch.
    static RefPtr<CCSprite> holderSprite(CCNode* parent);
    // A button of the frame and its "_selected" twin, both centred at `position` in the
    // navigation's batch node, calling `handler` on this layer, its hit area 8 points larger on
    // every side. Null (logged) without the frames.
    RefPtr<KSMenuItem> makeButton(const std::string& frameName, bool flipX, CGPoint position,
                                  void (VantrelMenuLayer::*handler)(Object*));
    // A button of the two images, which stay in `parent` with their lower-left corners at
    // `position`, calling `handler` on this layer; its hit area is the normal image's.
    RefPtr<KSMenuItem> makePlacedButton(CCNode* parent, RefPtr<CCSprite> normal, RefPtr<CCSprite> selected,
                                        CGPoint position, void (VantrelMenuLayer::*handler)(Object*));

    // Camera and input (Navigation).
    void createCamera();
    void destroyCamera();
    void updateCamera(float dt);
    // The point of the camera circle at `angle` degrees.
    CGPoint circlePoint(float angle) const;
    // Location of a drag: the tracker's, else the mouse event's.
    CGPoint dragLocation(const Event* event, VTInputTracker* tracker) const;
    // The tracker drives the drag through this layer's actions; enabled.
    void attachTracker(VTInputTracker* tracker);
    // Ends the trackers' drags, each with its throw.
    void cancelTracking();
    // Turning the trackers off ends their drags too.
    void setTrackersEnabled(bool enabled);

    // Screens whose content later work fills (their own files).
    void createSettings();
    void destroySettings() {}
    void createFlightLog();
    void destroyFlightLog();
    void createMainTitles();
    void destroyMainTitles() {}
    void createInstructions();
    void destroyInstructions() {}
    void createLevels();
    void createLevels(const std::string& groupId);
    void destroyLevels();

    CGSize screenSize_;
    CGSize halfScreenSize_;
    Levels* levels_ = nullptr;  // shared progress, not retained
    Stats* stats_ = nullptr;
    Rank* rank_ = nullptr;

    // Camera: runs on the circle of radius cameraRadius_ round the world's centre, pulled by a
    // spring towards the point at currentAngle_. Velocity in points per frame.
    RefPtr<Camera> camera_;
    float cameraRadius_ = 0;
    float cameraTangentAngle_ = 0;
    float cameraZoom_ = 1.0f;
    CGPoint cameraTargetPosition_;
    CGPoint cameraVelocity_;

    float screenArcLength_ = 0;     // rim given to each screen: a window width and a fifteenth, points
    float worldCircumference_ = 0;  // points
    float worldRadius_ = 0;         // points
    int32_t screenCount_ = 0;
    float screenAngleSize_ = 0;  // degrees per screen
    std::vector<RefPtr<VantrelMenuScreenData>> screenData_;
    int32_t currentScreenIndex_ = 0;
    float screenRadius_ = 0;  // world centre to each screen's centre, points
    float currentAngle_ = 0;
    float destinationAngle_ = 0;
    float transitionSpeed_ = 0;  // degrees per second, signed by direction
    bool isTransitioning_ = false;
    bool isInitialTransition_ = false;
    bool isDragging_ = false;
    RefPtr<VTDualTouchTracker> touchTracker_;
    RefPtr<VTScrollTracker> scrollTracker_;
    CGPoint prevDragLocation_;
    float dragVelocity_ = 0;  // points per second

    // Nodes; the node tree keeps them.
    CCNode* centreHolder_ = nullptr;
    CCLayerGradient* gradientBackground_ = nullptr;
    CCNode* worldHolder_ = nullptr;
    CCNode* navMenuSpriteBatchNode_ = nullptr;  // images of the arrows and application buttons

    int32_t currentInstructionsPage_ = 1;
    RefPtr<CCSprite> instructionsText_;
    RefPtr<CCSprite> instructionsImages_;
    RefPtr<CCSprite> instructionsIndicators_;

    InterfaceSound interfaceSound_;
    // The sparkle played on arriving at a screen that shows a new result.
    RefPtr<game::SimpleSoundEffect> bonusSoundEffect_;
    bool playBonusSoundEffect_ = false;

    // ---- Level screens and flight log (Levels, FlightLog) ----
public:
    // Slots a group's screen has for its levels, and their holders' lower-left corners, points.
    static constexpr int32_t kLevelSlots = 3;
    static constexpr double kLevelSlotY = 187;
    // The x of slot `slot` (0-based) when the group has `levelCount` levels (1 to 3).
    static double levelSlotX(int32_t levelCount, int32_t slot);
    // Height of the unlock line above the hive's bottom, points: min(unlock / reference, 1) of the
    // hive's height; 0 when either score is 0.
    static double unlockLineHeight(double hiveHeight, uint32_t unlockScore, uint32_t referenceScore);
    // The rank emblem's image file and the centre of its star, for a rank clamped to 0..10; rank 0
    // has no star (0, 0).
    static std::string rankEmblemFileName(int32_t rank);
    static CGPoint rankStarPosition(int32_t rank);
    // Seconds the honey takes to rise to its fill and to drain.
    static constexpr float kHiveFillTime = 0.75f;
    static constexpr float kHiveDrainTime = 0.1f;
    // Tag of the rank bee's wing beat.
    static constexpr int64_t kRankBeeAnimationTag = 1234;

    // The play button of `level` (its catalogue dictionary) built into `holder`; null for a closed
    // level. `slot` (1 to 3) changes nothing: the holder decides the place.
    RefPtr<KSMenuItem> createLevelMenuItem(const Value& level, int32_t slot, CCNode* holder);
    void stopHivesFillingOrDraining();
    // A play button's action: starts its level unless the menu is busy.
    void onLevelMenuItemPressed(Object* sender);
    // Leaves the menu for the level `levelId` through the transition; the menu stays busy for good.
    void startGame(const std::string& levelId);
    void createRankBeeAnimation();
    void animateRankBee();
    void animateRankStarGlow();
    const std::vector<RefPtr<CCSprite>>& hivesHoney() const { return hivesHoney_; }
    CCSprite* flightLogFooter() const { return flightLogFooter_.get(); }
    CCSprite* rankStarGlow() const { return rankStarGlow_.get(); }
    CCSprite* rankEmblem() const { return rankEmblem_.get(); }
    CCSprite* rankBee() const { return rankBee_.get(); }
    CCSprite* rankBeeShadow() const { return rankBeeShadow_.get(); }
    CCSprite* rankBeeBlinkSprite() const { return rankBeeBlinkSprite_.get(); }
    CCNode* statsNode() const { return statsNode_.get(); }

private:
    // Fades from transparent to opaque and back, 1.25 s each way, forever: the glow of the level
    // just played and the new rank's star.
    static constexpr float kPulseFadeTime = 1.25f;
    static RefPtr<CCAction> pulseForever();

    // Honey sprites of every hive built, each with its level dictionary (in the catalogue of
    // levels_) as user data.
    std::vector<RefPtr<CCSprite>> hivesHoney_;
    RefPtr<CCSprite> flightLogFooter_;  // built hidden
    RefPtr<CCSprite> rankStarGlow_;     // only after a game that raised the rank
    RefPtr<CCSprite> rankEmblem_;
    RefPtr<CCNode> statsNode_;
    RefPtr<CCSprite> rankBee_;
    RefPtr<CCSprite> rankBeeShadow_;
    RefPtr<CCSprite> rankBeeBlinkSprite_;  // closed eyes, child of rankBee_
    RefPtr<CCAnimation> rankBeeAnimation_;
    // Active phase: eyes open (0.25 to 4 s); rest phase: eyes closed (1/15 to 2/15 s).
    RefPtr<game::Stamina> rankBeeBlinkStamina_;
    bool rankBeeBlinkPaused_ = true;
};
