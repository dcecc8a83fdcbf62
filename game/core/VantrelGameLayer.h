#pragma once

#include <box2d/box2d.h>

#include <memory>
#include <string>
#include <vector>

#include "PadlinkSDK/PadlinkRPCLib/JPDeviceDelegate.h"
#include "PadlinkSDK/PadlinkRPCLib/JPManagerDelegate.h"
#include "shell/GameKitHelperProtocol.h"
#include "engine/core/CCLayer.h"
#include "engine/core/ccTypes.h"
#include "game/core/GameContactDelegate.h"
#include "game/core/HudGameDelegate.h"
#include "game/core/GameMessageDelegate.h"
#include "game/core/PlayerGameDelegate.h"
#include "game/core/PlayerLevelDelegate.h"
#include "game/core/vector2d.h"
#include "platform/foundation/Geometry.h"
#include "platform/hid/DDHidJoystick.h"
#include "platform/hid/DDHidJoystickDelegate.h"

class AntiGravityController;
class AutoStopController;
class Camera;
class CCAction;
class CCCircle;
class CCDonut;
class CCLayerGradient;
class CCParticleBatchNode;
class CCScene;
class CCSprite;
class CCSpriteBatchNode;
class GameContactListener;
class GameSensor;
class GravityController;
class Hud;
class Level;
class PhysicsSprite;
class PhysicsSystem;
class Player;
class VantrelAudio;

// The play scene: one layer that owns the physics, the level, the player, the camera and the HUD
// for the length of one level. The rest of the game reaches the running scene through the
// class-level accessors below, which answer null outside a game.
//
// Node tree (z in brackets): the layer holds centreHolder (at the screen centre) and hudHolder;
// centreHolder holds the sky gradient, sunMoonHolder and worldHolder, which follows the inverse
// camera; worldHolder holds skyHolder, the far and near background rings, backgroundHolder, the
// ground fill and ground ring (8 while the level has its ground in front, else 0),
// foregroundHolder, buddyHolder [1], messagesHolder [2], the player's streak and batch [3],
// effectsHolder [4], particlesHolder [5] with the generic particle batch, frontHolder [6].
//
// A level that is refused leaves no half-built scene: set-up is undone (the game-service
// delegate it set is cleared), the layer's init answers false and scene() answers null.
//
// A level whose bee cannot be built (its sheet missing) is refused too, and so is one without the
// HUD's sheet or the bubbles' fonts: it could start but never be paused or ended.
//
// The camera zooms between 1.0 at its ceiling and 1.5 at its floor; on a window too tall for the
// level's flying band both limits rise together (see fitCameraZoomToWindow).
//
// The day's result (statistics, best score, rank) is saved once, when the summary shows, so that
// closing the window at the end menu keeps it; leaving earlier saves the day so far.
// Engine thread only.
class VantrelGameLayer : public CCLayer,
                         public GameContactDelegate,
                         public GameKitHelperProtocol,
                         public HudGameDelegate,
                         public PlayerGameDelegate,
                         public GameMessageDelegate,
                         public PlayerLevelDelegate,
                         public JPManagerDelegate,
                         public JPDeviceDelegate,
                         public DDHidJoystickDelegate {
public:
    static constexpr const char* kClassName = "VantrelGameLayer";
    static constexpr int kActivityTicks = 900;
    static constexpr float kMaxFrameTime = 0.06666667f;  // seconds
    static constexpr int kGroundInFrontZ = 8;
    static constexpr float kCameraZoomMin = 1.0f;  // at the camera's ceiling
    static constexpr float kCameraZoomMax = 1.5f;  // at its floor
    // The camera's ceiling and floor offsets (half a window and a quarter window, at their zooms)
    // together take at most this share of the flying band, sky radius - ground radius.
    static constexpr float kCameraOffsetsShareOfBand = 0.75f;

    // Registers the scene with the transition scene's registry under kClassName (done when the
    // program starts).
    static void registerScene();
    // A scene holding a new play scene for the global next level, or null when it is refused.
    static RefPtr<CCScene> scene();
    static RefPtr<VantrelGameLayer> node();

    static VantrelGameLayer* currentGameLayer();
    static PhysicsSystem* currentPhysicsSystem();
    static b2World* currentPhysicsWorld();

    VantrelGameLayer();
    // Builds the whole level of VantrelGlobal's next level id; false when the level is refused.
    bool init();

    void onEnter() override;
    void onExit() override;

    // Set-up steps.
    void setupAssetLoader();
    void restoreAssetLoader();
    void initAudio();
    void cleanupAudio() {}
    void pauseAudio();
    void resumeAudio();
    void createPhysics();
    void createWorld();
    void createGradientBackground();
    void updateGradientBackground();
    void createSunMoonHolder();
    void createSunMoon();
    void updateSunMoon(float dt);
    void hideSunMoon();
    void createTerrain();
    void updateTerrain();
    void createPlayer();
    // Loads the HUD's sheet and the bubbles' fonts; false (logged) when one cannot be loaded.
    bool loadHudResources();
    // False when the HUD cannot be built from its sheet.
    bool createHUD();
    void updateHUD();
    // Raises the zoom limits together when the window is too tall for the level: the heights
    // over which the camera zooms keep a quarter of the flying band, and the world is drawn
    // larger instead of the floor rising above the ceiling.
    void fitCameraZoomToWindow();
    void createCamera();
    void updateCamera(float dt);

    // ---- Steering input (VantrelGameLayerInput.cpp) ----
    // Six sources, each keeping its latest state: the phone, HID d-pads (hats and mapped buttons),
    // HID sticks, the mouse (while a button is held), the keyboard and trackpad fingers. Once per
    // frame exactly one is chosen in that order, pushed back inside the level's height band,
    // turned into the world and applied to the bee's head as a force and a turning torque.
    // Vectors are in the bee's local frame (X along the surface, Y away from the centre).
    static constexpr int kMaxTouches = 10;
    static constexpr float kInputForce = 120.0f;   // Box2D force per unit of input
    static constexpr float kInputTorque = 6.0f;
    static constexpr int32_t kHidDeadZone = 4096;   // of +-65536
    static constexpr uint32_t kPhonePauseButton = 6;
    static constexpr uint32_t kPhoneContinueButton = 14;
    static constexpr uint32_t kPhoneQuitButton = 15;

    // What a button does in the current game state.
    enum class ButtonAction { none, pause, resume, quit, playAgain, mainMenu, dpadUp, dpadRight, dpadDown, dpadLeft,
                              fullScreen };
    // A logical HID button (after VTHidMapper) by day while running or paused, or at night.
    static ButtonAction hidButtonAction(uint32_t logicalButton, bool day, bool night, bool paused);
    // A phone button identifier in the same states.
    static ButtonAction phoneButtonAction(int button, bool day, bool night, bool paused);

    void initGameControlPrefs();
    void createGameControls();
    void destroyGameControls();
    void enableGameControls();
    void disableGameControls(bool clearInput);
    void clearGameControlsInput();
    // The desktop window never turns, so the controls have no orientation to follow.
    void updateGameControlsOrientation() {}
    // No on-screen controls exist here, so there is nothing to step each frame.
    void updateGameControls() {}
    // No on-screen stick exists here: the phone, pads, mouse, keyboard and trackpad steer the bee.
    void createJoystick() {}
    // Nothing was made by createJoystick, so there is nothing to take down.
    void destroyJoystick() {}
    // There is no on-screen stick to show while steering is allowed.
    void showJoystick() {}
    // There is no on-screen stick to hide while steering is held back.
    void hideJoystick() {}

    // Per frame.
    void handleInput();
    void autoInput();
    void applyInput(bool rotateToWorld);
    // The chosen input in the local frame after handleInput; the applied force after applyInput.
    vector2d<float> beeAcceleration() const { return beeAcceleration_; }

    // Trackpad fingers, at most kMaxTouches at once.
    bool ccTouchesBeganWithEvent(const Event& event) override;
    bool ccTouchesMovedWithEvent(const Event& event) override;
    bool ccTouchesEndedWithEvent(const Event& event) override;
    bool ccTouchesCancelledWithEvent(const Event& event) override;
    int getTouchBindingIndex(int64_t identity) const;
    int getFreeTouchBindingIndex() const;
    void clearTouches();
    int touchCount() const { return touchCount_; }

    // Mouse: steers while a button is held.
    bool ccMouseDown(const Event& event) override;
    bool ccMouseDragged(const Event& event) override;
    bool ccMouseUp(const Event& event) override;
    void updateMousePosition(const Event& event);

    // Keyboard: Escape pauses; arrows and keypad 1-9 steer, by day.
    bool ccKeyDown(const Event& event) override;
    bool ccKeyUp(const Event& event) override;
    void updateKeyboardDPAD();

    // The phone (controller library callbacks, main thread).
    void initNetworkControl();
    void cleanupNetworkControl();
    uint16_t padlinkDelegations() const override;
    void padlinkManagerDeviceDidConnect(JPManager* manager, JPDevice* device) override;
    void padlinkManagerDeviceDidDisconnect(JPManager* manager, JPDevice* device) override;
    void padlinkDeviceDidAccelerate(JPDevice* device, float x, float y, float z) override;
    void padlinkDeviceDPadButtonUp(JPDevice* device, int dpad, int direction) override;
    void padlinkDeviceDPadButtonDown(JPDevice* device, int dpad, int direction) override;
    void padlinkDeviceButtonDown(JPDevice* device, int button) override;
    void padlinkDeviceAnalogStickDidMove(JPDevice* device, int stick, float angle, float distance) override;

    // HID pads and joysticks.
    void initHidJoystickControl();
    void cleanupHidJoystickControl();
    void ddhidJoystickStickXChanged(DDHidJoystick* joystick, uint32_t stick, int32_t value) override;
    void ddhidJoystickStickYChanged(DDHidJoystick* joystick, uint32_t stick, int32_t value) override;
    void ddhidJoystickStickOtherAxisValueChanged(DDHidJoystick* joystick, uint32_t stick, uint32_t otherAxis,
                                                 int32_t value) override;
    void ddhidJoystickStickPovNumberValueChanged(DDHidJoystick* joystick, uint32_t stick, uint32_t povNumber,
                                                 int32_t value) override;
    void ddhidJoystickButtonDown(DDHidJoystick* joystick, uint32_t buttonNumber) override;
    void ddhidJoystickButtonUp(DDHidJoystick* joystick, uint32_t buttonNumber) override;
    void ddhidJoystickStickAxisXChanged(DDHidJoystick* joystick, uint32_t stick, uint32_t axis, int32_t value);
    void ddhidJoystickStickAxisYChanged(DDHidJoystick* joystick, uint32_t stick, uint32_t axis, int32_t value);
    void updateHidDPAD();

    // ---- The bee's view of the level (VantrelGameLayerPlayer.cpp) ----
    CGPoint spawnPosition() const override;
    float currentTimeOfDayPerc() const override;
    uint32_t flowersVisited() const override;
    uint32_t totalFlowers() const override;
    int32_t existingHighScore() const override;
    void emitParticles(int kind, CGPoint position) override;
    void updatePlayerFlowerContact(GameObject* flower, bool active) override;
    void beginPlayerHiveContact(bool hasNectar) override;
    void updatePlayerHiveContact(bool transferring) override;
    void endPlayerHiveContact() override;
    int32_t totalBuddies() const override;
    void changeLengthOfDay(float seconds) override;
    const GameMessagePositionProtocol* hiveMessageTarget() const override;
    // The contact listener saw the bee's head touch something solid during the step.
    void setPlayerHasSolidContact(bool contact) override;

private:
    struct TouchBinding {
        bool bound = false;
        int64_t identity = 0;
        vector2d<float> position;
    };
    struct DPad {
        int left = 0, right = 0, up = 0, down = 0;
        vector2d<float> sum() const;
    };
    // A pointer position (engine coordinates, points) as input: its offset from the bee in the
    // bee's frame over half the screen at the camera's zoom, each component within [-1, 1].
    vector2d<float> inputFromScreenPoint(CGPoint point) const;
    // The angle of the bee's local frame, radians: its direction from the centre minus pi/2.
    float localFrameAngle() const;
    void hideCursorWhileSteering();
    // Frees the slots of the event's fingers in the phase.
    void releaseTouches(const Event& event, uint64_t phase);
    void setPhoneDPad(int direction, int held);
    // Makes the device the active one, telling the mapper when it changed.
    void makeHidJoystickActive(DDHidJoystick* joystick);
    void hidAxisChanged(DDHidJoystick* joystick, uint32_t stick, uint32_t axis, int32_t value, bool yAxis);
    void performButtonAction(ButtonAction action);
    void setHidDPadDirection(ButtonAction action, int held);

    bool useTilt_ = false, invertTilt_ = false, useJoystick_ = false, useTouch_ = false, useMouse_ = false,
         useKeyboard_ = false, useDPad_ = false;
    double gameControlsTiltRotation_ = 0;
    int gameControlsSensitivity_ = 0;
    vector2d<float> beeAcceleration_;
    vector2d<float> tiltAcceleration_;
    int touchCount_ = 0;
    TouchBinding touchBindings_[kMaxTouches];
    vector2d<float> mousePosition_;
    bool isMouseActive_ = false;
    int keyboardDPADData_[8] = {};  // left, right, up, down, upleft, upright, downleft, downright
    vector2d<float> keyboardDPADAcceleration_;
    bool isKeyboardDPADActive_ = false;
    bool hasNetworkJoystickData_ = false;
    CGPoint networkJoystickData_ = CGPointZero;
    DPad networkDPADData_;
    std::vector<RefPtr<DDHidJoystick>> hidJoysticks_;
    DPad hidDPADData_;
    vector2d<float> hidDPADAcceleration_;
    bool isHidDPADActive_ = false;
    vector2d<float> hidJoystickAcceleration_;
    bool isHidJoystickActive_ = false;
    RefPtr<DDHidJoystick> hidActiveJoystick_;
    uint32_t hidActiveStick_ = 0;
    uint32_t hidActiveAxis_ = 0;

protected:
    // A phone was connected when the controls were made: it alone steers. A test may stand one in.
    bool useNetworkJoystick_ = false;

public:

    // The frame: dt in seconds, capped at kMaxFrameTime.
    void update(float dt) override;

    // The summary's fraction of a full hive, 0 to 1: honey over the reference; a level without a
    // reference is full once any honey is delivered.
    static float summaryHoneyFraction(float honey, uint32_t referenceHoney);

    // Game flow.
    void onGameStart();
    void onEnableContactListenerPostSolve(float dt);
    // Virtual so that a test can count it.
    virtual void onGameComplete();
    void onGameSummaryComplete() override;
    void onGameQuit();
    // The statistics, the best score (and the level it opens), the rank and the scores sent to
    // the game service; once per game, at the summary or on leaving before it.
    void saveGameResult();
    // HudGameDelegate: the HUD's buttons.
    void togglePauseGame() override;
    void pauseGame();
    void resumeGame() override;
    void quitGame() override;
    void finishGame() override;
    void replayGame() override;

    // World tint, carried by the near background ring's colour.
    void tintWorld(ccColor3B colour, float fadeTime);
    void pauseTintWorld();
    void resumeTintWorld();
    void stopTintWorld();
    void onTintWorldComplete();
    void updateTintWorld();
    void tintWorldNodes(ccColor3B colour);
    void tintNode(CCNode* node, ccColor3B colour);
    void tintHolderNode(CCNode* holder, ccColor3B colour);
    void tintBatchNode(CCNode* batch, ccColor3B colour);

    // Game service.
    void initGameCenter();
    void onLocalPlayerAuthenticationChanged() override;
    void onGameCenterViewPresented(int viewState) override;
    void onLeaderboardViewPresented(int viewState) override;
    void onAchievementsViewPresented(int viewState) override;
    void onGameCenterViewDismissed() override;
    void onLeaderboardViewDismissed() override;
    void onAchievementsViewDismissed() override;

    // GameContactDelegate: flower contacts go to the level, the rest to the bee.
    void beginPlayerFlowerContact(GameObject* flower) override;
    void endPlayerFlowerContact(GameObject* flower) override;
    void handlePickupContacts() override;
    void handleEnemyContacts() override;
    void handleProjectileContacts() override;
    GameSensor* hiveSensor() override { return hiveSensor_.get(); }
    GameSensor* hideSensor() override { return hideSensor_.get(); }

    bool gamePaused() const { return gamePaused_; }
    bool allowGameControls() const { return allowGameControls_; }
    bool worldTintComplete() const { return worldTintComplete_; }
    int activityTicks() const { return activityTicks_; }
    bool ignoreCameraBottom() const { return ignoreCameraBottom_; }
    Level* level() const { return level_.get(); }
    Player* player() const { return player_.get(); }
    Hud* hud() const { return hud_.get(); }
    // The play camera; named apart from the node's own 3D camera().
    Camera* gameCamera() const { return camera_.get(); }
    float cameraTangentAngle() const override { return cameraTangentAngle_; }
    float cameraZoom() const { return cameraZoom_; }
    float cameraZoomMin() const { return cameraZoomMin_; }
    float cameraZoomMax() const { return cameraZoomMax_; }
    float cameraTop() const { return cameraTop_; }
    float cameraBottom() const { return cameraBottom_; }
    float gradientBackgroundRange() const { return gradientBackgroundRange_; }
    PhysicsSystem* physicsSystem() const override { return physicsSystem_.get(); }
    b2World* physicsWorld() const { return physicsWorld_; }
    GameContactListener* gameContactListener() const override { return gameContactListener_.get(); }
    GravityController* gravityController() const { return gravityController_.get(); }
    AntiGravityController* antiGravityController() const { return antiGravityController_.get(); }
    AutoStopController* autoStopController() const { return autoStopController_.get(); }
    float beeAccelerationPerc() const override { return beeAccelerationPerc_; }
    CCNode* centreHolder() const { return centreHolder_; }
    CCLayerGradient* gradientBackground() const { return gradientBackground_.get(); }
    CCNode* sunMoonHolder() const { return sunMoonHolder_; }
    CCSprite* sunMoon() const { return sunMoon_; }
    CCNode* worldHolder() const { return worldHolder_; }
    CCNode* skyHolder() const { return skyHolder_; }
    CCDonut* terrainBackgroundFar() const { return terrainBackgroundFar_.get(); }
    CCDonut* terrainBackgroundNear() const { return terrainBackgroundNear_.get(); }
    CCNode* backgroundHolder() const { return backgroundHolder_; }
    CCCircle* terrainFill() const { return terrainFill_.get(); }
    CCDonut* terrainGround() const { return terrainGround_.get(); }
    CCNode* foregroundHolder() const { return foregroundHolder_; }
    PhysicsSprite* vantrel() const { return vantrel_; }
    CCNode* effectsHolder() const { return effectsHolder_; }
    CCNode* particlesHolder() const { return particlesHolder_; }
    CCParticleBatchNode* particlesGenericHolder() const { return particlesGenericHolder_; }
    CCNode* messagesHolder() const override { return messagesHolder_; }
    // GameMessageDelegate: the values of self-updating bubbles.
    float playerNectar() const override;
    float playerHiveHoney() const override;
    float playerDistanceTravelled() const override;
    float dayTimeRemaining() const override;
    CCNode* frontHolder() const { return frontHolder_; }
    CCNode* hudHolder() const override { return hudHolder_; }
    CGPoint sunMoonStartPosition() const { return sunMoonStartPosition_; }
    float sunMoonAngleRange() const { return sunMoonAngleRange_; }

protected:
    ~VantrelGameLayer() override;

    // The scene records itself at the start of its set-up and forgets itself at the end of its
    // teardown; it records its physics when it creates it and forgets it before deleting it.
    static void setCurrentGameLayer(VantrelGameLayer* layer);
    static void setCurrentPhysics(PhysicsSystem* system, b2World* world);

private:
    // Puts back what init changed outside the scene when the level is refused.
    void undoSetUp();
    void destroyPhysics();
    // Hides the pointer until the mouse moves, or shows it.
    static void setCursorHiddenUntilMouseMoves(bool hidden);

    CGSize screenSize_ = {0, 0};
    CGSize halfScreenSize_ = {0, 0};
    bool gamePaused_ = false;
    bool allowPause_ = false;
    bool useGameCenter_ = false;
    bool canSubmitToGameCenter_ = false;
    VantrelAudio* audioSystem_ = nullptr;  // the shared front, not owned
    int gameControlType_ = 0;
    bool gameControlsExist_ = false;
    bool allowGameControls_ = false;
    float beeAccelerationPerc_ = 0;
    int activityTicks_ = kActivityTicks;
    bool gameResultSaved_ = false;

    std::unique_ptr<PhysicsSystem> physicsSystem_;
    b2World* physicsWorld_ = nullptr;  // the physics system's
    std::unique_ptr<GameContactListener> gameContactListener_;
    std::unique_ptr<GravityController> gravityController_;
    std::unique_ptr<AntiGravityController> antiGravityController_;
    std::unique_ptr<AutoStopController> autoStopController_;
    RefPtr<GameSensor> hiveSensor_;
    RefPtr<GameSensor> hideSensor_;

    RefPtr<Level> level_;
    RefPtr<Player> player_;
    RefPtr<Hud> hud_;
    RefPtr<Camera> camera_;

    // Camera follow: distances from the planet centre, points.
    float cameraTop_ = 0;
    float cameraTopOffset_ = 0;
    float cameraBottom_ = 0;
    float cameraBottomOffset_ = 0;
    bool ignoreCameraBottom_ = false;
    float cameraTangentAngle_ = 0;  // degrees, 0 straight above the centre
    float cameraZoom_ = 1;
    float cameraZoomMin_ = kCameraZoomMin;
    float cameraZoomMax_ = kCameraZoomMax;
    float cameraZoomRange_ = kCameraZoomMax - kCameraZoomMin;
    float cameraZoomTopHeight_ = 0;
    float cameraZoomBottomHeight_ = 0;
    float cameraZoomHeightRange_ = 0;
    CGPoint cameraVelocity_ = CGPointZero;  // points per frame

    float gradientBackgroundTop_ = 0;
    float gradientBackgroundBottom_ = 0;
    float gradientBackgroundRange_ = 0;
    float sunMoonAngleRange_ = 0;  // radians over the day; negative turns clockwise
    CGPoint sunMoonStartPosition_ = CGPointZero;
    float terrainBackgroundFarParallaxRatio_ = 0;
    float terrainBackgroundNearParallaxRatio_ = 0;
    bool worldTintComplete_ = true;
    RefPtr<CCAction> worldTintAction_;

    // Nodes of the tree: the gradient and the rings are also held here, the rest only by the tree.
    CCNode* centreHolder_ = nullptr;
    RefPtr<CCLayerGradient> gradientBackground_;
    CCNode* sunMoonHolder_ = nullptr;
    CCSprite* sunMoon_ = nullptr;
    CCNode* worldHolder_ = nullptr;
    CCNode* skyHolder_ = nullptr;
    RefPtr<CCDonut> terrainBackgroundFar_;
    RefPtr<CCDonut> terrainBackgroundNear_;
    CCNode* backgroundHolder_ = nullptr;
    RefPtr<CCCircle> terrainFill_;
    RefPtr<CCDonut> terrainGround_;
    CCNode* foregroundHolder_ = nullptr;
    CCSpriteBatchNode* buddyHolder_ = nullptr;
    CCNode* playerMotionStreak_ = nullptr;
    CCSpriteBatchNode* playerHolder_ = nullptr;
    PhysicsSprite* vantrel_ = nullptr;
    CCNode* effectsHolder_ = nullptr;
    CCNode* particlesHolder_ = nullptr;
    CCParticleBatchNode* particlesGenericHolder_ = nullptr;
    CCNode* messagesHolder_ = nullptr;
    CCNode* frontHolder_ = nullptr;
    CCNode* hudHolder_ = nullptr;
};
