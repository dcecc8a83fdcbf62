#pragma once

#include <box2d/box2d.h>

#include <array>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "engine/core/ccTypes.h"
#include "game/core/GameObjectList.h"
#include "game/core/LevelCameraRayCast.h"
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
class RestartableParticleSystem;
class VantrelGameLayer;

// The loaded level: planet radii, sky colours, the day clock, the object lists, the camera floor
// and the particle pools. The play scene makes one per game and keeps it for the scene's life;
// everyone else reaches it through currentLevel().
//
// Level info ("<id>.plist"): "id", "name", "is_trailer", "spawn_position", "bg_audio_name",
// "bg_audio_volume", "bg_night_audio_name", "bg_night_audio_volume", "sky_radius",
// "bottom_radius", "ground_radius", "ground_radius_offset", "ground_depth", "ground_repeat",
// "ground_subdivisions", "bgnear_*" and "bgfar_*" ("radius", "height", "radius_offset", "repeat",
// "subdivisions", "ratio"), "ground_in_front", "gravity_magnitude" and "antigravity_magnitude"
// (x 320; 320 when absent), "ground_fill_colour", "ground_fill_subdivisions", "sky_begin_top",
// "sky_begin_bottom", "sky_end_*", "sky_night_*", "night_colour", "sky_background_images"
// ({"count", "scale" or "scale_min" + "scale_max", "images"}), "length_of_day" (seconds),
// "time_image", "ground_image", "bgnear_image", "bgnear_image_lowquality", "bgfar_image",
// "front_texture_atlases", "foreground_texture_atlases", "background_texture_atlases",
// "sky_texture_atlases", "effects_texture_atlas", "particles_info" (pool name -> particle list),
// "geometry_file", "objects_file". Radii are points from the planet centre.
//
// Geometry file: "camera_geometry" and "static_geometry" (entries {"position", "angle" degrees
// counter-clockwise, "sprites" (static only), "fixtures"}), "background_sprites",
// "foreground_sprites", "front_sprites" (sprite entries {"image_name" (empty or "_..." is
// skipped), "position", "scale" or "scale_x" + "scale_y", "rotation"}). Fixtures are PhysicsUtils
// dictionaries with "is_sensor", "sensor_name" ("hive" or "hide") and "is_bee_gate".
// Objects file: {"gameobjects": [instance dictionaries with an integer "type"]}.
//
// A level is refused (null from levelFromFile, false from loadLevelObjects; one log line) when
// its info cannot be read or has no "id", when its radii leave no room (0 < ground < sky, bottom <
// sky; the play scene fits its camera to any window), when its numbers are not finite, when its day is not longer than 0 s, when a ring has subdivisions
// outside 2..32767 or the fill outside 3..32767, or when its objects hold no hive (type 1000).
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
    void loadLevelGeometry() { loadLevelGeometry(levelGeometryFileName_); }
    void loadLevelGeometry(const std::string& fileName);
    void parseLevelCameraGeometry(const Value& geometry);
    void parseLevelGeometry(const Value& geometry);
    void createSprites(const Value& sprites, int layer);
    // False when the level has no hive.
    bool loadLevelObjects() { return loadLevelObjects(levelObjectsFileName_); }
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
    const std::string& levelId() const { return levelId_; }
    const std::string& name() const { return name_; }
    bool isTrailer() const { return isTrailer_; }
    uint32_t referenceHoney() const { return referenceHoney_; }
    int32_t existingHighScore() const { return existingHighScore_; }
    CGPoint spawnPosition() const { return spawnPosition_; }
    const std::string& bgAudioName() const { return bgAudioName_; }
    float bgAudioVolume() const { return bgAudioVolume_; }
    const std::string& bgNightAudioName() const { return bgNightAudioName_; }
    float bgNightAudioVolume() const { return bgNightAudioVolume_; }
    float skyRadius() const { return skyRadius_; }
    float bottomRadius() const { return bottomRadius_; }
    float bottomToSkyRange() const { return bottomToSkyRange_; }
    float groundRadius() const { return groundRadius_; }
    float groundRadiusOffset() const { return groundRadiusOffset_; }
    float groundInnerRadius() const { return groundInnerRadius_; }
    int32_t groundImageRepeat() const { return groundImageRepeat_; }
    int32_t groundSubdivisions() const { return groundSubdivisions_; }
    float groundRadiusWithOffset() const { return groundRadius_ + groundRadiusOffset_; }
    float groundInnerRadiusWithOffset() const { return groundInnerRadius_ + groundRadiusOffset_; }
    float groundFillRadius() const;
    float bgNearInnerRadius() const { return bgNearInnerRadius_; }
    float bgNearOuterRadius() const { return bgNearOuterRadius_; }
    float bgNearRadiusOffset() const { return bgNearRadiusOffset_; }
    float bgNearInnerRadiusWithOffset() const { return bgNearInnerRadius_ + bgNearRadiusOffset_; }
    float bgNearOuterRadiusWithOffset() const { return bgNearOuterRadius_ + bgNearRadiusOffset_; }
    int32_t bgNearImageRepeat() const { return bgNearImageRepeat_; }
    int32_t bgNearSubdivisions() const { return bgNearSubdivisions_; }
    float bgNearRatio() const { return bgNearRatio_; }
    float bgFarInnerRadius() const { return bgFarInnerRadius_; }
    float bgFarOuterRadius() const { return bgFarOuterRadius_; }
    float bgFarRadiusOffset() const { return bgFarRadiusOffset_; }
    float bgFarInnerRadiusWithOffset() const { return bgFarInnerRadius_ + bgFarRadiusOffset_; }
    float bgFarOuterRadiusWithOffset() const { return bgFarOuterRadius_ + bgFarRadiusOffset_; }
    int32_t bgFarImageRepeat() const { return bgFarImageRepeat_; }
    int32_t bgFarSubdivisions() const { return bgFarSubdivisions_; }
    float bgFarRatio() const { return bgFarRatio_; }
    bool groundInFront() const { return groundInFront_; }
    float gravityMagnitude() const { return gravityMagnitude_; }
    float antiGravityMagnitude() const { return antiGravityMagnitude_; }
    ccColor4B groundFillColour() const { return groundFillColour_; }
    int32_t groundFillSubdivisions() const { return groundFillSubdivisions_; }
    ccColor4B skyColourStartTop() const { return skyColourStartTop_; }
    ccColor4B skyColourStartBottom() const { return skyColourStartBottom_; }
    ccColor4B skyColourEndTop() const { return skyColourEndTop_; }
    ccColor4B skyColourEndBottom() const { return skyColourEndBottom_; }
    ccColor4B skyColourNightTop() const { return skyColourNightTop_; }
    ccColor4B skyColourNightBottom() const { return skyColourNightBottom_; }
    ccColor4B nightColour() const { return nightColour_; }
    float autoFlyFlightLevel() const { return autoFlyFlightLevel_; }
    const std::string& timeImageName() const { return timeImageName_; }
    const std::string& groundImageName() const { return groundImageName_; }
    const std::string& bgNearImageName() const { return bgNearImageName_; }
    const std::string& bgNearLowQualityImageName() const { return bgNearLowQualityImageName_; }
    const std::string& bgFarImageName() const { return bgFarImageName_; }
    const std::string& effectsTextureAtlasName() const { return effectsTextureAtlasName_; }
    const std::string& levelGeometryFileName() const { return levelGeometryFileName_; }
    const std::string& levelObjectsFileName() const { return levelObjectsFileName_; }
    bool hasFrontLayer() const { return hasFrontLayer_; }
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
    using ParticlePool = std::array<RefPtr<RestartableParticleSystem>, 3>;

    // Null, with a log line, when the position, scale or rotation is not finite.
    RefPtr<CCSprite> makeLayerSprite(const std::string& imageName, int layer, CGPoint position, float scaleX,
                                     float scaleY, float rotation);
    // Makes the object the level's hive; false (logged) when it is no hive within the sky.
    bool takeHive(GameObject* object);
    // Objects in the lists, projectiles aside.
    size_t filedObjectCount() const;
    ParticlePool addParticleSystem(const std::string& name, int tag);
    // The next system of a pool that prefers systems not attached to a flower or the hive.
    RestartableParticleSystem* nextFreeParticles(ParticlePool& pool, int& index);
    RestartableParticleSystem* nextParticles(ParticlePool& pool, int& index);
    // Points the transfer stream from the bee's mouth at the hive (straight down when closer
    // than 50 points).
    void aimTransferStream(CCParticleSystem* stream);
    // Current sky colours from a blend; the night colours, the day colour at fraction f.
    void blendSkyColours(ccColor4B fromTop, ccColor4B fromBottom, const int16_t rangeTop[3],
                         const int16_t rangeBottom[3], float fraction);

    // The running play scene and its physics, not retained; null without a scene.
    VantrelGameLayer* gameLayer_ = nullptr;
    b2World* world_ = nullptr;
    b2Body* groundBody_ = nullptr;
    GameContactListener* gameContactListener_ = nullptr;
    Player* player_ = nullptr;

    std::string levelId_;
    std::string name_;
    bool isTrailer_ = false;
    uint32_t referenceHoney_ = 0;
    int32_t existingHighScore_ = 0;
    CGPoint spawnPosition_ = CGPointZero;
    std::string bgAudioName_;
    float bgAudioVolume_ = 0;
    std::string bgNightAudioName_;
    float bgNightAudioVolume_ = 0;
    float skyRadius_ = 0;           // points from the centre
    float bottomRadius_ = 0;
    float bottomToSkyRange_ = 0;
    float groundRadius_ = 0;
    float groundRadiusOffset_ = 0;
    float groundInnerRadius_ = 0;
    int32_t groundImageRepeat_ = 0;
    int32_t groundSubdivisions_ = 0;
    float bgNearInnerRadius_ = 0;
    float bgNearOuterRadius_ = 0;
    float bgNearRadiusOffset_ = 0;
    int32_t bgNearImageRepeat_ = 0;
    int32_t bgNearSubdivisions_ = 0;
    float bgNearRatio_ = 0;
    float bgFarInnerRadius_ = 0;
    float bgFarOuterRadius_ = 0;
    float bgFarRadiusOffset_ = 0;
    int32_t bgFarImageRepeat_ = 0;
    int32_t bgFarSubdivisions_ = 0;
    float bgFarRatio_ = 0;
    bool groundInFront_ = false;
    float gravityMagnitude_ = 320;      // points per second squared
    float antiGravityMagnitude_ = 320;
    ccColor4B groundFillColour_{0, 0, 0, 255};
    int32_t groundFillSubdivisions_ = 0;
    ccColor4B skyColourStartTop_{0, 0, 0, 255};
    ccColor4B skyColourStartBottom_{0, 0, 0, 255};
    ccColor4B skyColourEndTop_{0, 0, 0, 255};
    ccColor4B skyColourEndBottom_{0, 0, 0, 255};
    ccColor4B skyColourNightTop_{0, 0, 0, 255};
    ccColor4B skyColourNightBottom_{0, 0, 0, 255};
    ccColor4B nightColour_{0, 0, 0, 255};
    int16_t skyColourRangeTop_[3] = {};        // end - start, per channel
    int16_t skyColourRangeBottom_[3] = {};
    int16_t skyColourNightRangeTop_[3] = {};   // night - end
    int16_t skyColourNightRangeBottom_[3] = {};
    Value skyBackgroundData_;
    float autoFlyFlightLevel_ = 0;
    std::string timeImageName_;
    std::string groundImageName_;
    std::string bgNearImageName_;
    std::string bgNearLowQualityImageName_;
    std::string bgFarImageName_;
    Value frontTextureAtlases_;
    Value foregroundTextureAtlases_;
    Value backgroundTextureAtlases_;
    Value skyTextureAtlases_;
    std::string effectsTextureAtlasName_;
    Value particlesInfo_;
    std::string levelGeometryFileName_;
    std::string levelObjectsFileName_;
    bool hasFrontLayer_ = false;
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

    // Effects and particles.
    RefPtr<CCTexture2D> effectsTexture_;
    RefPtr<CCSpriteBatchNode> effectsBatchNode_;
    ParticlePool particlesFlowerLoseNectar_;
    ParticlePool particlesVantrelCollectNectar_;
    ParticlePool particlesVantrelTransferNectar_;
    ParticlePool particlesVantrelLoseNectar_;
    ParticlePool particlesBonus_;
    int particlesFlowerLoseNectarIndex_ = 3;
    int particlesVantrelCollectNectarIndex_ = 3;
    int particlesVantrelTransferNectarIndex_ = 3;
    int particlesVantrelLoseNectarIndex_ = 3;
    int particlesBonusIndex_ = 3;

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
