#pragma once

#include <box2d/box2d.h>

#include <memory>
#include <string>

#include "app/shell/GameKitHelperProtocol.h"
#include "engine/core/CCLayer.h"
#include "engine/core/ccTypes.h"
#include "game/core/GameContactDelegate.h"
#include "platform/foundation/Geometry.h"

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
// The bee (Player) and the HUD are not built yet: `player` and `hud` stay null and every call
// to them is skipped. The steering input has no sources yet either: the input operations are
// empty. Engine thread only.
class VantrelGameLayer : public CCLayer, public GameContactDelegate, public GameKitHelperProtocol {
public:
    static constexpr const char* kClassName = "VantrelGameLayer";
    static constexpr int kActivityTicks = 900;
    static constexpr float kMaxFrameTime = 0.06666667f;  // seconds
    static constexpr int kGroundInFrontZ = 8;

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
    void createHUD();
    void updateHUD();
    void createCamera();
    void updateCamera(float dt);

    // Steering input: not built yet.
    void createGameControls() { gameControlsExist_ = true; }
    void initNetworkControl() {}
    void initHidJoystickControl() {}
    void cleanupNetworkControl() {}
    void cleanupHidJoystickControl() {}
    void enableGameControls() { allowGameControls_ = gameControlsExist_; }
    void disableGameControls(bool) { allowGameControls_ = false; }
    void destroyGameControls() { gameControlsExist_ = allowGameControls_ = false; }
    void handleInput() {}
    void applyInput(bool) {}
    void updateGameControls() {}
    void autoInput() {}

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
    void onGameSummaryComplete();
    void onGameQuit();
    void togglePauseGame();
    void pauseGame();
    void resumeGame();
    void quitGame();
    void finishGame();
    void replayGame();

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

    // GameContactDelegate: flower contacts go to the level.
    void beginPlayerFlowerContact(GameObject* flower) override;
    void endPlayerFlowerContact(GameObject* flower) override;
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
    float cameraTangentAngle() const { return cameraTangentAngle_; }
    float cameraZoom() const { return cameraZoom_; }
    PhysicsSystem* physicsSystem() const { return physicsSystem_.get(); }
    b2World* physicsWorld() const { return physicsWorld_; }
    GameContactListener* gameContactListener() const { return gameContactListener_.get(); }
    GravityController* gravityController() const { return gravityController_.get(); }
    AntiGravityController* antiGravityController() const { return antiGravityController_.get(); }
    AutoStopController* autoStopController() const { return autoStopController_.get(); }
    float beeAccelerationPerc() const { return beeAccelerationPerc_; }
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
    CCNode* messagesHolder() const { return messagesHolder_; }
    CCNode* frontHolder() const { return frontHolder_; }
    CCNode* hudHolder() const { return hudHolder_; }
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
    float cameraZoomMin_ = 1.0f;
    float cameraZoomMax_ = 1.5f;
    float cameraZoomRange_ = 0.5f;
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
