#pragma once

#include <box2d/box2d.h>

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "engine/core/ccTypes.h"
#include "game/core/GameObjectList.h"
#include "game/core/LevelCameraRayCast.h"
#include "game/core/LevelInfo.h"
#include "game/core/ParticlePool.h"
#include "platform/foundation/Geometry.h"
#include "platform/foundation/Object.h"
#include "platform/foundation/Value.h"

class CCNode;
class CCParticleSystem;
class CCSprite;
class CCSpriteBatchNode;
class CCTexture2D;
class GameContactListener;
class Player;
class VantrelGameLayer;

// The loaded level: planet radii, sky colours, the day clock, the object lists, the camera floor
// and the particle pools. The play scene makes one per game and keeps it for the scene's life;
// everyone else reaches it through currentLevel().
//
// Level info: see LevelInfo (parseLevelInfo reads and checks it).
//
// Geometry file: "camera_geometry" and "static_geometry" (entries {"position", "angle" degrees
// counter-clockwise, "sprites" (static only), "fixtures"}), "background_sprites",
// "foreground_sprites", "front_sprites" (sprite entries {"image_name" (empty or "_..." is
// skipped), "position", "scale" or "scale_x" + "scale_y", "rotation"}). Fixtures are PhysicsUtils
// dictionaries with "is_sensor", "sensor_name" ("hive" or "hide") and "is_bee_gate".
// Objects file: {"gameobjects": [instance dictionaries with an integer "type"]}.
//
// A level is refused (null from levelFromFile, false from loadLevelObjects; one log line) when
// its info cannot be read or is refused by parseLevelInfo, or when its objects hold no hive
// (type 1000).
// Optional entries that are broken (sky images, frames, images, particle lists, fixtures) are
// skipped with a log line.
//
// Sprite layers: 1 sky, 2 background, 3 foreground, 4 front, drawn into the play scene's holders.
// Engine thread only.
class Level : public Object {
public:
    static constexpr int kSpriteLayerSky = 1;
    static constexpr int kSpriteLayerBackground = 2;
    static constexpr int kSpriteLayerForeground = 3;
    static constexpr int kSpriteLayerFront = 4;
    static constexpr size_t kMaxProjectiles = 20;
    // Objects filed while the objects file is read (a structure's parts included); the instances
    // beyond are refused with one log line.
    static constexpr size_t kMaxLevelObjects = 1000;
    static constexpr int kHiveType = 1000;
    static constexpr int kBuddyPickupType = 109;
    // Day clock states.
    static constexpr int kTimeDawn = 0;
    static constexpr int kTimeDay = 1;
    static constexpr int kTimeDusk = 2;
    static constexpr int kTimeNight = 3;
    // emitParticles kinds.
    static constexpr int kParticlesLoseNectar = 3;
    static constexpr int kParticlesBonus = 5;

    // The level being played, or null.
    static Level* currentLevel();

    // A level read from its info file (a resource name), or null when it is refused.
    static RefPtr<Level> levelFromFile(const std::string& fileName);

    // Whether a resource of that name exists, and its image through the texture cache (null,
    // with a log line, when there is no such file; no GL is touched then).
    static bool resourceExists(const std::string& name);
    static RefPtr<CCTexture2D> textureNamed(const std::string& name);

    Level() = default;
    // Becomes the current level, sets up the object factory, takes the running play scene's
    // physics (none without a scene) and reads the info file; false when refused.
    bool initFromFile(const std::string& fileName);
    bool loadLevel(const std::string& fileName);

    // Building, in the order the play scene calls them.
    void loadTextureAtlases();
    void loadTextureAtlases(int layer);
    void createSkyBackground() { addSkyBackground(true); }
    void createSkyBackgroundEndOfDay() { addSkyBackground(false); }
    void addSkyBackground(bool fullSky);
    void createEffects();
    void createEffectsAnimations();
    void createParticles();
    void createPlanetGeometry() {}
    void loadLevelGeometry() { loadLevelGeometry(info_.levelGeometryFileName); }
    void loadLevelGeometry(const std::string& fileName);
    void parseLevelCameraGeometry(const Value& geometry);
    void parseLevelGeometry(const Value& geometry);
    void createSprites(const Value& sprites, int layer);
    // False when the level has no hive.
    bool loadLevelObjects() { return loadLevelObjects(info_.levelObjectsFileName); }
    bool loadLevelObjects(const std::string& fileName);
    // Builds and files the instances in order, up to kMaxLevelObjects filed objects. The first
    // hive (type 1000) within the sky is the level's; later ones and one outside the sky, or not
    // in a place in float, are refused with a log line.
    bool parseLevelObjects(const Value& objects);

    // The play scene's holder of a sprite layer, or null.
    CCNode* getSpriteLayerNode(int layer) const;
    const Value& getTextureAtlasNamesArray(int layer) const;
    // The first batch node among the layer holder's children drawing with the texture, or null.
    CCSpriteBatchNode* getSpriteBatchNodeForTexture(const CCTexture2D* texture, int layer) const;

    // Plays the effect's cached animation once on a new sprite in the effects batch node, which
    // removes itself at the end; null when the effect or its texture is missing. An unknown name
    // logs one line the first time this level is asked for it.
    CCSprite* showEffect(const std::string& name, CGPoint position, float rotation, float scale);
    CCSprite* showEffect(const std::string& name, CGPoint position, float rotation, float scale, CGPoint anchorPoint);

    // Particle pools: three systems each, reused in turn; null when the pool's list was unreadable.
    RestartableParticleSystem* nextFlowerLoseNectarParticles();
    RestartableParticleSystem* nextVantrelCollectNectarParticles();
    RestartableParticleSystem* nextVantrelTransferNectarParticles();
    RestartableParticleSystem* nextVantrelLoseNectarParticles();
    RestartableParticleSystem* nextBonusParticles();
    // kParticlesBonus bursts at the point; kParticlesLoseNectar sheds from the player; others nothing.
    void emitParticles(int kind, CGPoint position);

    // The nectar streams of the bee's contacts, taken from the pools (a system's userData names
    // the flower or hive that holds it): droplets from a flower into the bee's mouth and the
    // flower's own bits falling to the ground while it drinks (active: nectar flows), droplets
    // from the mouth into the hive while it pours. Ending lets the streams go; a second end does
    // nothing. The begins count the player's flower and hive visits.
    void beginPlayerFlowerContact(GameObject* flower);
    void updatePlayerFlowerContact(GameObject* flower, bool active);
    void endPlayerFlowerContact(GameObject* flower);
    void beginPlayerHiveContact(bool transferring);
    void updatePlayerHiveContact(bool transferring);
    void endPlayerHiveContact();

    // The frame: the day clock, the vision contacts, then priority-2 objects, flowers, enemies.
    void update(float dt);
    void updateDay(float dt);
    void setLengthOfDay(float seconds);
    // Stretches (or shrinks) the day by `seconds`, at most 30 s per second of play.
    void changeLengthOfDay(float seconds);
    void onDayIsOver();

    // Object lists. Priority 0 objects (and null) are not filed.
    void addGameObject(GameObject* object);
    void removeGameObject(GameObject* object);
    void addDestructable(GameObject* object) { addGameObject(object); }
    void removeDestructable(GameObject* object) { removeGameObject(object); }
    void addFlower(GameObject* flower) { flowers_.append(RefPtr<GameObject>(flower)); }
    void addPickup(GameObject* pickup) { pickups_.append(RefPtr<GameObject>(pickup)); }
    void addEnemy(GameObject* enemy) { enemies_.append(RefPtr<GameObject>(enemy)); }
    // At most kMaxProjectiles: the oldest is taken out of the list, then destroyed.
    void addProjectile(GameObject* projectile);
    void removeFlower(GameObject* flower) { flowers_.remove(flower); }
    void removePickup(GameObject* pickup) { pickups_.remove(pickup); }
    void removeEnemy(GameObject* enemy) { enemies_.remove(enemy); }
    void removeProjectile(GameObject* projectile) { projectiles_.remove(projectile); }
    GameObjectList& flowers() { return flowers_; }
    GameObjectList& pickups() { return pickups_; }
    GameObjectList& enemies() { return enemies_; }
    GameObjectList& projectiles() { return projectiles_; }
    GameObjectList& gameObjectsPriorityHigh() { return gameObjectsPriorityHigh_; }
    GameObjectList& gameObjectsPriorityNone() { return gameObjectsPriorityNone_; }
    uint32_t flowersVisited() const;
    uint32_t totalFlowers() const { return static_cast<uint32_t>(flowers_.count()); }

    // The camera floor's distance from the centre towards the point (points); the ground radius
    // without camera geometry or for the centre itself.
    float getCameraBottomAtPosition(CGPoint position);
    // 0 at the bottom radius, 1 at the sky radius, not clamped.
    float percOfAllowedLimitsAtPosition(CGPoint position) const;
    // The night flight home; (0, 0) by day, without a player or a hive. Near the hive it pulls
    // the bee into the hive's sensor (the first static fixture named "hive"), or to the hive's
    // position in a level without one.
    CGPoint playerAutoAcceleration();

    void onLevelStart();
    void onLevelEnding();
    void onLevelEnd() {}
    void startAudio();
    void endAudio();
    void playBackgroundAudio();
    void playBackgroundNightAudio();
    void stopBackgroundAudio();

    void setPlayer(Player* player) { player_ = player; }  // not retained
    Player* player() const { return player_; }

    // Level info.
    const std::string& levelId() const { return info_.levelId; }
    const std::string& name() const { return info_.name; }
    bool isTrailer() const { return info_.isTrailer; }
    uint32_t referenceHoney() const { return referenceHoney_; }
    int32_t existingHighScore() const { return existingHighScore_; }
    CGPoint spawnPosition() const { return info_.spawnPosition; }
    const std::string& bgAudioName() const { return info_.bgAudioName; }
    float bgAudioVolume() const { return info_.bgAudioVolume; }
    const std::string& bgNightAudioName() const { return info_.bgNightAudioName; }
    float bgNightAudioVolume() const { return info_.bgNightAudioVolume; }
    float skyRadius() const { return info_.skyRadius; }
    float bottomRadius() const { return info_.bottomRadius; }
    float bottomToSkyRange() const { return info_.bottomToSkyRange; }
    float groundRadius() const { return info_.groundRadius; }
    float groundRadiusOffset() const { return info_.groundRadiusOffset; }
    float groundInnerRadius() const { return info_.groundInnerRadius; }
    int32_t groundImageRepeat() const { return info_.groundImageRepeat; }
    int32_t groundSubdivisions() const { return info_.groundSubdivisions; }
    float groundRadiusWithOffset() const { return info_.groundRadius + info_.groundRadiusOffset; }
    float groundInnerRadiusWithOffset() const { return info_.groundInnerRadius + info_.groundRadiusOffset; }
    float groundFillRadius() const;
    float bgNearInnerRadius() const { return info_.bgNear.innerRadius; }
    float bgNearOuterRadius() const { return info_.bgNear.outerRadius; }
    float bgNearRadiusOffset() const { return info_.bgNear.radiusOffset; }
    float bgNearInnerRadiusWithOffset() const { return info_.bgNear.innerRadius + info_.bgNear.radiusOffset; }
    float bgNearOuterRadiusWithOffset() const { return info_.bgNear.outerRadius + info_.bgNear.radiusOffset; }
    int32_t bgNearImageRepeat() const { return info_.bgNear.imageRepeat; }
    int32_t bgNearSubdivisions() const { return info_.bgNear.subdivisions; }
    float bgNearRatio() const { return info_.bgNear.ratio; }
    float bgFarInnerRadius() const { return info_.bgFar.innerRadius; }
    float bgFarOuterRadius() const { return info_.bgFar.outerRadius; }
    float bgFarRadiusOffset() const { return info_.bgFar.radiusOffset; }
    float bgFarInnerRadiusWithOffset() const { return info_.bgFar.innerRadius + info_.bgFar.radiusOffset; }
    float bgFarOuterRadiusWithOffset() const { return info_.bgFar.outerRadius + info_.bgFar.radiusOffset; }
    int32_t bgFarImageRepeat() const { return info_.bgFar.imageRepeat; }
    int32_t bgFarSubdivisions() const { return info_.bgFar.subdivisions; }
    float bgFarRatio() const { return info_.bgFar.ratio; }
    bool groundInFront() const { return info_.groundInFront; }
    float gravityMagnitude() const { return info_.gravityMagnitude; }
    float antiGravityMagnitude() const { return info_.antiGravityMagnitude; }
    ccColor4B groundFillColour() const { return info_.groundFillColour; }
    int32_t groundFillSubdivisions() const { return info_.groundFillSubdivisions; }
    ccColor4B skyColourStartTop() const { return info_.skyColourStartTop; }
    ccColor4B skyColourStartBottom() const { return info_.skyColourStartBottom; }
    ccColor4B skyColourEndTop() const { return info_.skyColourEndTop; }
    ccColor4B skyColourEndBottom() const { return info_.skyColourEndBottom; }
    ccColor4B skyColourNightTop() const { return info_.skyColourNightTop; }
    ccColor4B skyColourNightBottom() const { return info_.skyColourNightBottom; }
    ccColor4B nightColour() const { return info_.nightColour; }
    float autoFlyFlightLevel() const { return info_.autoFlyFlightLevel; }
    const std::string& timeImageName() const { return info_.timeImageName; }
    const std::string& groundImageName() const { return info_.groundImageName; }
    const std::string& bgNearImageName() const { return info_.bgNearImageName; }
    const std::string& bgNearLowQualityImageName() const { return info_.bgNearLowQualityImageName; }
    const std::string& bgFarImageName() const { return info_.bgFarImageName; }
    const std::string& effectsTextureAtlasName() const { return info_.effectsTextureAtlasName; }
    const std::string& levelGeometryFileName() const { return info_.levelGeometryFileName; }
    const std::string& levelObjectsFileName() const { return info_.levelObjectsFileName; }
    bool hasFrontLayer() const { return hasFrontLayer_; }
    // Pictures of the geometry file and the sky background that were refused, each with its log
    // line, since the level was made.
    size_t picturesLeftOut() const { return picturesLeftOut_; }
    bool hasCameraInfo() const { return hasCameraInfo_; }
    // A point inside the hive's sensor, world points; only when the geometry has one.
    bool hasHiveSensor() const { return hasHiveSensor_; }
    CGPoint hiveSensorPosition() const { return hiveSensorPosition_; }

    // Day clock.
    int timeState() const { return timeState_; }
    bool isDay() const { return timeState_ == kTimeDawn || timeState_ == kTimeDay; }
    bool isNight() const { return !isDay(); }
    float lengthOfDay() const { return lengthOfDay_; }
    float currentTimeOfDay() const { return currentTimeOfDay_; }
    float currentTimeOfDayPerc() const { return currentTimeOfDayPerc_; }
    float currentTimeOfNight() const { return currentTimeOfNight_; }
    float currentTimeOfNightPerc() const { return currentTimeOfNightPerc_; }
    float dayTimeRemaining() const { return dayTimeRemaining_; }
    float lastDayTimeRemaining() const { return lastDayTimeRemaining_; }
    bool isDayLengthChanging() const { return isDayLengthChanging_; }
    float lengthOfDayExtension() const { return lengthOfDayExtension_; }
    ccColor3B skyColourCurrentTop() const { return skyColourCurrentTop_; }
    ccColor3B skyColourCurrentBottom() const { return skyColourCurrentBottom_; }
    bool skyColourRequiresUpdate() const { return skyColourRequiresUpdate_; }

    int32_t totalBuddies() const { return totalBuddies_; }
    void setTotalBuddies(int32_t buddies) { totalBuddies_ = buddies; }
    // The hive (type 1000), not retained; null until the objects are built.
    GameObject* hive() const { return hive_; }
    float hiveAngleRads() const { return hiveAngleRads_; }
    float hiveVisionConeLeftAngleRads() const { return hiveVisionConeLeftAngleRads_; }
    float hiveVisionConeRightAngleRads() const { return hiveVisionConeRightAngleRads_; }

protected:
    ~Level() override;

private:
    // The point scaled to length 1; (0, 0) for a point too short to have a direction.
    static CGPoint unitVector(CGPoint p);
    // The property list of a resource, or none (logged, naming `what` it is) when it is missing or
    // unreadable.
    static Value readResource(const std::string& name, const char* what);
    // Null, with a log line, when the position, scale or rotation is not finite.
    RefPtr<CCSprite> makeLayerSprite(const std::string& imageName, int layer, CGPoint position, float scaleX,
                                     float scaleY, float rotation);
    // Makes the object the level's hive; false (logged) when it is no hive within the sky.
    bool takeHive(GameObject* object);
    // The top of the hive's honey, world points; (0, 0) without a hive.
    CGPoint hivePosition() const;
    // Objects in the lists, projectiles aside.
    size_t filedObjectCount() const;
    // The pool of the particle list that "particles_info" names for `name`, in the play scene's
    // particle holders; an empty pool, with a log line, without a readable list.
    ParticlePool addParticleSystem(const std::string& name, int tag);
    // Towards the planet's centre from the point, `strength` points per second squared.
    static CGPoint centreWard(CGPoint from, float strength);
    // Stops the stream emitting; the droplets in flight fall towards the centre at `strength`.
    static void letFall(CCParticleSystem* stream, float strength);
    // Points the transfer stream from the bee's mouth at the hive (straight down when closer
    // than 50 points).
    void aimTransferStream(CCParticleSystem* stream);
    // The clock at dawn of a fresh day, its sky colour ranges taken from the info.
    void startDayClock();
    // Current sky colours from a blend; the night colours, the day colour at fraction f.
    void blendSkyColours(ccColor4B fromTop, ccColor4B fromBottom, const int16_t rangeTop[3],
                         const int16_t rangeBottom[3], float fraction);

    // The running play scene and its physics, not retained; null without a scene.
    VantrelGameLayer* gameLayer_ = nullptr;
    b2World* world_ = nullptr;
    b2Body* groundBody_ = nullptr;
    GameContactListener* gameContactListener_ = nullptr;
    Player* player_ = nullptr;

    LevelInfo info_;
    uint32_t referenceHoney_ = 0;
    int32_t existingHighScore_ = 0;
    bool hasFrontLayer_ = false;
    size_t picturesLeftOut_ = 0;
    std::set<std::string> reportedEffects_;  // unknown effect names already logged
    bool hasHiveSensor_ = false;
    CGPoint hiveSensorPosition_ = CGPointZero;  // world points

    // Day clock.
    int timeState_ = kTimeDawn;
    float lengthOfDay_ = 0;
    float currentTimeOfDay_ = 0;
    float currentTimeOfDayPerc_ = 0;
    float currentTimeOfNight_ = 0;
    float currentTimeOfNightPerc_ = 0;
    float dayTimeRemaining_ = 0;
    float lastDayTimeRemaining_ = 0;
    bool isDayLengthChanging_ = false;
    float lengthOfDayExtension_ = 0;   // still to be applied, seconds, signed
    ccColor3B skyColourCurrentTop_{0, 0, 0};
    ccColor3B skyColourCurrentBottom_{0, 0, 0};
    ccColor3B skyColourPreviousTop_{0, 0, 0};
    ccColor3B skyColourPreviousBottom_{0, 0, 0};
    bool skyColourRequiresUpdate_ = true;
    int16_t skyColourRangeTop_[3] = {};        // end - start, per channel
    int16_t skyColourRangeBottom_[3] = {};
    int16_t skyColourNightRangeTop_[3] = {};   // night - end
    int16_t skyColourNightRangeBottom_[3] = {};

    // Effects and particles.
    RefPtr<CCTexture2D> effectsTexture_;
    RefPtr<CCSpriteBatchNode> effectsBatchNode_;
    ParticlePool particlesFlowerLoseNectar_;
    ParticlePool particlesVantrelCollectNectar_;
    ParticlePool particlesVantrelTransferNectar_;
    ParticlePool particlesVantrelLoseNectar_;
    ParticlePool particlesBonus_;

    // Camera floor: a world of its own that is only ray cast.
    LevelCameraRayCast cameraRayCast_;
    bool hasCameraInfo_ = false;
    std::unique_ptr<b2World> cameraWorld_;
    b2Body* cameraBody_ = nullptr;

    GameObjectList flowers_;
    GameObjectList pickups_;
    GameObjectList enemies_;
    GameObjectList projectiles_;
    GameObjectList gameObjectsPriorityHigh_;
    GameObjectList gameObjectsPriorityNone_;
    int32_t totalBuddies_ = 0;
    GameObject* hive_ = nullptr;  // not retained: the lists hold it
    float hiveAngleRads_ = 0;
    float hiveVisionConeLeftAngleRads_ = 0;
    float hiveVisionConeRightAngleRads_ = 0;
    bool factorySetUp_ = false;
};
