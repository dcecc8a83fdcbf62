#include "game/core/VantrelGameLayer.h"

#include <algorithm>
#include <cmath>

#include "game/core/Units.h"
#include "shell/ApplicationPreferences.h"
#include "shell/GameKitHelper.h"
#include "shell/VantrelGlobal.h"
#include "shell/VantrelNetworkControl.h"
#include "shell/VantrelTransitionLayer.h"
#include "audio/VantrelAudio.h"
#include "engine/actions/composite/CCSequence.h"
#include "engine/actions/instant/CCCallBlock.h"
#include "engine/actions/interval/CCTintTo.h"
#include "engine/core/CCDirector.h"
#include "engine/core/CCLayerGradient.h"
#include "engine/core/CCRGBAProtocol.h"
#include "engine/core/CCScene.h"
#include "engine/core/CCTextureCache.h"
#include "engine/core/support/CCArray.h"
#include "engine/core/support/CCFileUtils.h"
#include "engine/core/support/ccPointMath.h"
#include "engine/render/CCLabelBMFont.h"
#include "engine/render/CCParticleBatchNode.h"
#include "engine/render/CCSprite.h"
#include "engine/render/CCSpriteBatchNode.h"
#include "engine/render/CCSpriteFrameCache.h"
#include "game/core/AntiGravityController.h"
#include "game/core/AutoStopController.h"
#include "game/core/CCCircle.h"
#include "game/core/CCDonut.h"
#include "game/core/Camera.h"
#include "game/core/GameContactListener.h"
#include "game/core/GameSensor.h"
#include "game/core/GravityController.h"
#include "game/core/HiveProtocol.h"
#include "game/core/Hud.h"
#include "game/core/GameMessage.h"
#include "game/core/Level.h"
#include "game/core/Levels.h"
#include "game/core/PhysicsSprite.h"
#include "game/core/PhysicsSystem.h"
#include "game/core/Player.h"
#include "game/core/Rank.h"
#include "platform/foundation/Log.h"
#include "platform/window/CursorHider.h"
#include "platform/window/SystemActivity.h"

namespace {
// One play scene at a time; not retained.
VantrelGameLayer* currentLayer = nullptr;
PhysicsSystem* currentSystem = nullptr;
b2World* currentWorld = nullptr;

constexpr float kControllerStrength = 10.0f;
constexpr float kPostSolveDelay = 2.0f;  // seconds of a level without impact damage
constexpr const char* kGenericParticleImage = "particle_generic.png";
constexpr uint64_t kGenericParticleCapacity = 1000;
constexpr const char* kHudSheet = "hud.plist";
constexpr const char* kHudImage = "hud.png";

// The transition scene finds the play scene by its class name wherever the game is linked in.
[[maybe_unused]] const bool sceneRegistered = (VantrelGameLayer::registerScene(), true);

RefPtr<CCDonut> makeRing(const std::string& image, float outer, float inner, int32_t subdivisions, int32_t repeat) {
    RefPtr<CCDonut> ring = makeRef<CCDonut>();
    ring->initWithTexture(Level::textureNamed(image));
    ring->createDonut(outer, inner, subdivisions, repeat);
    return ring;
}

template <typename Node>
Node* addNew(CCNode* parent, RefPtr<Node> node, int64_t z = 0) {
    parent->addChild(node.get(), z);
    return node.get();
}
}  // namespace

VantrelGameLayer* VantrelGameLayer::currentGameLayer() { return currentLayer; }
PhysicsSystem* VantrelGameLayer::currentPhysicsSystem() { return currentSystem; }
b2World* VantrelGameLayer::currentPhysicsWorld() { return currentWorld; }

// The running play scene also answers the bubbles' questions.
void VantrelGameLayer::setCurrentGameLayer(VantrelGameLayer* layer) {
    if (!layer && currentLayer && GameMessage::gameDelegate() == currentLayer) GameMessage::setGameDelegate(nullptr);
    currentLayer = layer;
    if (layer) GameMessage::setGameDelegate(layer);
}

void VantrelGameLayer::setCurrentPhysics(PhysicsSystem* system, b2World* world) {
    currentSystem = system;
    currentWorld = world;
}

void VantrelGameLayer::registerScene() { VantrelTransitionLayer::registerScene(kClassName, &VantrelGameLayer::scene); }

RefPtr<CCScene> VantrelGameLayer::scene() {
    RefPtr<VantrelGameLayer> layer = node();
    if (!layer) return nullptr;
    RefPtr<CCScene> scene = CCScene::node();
    scene->addChild(layer.get());
    return scene;
}

VantrelGameLayer::VantrelGameLayer() = default;

RefPtr<VantrelGameLayer> VantrelGameLayer::node() {
    RefPtr<VantrelGameLayer> layer = makeRef<VantrelGameLayer>();
    return layer->init() ? layer : nullptr;
}

// ---- Set-up ----

bool VantrelGameLayer::init() {
    setCurrentGameLayer(this);
    VantrelGlobal* global = VantrelGlobal::sharedInstance();
    global->setGameState(VantrelGlobal::kStatePlay);
    gamePaused_ = false;
    initAudio();
    initGameCenter();
    screenSize_ = CCDirector::sharedDirector()->winSize();
    halfScreenSize_ = {screenSize_.width / 2, screenSize_.height / 2};
    setupAssetLoader();
    createPhysics();

    const std::string levelId = global->nextLevelId();
    global->setLastLevelId(levelId);
    global->setNextLevelId({});
    level_ = Level::levelFromFile(levelId + ".plist");
    if (!level_) {
        undoSetUp();
        return false;
    }
    fitCameraZoomToWindow();
    createWorld();
    level_->loadTextureAtlases();
    createSunMoon();
    level_->createSkyBackground();
    level_->createEffects();
    level_->createParticles();
    level_->createPlanetGeometry();
    level_->loadLevelGeometry();
    if (!level_->loadLevelObjects() || !loadHudResources()) {
        undoSetUp();
        return false;
    }
    createPlayer();
    if (!player_) {
        undoSetUp();
        return false;
    }
    createCamera();
    if (!createHUD()) {
        undoSetUp();
        return false;
    }
    createGameControls();
    initNetworkControl();
    initHidJoystickControl();
    restoreAssetLoader();
    activityTicks_ = kActivityTicks;
    onGameStart();
    return true;
}

void VantrelGameLayer::undoSetUp() {
    logLine("Game: the level \"%s\" is refused; no game is started", VantrelGlobal::sharedInstance()->lastLevelId().c_str());
    GameKitHelper* gameKit = GameKitHelper::sharedInstance();
    if (gameKit->delegate() == this) gameKit->setDelegate(nullptr);
    restoreAssetLoader();
    // As the teardown: the bee and the level's nodes go before the world they use.
    camera_.reset();
    player_.reset();
    removeAllChildrenWithCleanup(true);
    level_.reset();
    hud_.reset();
    destroyPhysics();
    setCurrentGameLayer(nullptr);
}

VantrelGameLayer::~VantrelGameLayer() {
    stopTintWorld();
    PhysicsSprite::setAutoDestroyAllBodies(false);
    destroyJoystick();
    camera_.reset();
    player_.reset();
    // The level's objects and particle systems go with the tree before the world they use.
    removeAllChildrenWithCleanup(true);
    level_.reset();
    hud_.reset();
    destroyPhysics();
    cleanupAudio();
    if (currentLayer == this) setCurrentGameLayer(nullptr);
}

void VantrelGameLayer::destroyPhysics() {
    if (currentSystem == physicsSystem_.get()) setCurrentPhysics(nullptr, nullptr);
    physicsSystem_.reset();
    physicsWorld_ = nullptr;
    gameContactListener_.reset();
    gravityController_.reset();
    antiGravityController_.reset();
    autoStopController_.reset();
    hiveSensor_.reset();
    hideSensor_.reset();
}

void VantrelGameLayer::setupAssetLoader() {
    const bool highResolution = CCDirector::sharedDirector()->contentScaleFactor() >= 2.0;
    CCFileUtils::sharedFileUtils()->setMacSuffix(highResolution ? "-hd" : "");
}

void VantrelGameLayer::restoreAssetLoader() {
    const bool highResolution = CCDirector::sharedDirector()->contentScaleFactor() >= 2.0;
    CCFileUtils::sharedFileUtils()->setMacSuffix(highResolution ? "-ipadhd" : "-hd");
}

void VantrelGameLayer::initAudio() { audioSystem_ = VantrelAudio::sharedInstance(); }

void VantrelGameLayer::pauseAudio() {
    if (audioSystem_) audioSystem_->onGamePause();
}

void VantrelGameLayer::resumeAudio() {
    if (audioSystem_) audioSystem_->onGameResume();
}

void VantrelGameLayer::createPhysics() {
    physicsSystem_ = std::make_unique<PhysicsSystem>();
    physicsSystem_->createGroundBody();
    physicsSystem_->useSynchronisableList();
    physicsWorld_ = physicsSystem_->getWorld();
    setCurrentPhysics(physicsSystem_.get(), physicsWorld_);
    gameContactListener_ = std::make_unique<GameContactListener>(this);
    gameContactListener_->setPostSolveEnabled(false);
    physicsSystem_->setContactListener(gameContactListener_.get());
    gravityController_ = std::make_unique<GravityController>(kControllerStrength);
    physicsSystem_->addPreStepController(gravityController_.get());
    antiGravityController_ = std::make_unique<AntiGravityController>(kControllerStrength);
    physicsSystem_->addPreStepController(antiGravityController_.get());
    autoStopController_ = std::make_unique<AutoStopController>();
    physicsSystem_->addPostStepController(autoStopController_.get());
    hiveSensor_ = makeRef<GameSensor>(BindingType::kHiveSensor);
    hideSensor_ = makeRef<GameSensor>(BindingType::kHideSensor);
}

void VantrelGameLayer::createWorld() {
    centreHolder_ = addNew(this, CCNode::node());
    centreHolder_->setPosition(CGPointMake(halfScreenSize_.width, halfScreenSize_.height));
    createGradientBackground();
    centreHolder_->addChild(gradientBackground_.get());
    createSunMoonHolder();
    worldHolder_ = addNew(centreHolder_, CCNode::node());
    skyHolder_ = addNew(worldHolder_, CCNode::node());
    createTerrain();
    worldHolder_->addChild(terrainBackgroundFar_.get());
    worldHolder_->addChild(terrainBackgroundNear_.get());
    backgroundHolder_ = addNew(worldHolder_, CCNode::node());
    const int64_t groundZ = level_->groundInFront() ? kGroundInFrontZ : 0;
    worldHolder_->addChild(terrainFill_.get(), groundZ);
    worldHolder_->addChild(terrainGround_.get(), groundZ);
    foregroundHolder_ = addNew(worldHolder_, CCNode::node());
    messagesHolder_ = addNew(worldHolder_, CCNode::node(), 2);
    effectsHolder_ = addNew(worldHolder_, CCNode::node(), 4);
    particlesHolder_ = addNew(worldHolder_, CCNode::node(), 5);
    if (RefPtr<CCTexture2D> texture = Level::textureNamed(kGenericParticleImage)) {
        particlesGenericHolder_ =
            addNew(particlesHolder_, CCParticleBatchNode::batchNodeWithTexture(texture, kGenericParticleCapacity));
    }
    frontHolder_ = addNew(worldHolder_, CCNode::node(), 6);
    frontHolder_->setVisible(false);
    worldTintComplete_ = true;
}

void VantrelGameLayer::createGradientBackground() {
    RefPtr<CCLayerGradient> gradient = CCLayerGradient::layerWithColor(
        level_->skyColourStartBottom(), level_->skyColourStartTop(), CGPointMake(0, 1));
    gradient->setIgnoreAnchorPointForPosition(false);
    gradient->setAnchorPoint(CGPointMake(0.5, 0.5));
    gradient->setContentSize(CGSizeMake(screenSize_.width / cameraZoomMin_, screenSize_.height / cameraZoomMin_));
    gradientBackground_ = gradient;
    // The range is positive: the zoom fit keeps it at least a sixteenth of the flying band.
    gradientBackgroundTop_ = level_->skyRadius() - static_cast<float>(screenSize_.height) / cameraZoomMin_;
    gradientBackgroundBottom_ =
        level_->groundRadius() - 0.25f * static_cast<float>(screenSize_.height) / cameraZoomMax_;
    gradientBackgroundRange_ = gradientBackgroundTop_ - gradientBackgroundBottom_;
}

void VantrelGameLayer::updateGradientBackground() {
    if (!gradientBackground_ || !camera_) return;
    if (level_->skyColourRequiresUpdate()) {
        gradientBackground_->setStartColor(level_->skyColourCurrentBottom());
        gradientBackground_->setEndColor(level_->skyColourCurrentTop());
    }
    const CGPoint position = camera_->position();
    float f = (static_cast<float>(ccPointLength(position)) - gradientBackgroundBottom_) / gradientBackgroundRange_;
    f = std::min(f, 1.0f);
    const float h = static_cast<float>(halfScreenSize_.height);
    gradientBackground_->setScale(camera_->scale());
    gradientBackground_->setPosition(CGPointMake(0, h - std::max(f, 0.0f) * h));
}

void VantrelGameLayer::createSunMoonHolder() { sunMoonHolder_ = addNew(centreHolder_, CCNode::node()); }

void VantrelGameLayer::createSunMoon() {
    const float width = static_cast<float>(screenSize_.width);
    const float height = static_cast<float>(screenSize_.height);
    float spriteWidth = 0;
    if (RefPtr<CCSpriteFrame> frame =
            CCSpriteFrameCache::sharedSpriteFrameCache()->spriteFrameByName(level_->timeImageName())) {
        sunMoon_ = addNew(sunMoonHolder_, CCSprite::spriteWithSpriteFrame(frame.get()));
        spriteWidth = static_cast<float>(sunMoon_->contentSize().width);
    } else {
        logLine("Game: no sun and moon frame \"%s\"; the sky shows none", level_->timeImageName().c_str());
    }
    const float a = width / 2 + spriteWidth / 4;
    const float radius = ((height / 2) * (height / 2) + a * a) / height;
    sunMoonHolder_->setPosition(CGPointMake(0, height / 4 - radius));
    sunMoonAngleRange_ = -2 * std::atan2(width / 2 + spriteWidth / 2, radius - height / 2);
    sunMoonStartPosition_ = ccPointRotateAround(CGPointMake(0, radius), CGPointZero, -0.5f * sunMoonAngleRange_);
    if (sunMoon_) sunMoon_->setPosition(sunMoonStartPosition_);
}

void VantrelGameLayer::updateSunMoon(float) {
    if (!sunMoon_ || !camera_) return;
    const float t = level_->currentTimeOfDayPerc();
    sunMoon_->setPosition(ccPointRotateAround(sunMoonStartPosition_, CGPointZero, t * sunMoonAngleRange_));
    sunMoon_->setScale(camera_->scale() * (std::fabs(t - 0.5f) + 0.5f));
}

void VantrelGameLayer::hideSunMoon() {
    if (sunMoonHolder_) sunMoonHolder_->setVisible(false);
}

void VantrelGameLayer::createTerrain() {
    Level& level = *level_;
    terrainBackgroundNear_ = makeRing(level.bgNearImageName(), level.bgNearOuterRadiusWithOffset(),
                             level.bgNearInnerRadiusWithOffset(), level.bgNearSubdivisions(), level.bgNearImageRepeat());
    terrainBackgroundFar_ = makeRing(level.bgFarImageName(), level.bgFarOuterRadiusWithOffset(),
                            level.bgFarInnerRadiusWithOffset(), level.bgFarSubdivisions(), level.bgFarImageRepeat());
    terrainGround_ = makeRing(level.groundImageName(), level.groundRadiusWithOffset(),
                               level.groundInnerRadiusWithOffset(), level.groundSubdivisions(), level.groundImageRepeat());
    terrainFill_ = makeRef<CCCircle>();
    terrainFill_->initWithRadius(level.groundFillRadius(), level.groundFillColour(), level.groundFillSubdivisions());
    terrainBackgroundFarParallaxRatio_ = level.bgFarRatio();
    terrainBackgroundNearParallaxRatio_ = level.bgNearRatio();
}

void VantrelGameLayer::updateTerrain() {
    if (terrainBackgroundFar_) terrainBackgroundFar_->setRotation(-(terrainBackgroundFarParallaxRatio_ * cameraTangentAngle_));
    if (terrainBackgroundNear_) {
        terrainBackgroundNear_->setRotation(-(terrainBackgroundNearParallaxRatio_ * cameraTangentAngle_));
    }
}

void VantrelGameLayer::createPlayer() {
    player_ = makeRef<Player>();
    if (!player_->init(this, this)) {
        player_.reset();
        return;
    }
    buddyHolder_ = player_->buddyHolder();
    playerHolder_ = player_->playerHolder();
    playerMotionStreak_ = player_->playerMotionStreak();
    vantrel_ = player_->vantrel();
    if (buddyHolder_) worldHolder_->addChild(buddyHolder_, 1);
    if (playerMotionStreak_) worldHolder_->addChild(playerMotionStreak_, 3);
    if (playerHolder_) worldHolder_->addChild(playerHolder_, 3);
    level_->setPlayer(player_.get());
}

bool VantrelGameLayer::loadHudResources() {
    if (!Level::resourceExists(kHudSheet)) {
        logLine("Game: no \"%s\": the level could not be paused or ended", kHudSheet);
        return false;
    }
    CCSpriteFrameCache::sharedSpriteFrameCache()->addSpriteFramesWithFile(kHudSheet);
    if (!Level::textureNamed(kHudImage)) return false;  // logged by the lookup
    for (const char* font : {GameMessage::kLine1Font, GameMessage::kLine2Font}) {
        // The label logs why its font or page cannot be loaded.
        if (!CCLabelBMFont::labelWithString("", font)) return false;
    }
    return true;
}

bool VantrelGameLayer::createHUD() {
    hudHolder_ = addNew(this, CCNode::node());
    hud_ = makeRef<Hud>();
    if (!hud_->init(this)) {
        hud_.reset();
        return false;
    }
    return true;
}

void VantrelGameLayer::updateHUD() {
    if (hud_ && vantrel_) hud_->updateHudPositionIndicator(vantrel_->position());
}

// ---- Camera ----

void VantrelGameLayer::fitCameraZoomToWindow() {
    const float band = level_->skyRadius() - level_->groundRadius();  // positive: the level checks it
    const float height = static_cast<float>(screenSize_.height);
    const float offsets = height * (0.5f / kCameraZoomMin + 0.25f / kCameraZoomMax);
    const float scale = std::max(1.0f, offsets / (kCameraOffsetsShareOfBand * band));
    cameraZoomMin_ = kCameraZoomMin * scale;
    cameraZoomMax_ = kCameraZoomMax * scale;
    cameraZoomRange_ = cameraZoomMax_ - cameraZoomMin_;
}

void VantrelGameLayer::createCamera() {
    const float height = static_cast<float>(screenSize_.height);
    const CGPoint start = vantrel_ ? vantrel_->position() : level_->spawnPosition();
    camera_ = makeRef<Camera>(start, vantrel_ ? -vantrel_->rotation() : 0.0f, 1.0f);
    cameraTopOffset_ = (height / 2) / cameraZoomMin_;
    cameraTop_ = level_->skyRadius() - cameraTopOffset_;
    cameraBottomOffset_ = 0.25f * height / cameraZoomMax_;
    cameraBottom_ = level_->groundRadius() + cameraBottomOffset_;
    cameraZoomTopHeight_ = std::min(cameraTop_, level_->skyRadius() - 0.5f * height / cameraZoomMin_);
    cameraZoomBottomHeight_ = level_->groundRadius() + 0.25f * height / cameraZoomMax_;
    cameraZoomHeightRange_ = cameraZoomTopHeight_ - cameraZoomBottomHeight_;
    cameraVelocity_ = CGPointZero;
}

void VantrelGameLayer::updateCamera(float dt) {
    if (!camera_) return;
    const CGPoint head = vantrel_ ? vantrel_->position() : level_->spawnPosition();
    const b2Vec2 velocity = player_ ? player_->vantrelWorldVelocity() : b2Vec2(0, 0);
    const float k = 0.2f / camera_->scale();
    const CGPoint target =
        CGPointMake(head.x + k * units::kPointsPerMetre * velocity.x, head.y + k * units::kPointsPerMetre * velocity.y);

    float bottom = 0;
    if (!ignoreCameraBottom_) {
        bottom = cameraBottom_;
        if (level_->hasCameraInfo()) {
            const CGPoint q = head.x * target.x + head.y * target.y > 0 ? target : head;
            bottom = std::min(cameraBottom_, level_->getCameraBottomAtPosition(q) + cameraBottomOffset_);
        }
    }

    const CGPoint c = camera_->position();
    cameraVelocity_.x += dt * (-5.0 * (c.x - target.x) - 30.0 * cameraVelocity_.x);
    cameraVelocity_.y += dt * (-5.0 * (c.y - target.y) - 30.0 * cameraVelocity_.y);
    CGPoint n = CGPointMake(c.x + cameraVelocity_.x, c.y + cameraVelocity_.y);

    const float r = static_cast<float>(ccPointLength(n));
    float h = r;
    if (r < bottom) {
        n = r <= units::kEpsilon ? CGPointMake(0, bottom) : CGPointMake(n.x / r * bottom, n.y / r * bottom);
        h = bottom;
    } else if (r > cameraTop_) {
        n = CGPointMake(n.x / r * cameraTop_, n.y / r * cameraTop_);
        h = cameraTop_;
    }
    cameraTangentAngle_ = static_cast<float>(std::atan2(n.y, n.x)) * units::kDegreesPerRadian - 90.0f;
    cameraZoom_ = std::clamp(cameraZoomMax_ - ((h - cameraZoomBottomHeight_) / cameraZoomHeightRange_) * cameraZoomRange_,
                             cameraZoomMin_, cameraZoomMax_);
    camera_->setPosition(n, cameraTangentAngle_, cameraZoom_);
    camera_->applyInverseTransformToNode(worldHolder_);
}

// ---- Enter and exit ----

void VantrelGameLayer::onEnter() {
    if (audioSystem_) audioSystem_->unduckAudio();
    level_->startAudio();
    allowPause_ = true;
    update(0);
    scheduleUpdate();
    CCLayer::onEnter();
}

void VantrelGameLayer::onExit() {
    GameKitHelper* gameKit = GameKitHelper::sharedInstance();
    if (useGameCenter_ && gameKit->delegate() == this) gameKit->setDelegate(nullptr);
    cleanupNetworkControl();
    cleanupHidJoystickControl();
    CCLayer::onExit();
}

// ---- Frame ----

void VantrelGameLayer::update(float dt) {
    dt = std::min(dt, kMaxFrameTime);
    if (gamePaused_) {
        if (player_) player_->updatePaused(dt);
        return;
    }
    const int ticks = activityTicks_;
    activityTicks_ = ticks - 1;
    if (ticks < 0) {
        activityTicks_ = kActivityTicks;
        SystemActivity::current().keepAwake();
    }
    if (allowGameControls_) {
        handleInput();
        applyInput(true);
        updateGameControls();
    } else {
        autoInput();
        applyInput(false);
    }
    level_->update(dt);
    physicsSystem_->update(dt);
    if (player_) player_->update(dt);
    updateCamera(dt);
    updateTintWorld();
    updateTerrain();
    updateGradientBackground();
    updateSunMoon(dt);
    updateHUD();
}

// ---- Game flow ----

void VantrelGameLayer::onGameStart() {
    if (player_) player_->onGameStart();
    enableGameControls();
    level_->onLevelStart();
    scheduleOnce(ccSelector(&VantrelGameLayer::onEnableContactListenerPostSolve), kPostSolveDelay);
}

void VantrelGameLayer::onEnableContactListenerPostSolve(float) {
    if (gameContactListener_) gameContactListener_->setPostSolveEnabled(true);
}

void VantrelGameLayer::onGameComplete() {
    destroyGameControls();
    VantrelNetworkControl* network = VantrelNetworkControl::sharedInstance();
    network->useEmptyConfiguration();
    network->inMenu();
    if (hud_) {
        hud_->destroyHudMenu();
        hud_->closeGameMenu();
    }
    setCursorHiddenUntilMouseMoves(true);
    hideSunMoon();
    if (level_ && level_->groundInFront() && worldHolder_) {
        worldHolder_->reorderChild(terrainFill_.get(), 0);
        worldHolder_->reorderChild(terrainGround_.get(), 0);
    }
    ignoreCameraBottom_ = true;
    if (level_) level_->onLevelEnding();
}

float VantrelGameLayer::summaryHoneyFraction(float honey, uint32_t referenceHoney) {
    if (referenceHoney == 0) return honey > 0 ? 1.0f : 0.0f;
    return std::clamp(honey / static_cast<float>(referenceHoney), 0.0f, 1.0f);
}

void VantrelGameLayer::onGameSummaryComplete() {
    const float honey = player_ ? player_->hiveHoney() : 0.0f;
    const float fraction = summaryHoneyFraction(honey, level_->referenceHoney());
    if (hud_) hud_->setEndGameMessageForPerc(fraction);
    Levels* levels = Levels::sharedInstance();
    const std::string next = levels->getNextLevelId(level_->levelId());
    if (!next.empty() && !levels->isLevelAvailableAndUnLocked(next) &&
        levels->willLevelBeAvailableAndUnLocked(next, static_cast<uint32_t>(honey)) && hud_) {
        hud_->showEndGameHiveUnlockedMessage();
    }
    // Whatever the player does next, even closing the window, the day is kept.
    saveGameResult();
    if (hud_) hud_->openEndGameMenu();
    VantrelNetworkControl::sharedInstance()->useGameSummaryCompleteConfiguration();
    setCursorHiddenUntilMouseMoves(false);
}

void VantrelGameLayer::onGameQuit() {
    destroyGameControls();
    stopTintWorld();
    level_->onLevelEnd();
    if (audioSystem_) audioSystem_->onGameOver();
    level_->endAudio();
    saveGameResult();
    setCursorHiddenUntilMouseMoves(true);
    VantrelTransitionLayer::sceneTransitionTo(VantrelGlobal::sharedInstance()->nextLevelId().empty()
                                                  ? VantrelTransitionLayer::kMenuClassName
                                                  : kClassName);
}

void VantrelGameLayer::saveGameResult() {
    if (gameResultSaved_) return;
    gameResultSaved_ = true;
    if (player_) player_->updateStats();
    VantrelGlobal* global = VantrelGlobal::sharedInstance();
    Levels* levels = Levels::sharedInstance();
    const std::string& levelId = level_->levelId();
    const std::string next = levels->getNextLevelId(levelId);
    const bool nextWasOpen = !next.empty() && levels->isLevelAvailableAndUnLocked(next);
    const float honey = player_ ? player_->hiveHoney() : 0.0f;
    if (levels->setScore(static_cast<uint32_t>(honey), levelId)) global->setLastLevelHasNewHighScore(true);
    if (!next.empty() && !nextWasOpen && levels->isLevelAvailableAndUnLocked(next)) {
        global->setLastLevelUnlockedNewLevel(true);
        global->setUnlockedLevelId(next);
    }
    if (Rank::sharedInstance()->saveCurrentRank() == 1) global->setLastLevelHasNewRank(true);
    levels->submitGlobalScoreToGameCenter();
}

void VantrelGameLayer::togglePauseGame() {
    if (gamePaused_) resumeGame();
    else pauseGame();
}

void VantrelGameLayer::pauseGame() {
    if (gamePaused_ || !allowPause_) return;
    gamePaused_ = true;
    disableGameControls(true);
    pauseTintWorld();
    pauseAudio();
    if (hud_) hud_->openGameMenu();
    VantrelNetworkControl* network = VantrelNetworkControl::sharedInstance();
    network->inGamePause();
    network->useGamePausedConfiguration();
    setCursorHiddenUntilMouseMoves(false);
}

void VantrelGameLayer::resumeGame() {
    if (!gamePaused_) return;
    gamePaused_ = false;
    setCursorHiddenUntilMouseMoves(true);
    VantrelNetworkControl* network = VantrelNetworkControl::sharedInstance();
    network->inGameUnPause();
    network->useGameConfiguration(gameControlType_);
    if (hud_) hud_->closeGameMenu();
    resumeAudio();
    resumeTintWorld();
    enableGameControls();
}

void VantrelGameLayer::quitGame() { onGameQuit(); }

void VantrelGameLayer::finishGame() {
    if (player_) player_->onGameFinish();
    onGameQuit();
}

void VantrelGameLayer::replayGame() {
    VantrelGlobal* global = VantrelGlobal::sharedInstance();
    global->setNextLevelId(global->lastLevelId());
    onGameQuit();
}

void VantrelGameLayer::setCursorHiddenUntilMouseMoves(bool hidden) {
    if (hidden) CursorHider::current().hideUntilMouseMoves();
    else CursorHider::current().mouseMoved();
}

// ---- World tint ----

void VantrelGameLayer::tintWorld(ccColor3B colour, float fadeTime) {
    stopTintWorld();
    if (!terrainBackgroundNear_) return;
    if (fadeTime > units::kEpsilon) {
        worldTintComplete_ = false;
        // The layer outlives its ring's actions: its teardown stops the tint first.
        worldTintAction_ = CCSequence::actionOne(CCTintTo::actionWithDuration(fadeTime, colour.r, colour.g, colour.b),
                                                 CCCallBlock::actionWithBlock([this] { onTintWorldComplete(); }));
        terrainBackgroundNear_->runAction(worldTintAction_.get());
    } else {
        worldTintComplete_ = true;
        terrainBackgroundNear_->setColor(colour);
        tintWorldNodes(colour);
    }
}

void VantrelGameLayer::pauseTintWorld() {
    if (worldTintAction_ && terrainBackgroundNear_) terrainBackgroundNear_->pauseSchedulerAndActions();
}

void VantrelGameLayer::resumeTintWorld() {
    if (worldTintAction_ && terrainBackgroundNear_) terrainBackgroundNear_->resumeSchedulerAndActions();
}

void VantrelGameLayer::stopTintWorld() {
    if (worldTintAction_) {
        const RefPtr<CCAction> action = std::move(worldTintAction_);
        if (terrainBackgroundNear_) terrainBackgroundNear_->stopAction(action.get());
    }
    worldTintComplete_ = true;
}

void VantrelGameLayer::onTintWorldComplete() {
    stopTintWorld();
    worldTintComplete_ = false;
    updateTintWorld();
    worldTintComplete_ = true;
}

void VantrelGameLayer::updateTintWorld() {
    if (!worldTintComplete_ && terrainBackgroundNear_) tintWorldNodes(terrainBackgroundNear_->color());
}

void VantrelGameLayer::tintWorldNodes(ccColor3B colour) {
    tintNode(terrainBackgroundFar_.get(), colour);
    tintHolderNode(backgroundHolder_, colour);
    if (terrainFill_) {
        const ccColor4B fill = level_->groundFillColour();
        terrainFill_->setColor({static_cast<uint8_t>(colour.r / 255.0 * fill.r),
                                static_cast<uint8_t>(colour.g / 255.0 * fill.g),
                                static_cast<uint8_t>(colour.b / 255.0 * fill.b)});
    }
    tintNode(terrainGround_.get(), colour);
    tintHolderNode(foregroundHolder_, colour);
    tintHolderNode(frontHolder_, colour);
    if (auto* hive = dynamic_cast<HiveProtocol*>(level_->hive())) hive->setTint({255, 255, 255});
}

void VantrelGameLayer::tintNode(CCNode* node, ccColor3B colour) {
    if (auto* coloured = dynamic_cast<CCRGBAProtocol*>(node)) coloured->setColor(colour);
}

void VantrelGameLayer::tintHolderNode(CCNode* holder, ccColor3B colour) {
    if (!holder || !holder->children()) return;
    const CCArray* children = holder->children();
    for (uint64_t i = 0; i < children->count(); ++i) {
        tintBatchNode(static_cast<CCNode*>(children->objectAtIndex(i)), colour);
    }
}

void VantrelGameLayer::tintBatchNode(CCNode* batch, ccColor3B colour) {
    auto* sprites = dynamic_cast<CCSpriteBatchNode*>(batch);
    if (!sprites) {
        // A sprite of its own image, straight in the holder.
        tintNode(batch, colour);
        return;
    }
    const CCArray* descendants = sprites->descendants();
    if (!descendants) return;
    for (uint64_t i = 0; i < descendants->count(); ++i) {
        tintNode(static_cast<CCNode*>(descendants->objectAtIndex(i)), colour);
    }
}

// ---- Contacts ----

void VantrelGameLayer::beginPlayerFlowerContact(GameObject* flower) {
    if (level_) level_->beginPlayerFlowerContact(flower);
}

void VantrelGameLayer::endPlayerFlowerContact(GameObject* flower) {
    if (level_) level_->endPlayerFlowerContact(flower);
}

// ---- Game service ----

void VantrelGameLayer::initGameCenter() {
    useGameCenter_ = ApplicationPreferences::sharedInstance()->useGameCenter();
    canSubmitToGameCenter_ = false;
    if (!useGameCenter_) return;
    GameKitHelper* gameKit = GameKitHelper::sharedInstance();
    gameKit->setDelegate(this);
    if (gameKit->isLocalPlayerAuthenticated()) {
        canSubmitToGameCenter_ = true;
    } else {
        gameKit->authenticateLocalPlayer();
    }
}

void VantrelGameLayer::onLocalPlayerAuthenticationChanged() {
    canSubmitToGameCenter_ = useGameCenter_ && GameKitHelper::sharedInstance()->isLocalPlayerAuthenticated();
}

void VantrelGameLayer::onGameCenterViewPresented(int) { CCDirector::sharedDirector()->pause(); }
void VantrelGameLayer::onLeaderboardViewPresented(int) { CCDirector::sharedDirector()->pause(); }
void VantrelGameLayer::onAchievementsViewPresented(int) { CCDirector::sharedDirector()->pause(); }
void VantrelGameLayer::onGameCenterViewDismissed() { CCDirector::sharedDirector()->resume(); }
void VantrelGameLayer::onLeaderboardViewDismissed() { CCDirector::sharedDirector()->resume(); }
void VantrelGameLayer::onAchievementsViewDismissed() { CCDirector::sharedDirector()->resume(); }
