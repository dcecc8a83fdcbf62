#include "game/core/Level.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "audio/VantrelAudio.h"
#include "engine/actions/composite/CCSequence.h"
#include "engine/actions/instant/CCCallBlockN.h"
#include "engine/actions/interval/CCAnimate.h"
#include "engine/core/CCTextureAtlas.h"
#include "engine/core/CCTextureCache.h"
#include "engine/core/support/CCArray.h"
#include "engine/core/support/CCFileUtils.h"
#include "engine/core/support/ccPointMath.h"
#include "engine/render/CCAnimationCache.h"
#include "engine/render/CCParticleBatchNode.h"
#include "engine/render/CCSprite.h"
#include "engine/render/CCSpriteBatchNode.h"
#include "engine/render/CCSpriteFrameCache.h"
#include "game/core/AnimationUtils.h"
#include "game/core/AntiGravityController.h"
#include "game/core/ColourUtils.h"
#include "game/core/EnemyProtocol.h"
#include "game/core/FlowerProtocol.h"
#include "game/core/GameContactListener.h"
#include "game/core/GameObjectFactory.h"
#include "game/core/GameSensor.h"
#include "game/core/GravityController.h"
#include "game/core/HiveProtocol.h"
#include "game/core/Levels.h"
#include "game/core/PhysicsSystem.h"
#include "game/core/PhysicsUtils.h"
#include "game/core/Player.h"
#include "game/core/ProjectileProtocol.h"
#include "game/core/RestartableParticleSystem.h"
#include "game/core/VantrelGameLayer.h"
#include "game/objects/Flower.h"
#include "game/objects/Hive.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Random.h"
#include "platform/foundation/StringUtils.h"

namespace {

Level* currentLevelInstance = nullptr;  // not retained

constexpr float kEpsilon = 1.1920929e-07f;
constexpr float kPointsPerMetre = 32.0f;
constexpr float kRadiansPerDegree = 0.017453292f;
constexpr float kPi = 3.14159265358979f;
constexpr float kTwoPi = 2 * kPi;
constexpr float kDawnSeconds = 5.0f;
constexpr float kDayLengthChangePerSecond = 30.0f;
constexpr int32_t kMaxSubdivisions = 32767;
constexpr int kMaxSkyImages = 1000;  // sprites of one sky background
constexpr float kHiveWindowHalfWidth = 750.0f;  // points along the hive's tangent
constexpr const char* kSharedEffectsFileName = "shared_effects_data.plist";

// The full path of a resource, or empty when no such file exists.
std::string resourcePath(const std::string& name) {
    if (name.empty()) return {};
    const std::string path = CCFileUtils::sharedFileUtils()->fullPathFromRelativePath(name);
    std::error_code error;
    return std::filesystem::is_regular_file(path, error) ? path : std::string();
}

// The property list of a resource, or none (logged) when it is missing or unreadable.
Value readResource(const std::string& name, const char* what) {
    const std::string path = resourcePath(name);
    if (path.empty()) {
        logLine("Level: no %s \"%s\"", what, name.c_str());
        return {};
    }
    std::string error;
    std::optional<Value> value = Value::fromFile(path, &error);
    if (!value) {
        logLine("Level: cannot read the %s \"%s\": %s", what, name.c_str(), error.c_str());
        return {};
    }
    return std::move(*value);
}

// A sprite sheet's frames into the shared cache; false (logged) when the sheet is missing.
bool loadSpriteSheet(const std::string& name) {
    if (resourcePath(name).empty()) {
        logLine("Level: no sprite sheet \"%s\"; skipped", name.c_str());
        return false;
    }
    CCSpriteFrameCache::sharedSpriteFrameCache()->addSpriteFramesWithFile(name);
    return true;
}

std::string pngNameOf(const std::string& sheet) { return stringByAppendingPathExtension(stringByDeletingPathExtension(sheet), "png"); }

uint8_t toByte(float value) { return static_cast<uint8_t>(static_cast<int>(value)); }

ccColor4B colourOf(const Value& value) { return ColourUtils::ccColor4BFromString(value.stringValue()); }

void colourRange(ccColor4B to, ccColor4B from, int16_t range[3]) {
    range[0] = static_cast<int16_t>(to.r - from.r);
    range[1] = static_cast<int16_t>(to.g - from.g);
    range[2] = static_cast<int16_t>(to.b - from.b);
}

// start + range x f per channel, single precision, truncated.
ccColor3B blendRange(ccColor4B start, const int16_t range[3], float f) {
    return {toByte(start.r + range[0] * f), toByte(start.g + range[1] * f), toByte(start.b + range[2] * f)};
}

// a x d + b x (1 - d) per channel.
ccColor3B mix(ccColor3B a, ccColor4B b, float d) {
    return {toByte(a.r * d + b.r * (1 - d)), toByte(a.g * d + b.g * (1 - d)), toByte(a.b * d + b.b * (1 - d))};
}

ccColor3B rgbOf(ccColor4B colour) { return {colour.r, colour.g, colour.b}; }

// The entry's transform into `*transform`, null when it is the identity; false (logged) when its
// position or angle is not a number, so that its fixtures are skipped.
bool entryTransform(const Value& entry, b2Transform* storage, const b2Transform** transform) {
    const CGPoint position = CGPointFromString(entry["position"].stringValue());
    const float x = static_cast<float>(position.x) / kPointsPerMetre;
    const float y = static_cast<float>(position.y) / kPointsPerMetre;
    const float angle = entry["angle"].floatValue() * kRadiansPerDegree;
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(angle)) {
        logLine("Level: a geometry entry at \"%s\" turned %g degrees is no place; its fixtures are skipped",
                entry["position"].stringValue().c_str(), entry["angle"].floatValue());
        return false;
    }
    *transform = nullptr;
    if (std::fabs(x) <= kEpsilon && std::fabs(y) <= kEpsilon && std::fabs(angle) <= kEpsilon) return true;
    storage->Set(b2Vec2(x, y), angle);
    *transform = storage;
    return true;
}

// Whether a sprite entry names something to show.
bool isShownImageName(const std::string& name) { return !name.empty() && name[0] != '_'; }

// The sprite entry's scale: "scale" for both axes, else "scale_x" with "scale_y", else 1.
void spriteScale(const Value& entry, float* scaleX, float* scaleY) {
    if (!entry["scale"].isNone()) {
        *scaleX = *scaleY = entry["scale"].floatValue();
    } else if (!entry["scale_x"].isNone() && !entry["scale_y"].isNone()) {
        *scaleX = entry["scale_x"].floatValue();
        *scaleY = entry["scale_y"].floatValue();
    } else {
        *scaleX = *scaleY = 1;
    }
}

// Whether a sprite can be placed so: every number finite, the position in float too.
bool isFinitePlacement(CGPoint position, float scaleX, float scaleY, float rotation) {
    return std::isfinite(static_cast<float>(position.x)) && std::isfinite(static_cast<float>(position.y)) &&
           std::isfinite(scaleX) && std::isfinite(scaleY) && std::isfinite(rotation);
}

// The point scaled to length 1; (0, 0) for a point too short to have a direction.
CGPoint unitVector(CGPoint p) {
    const double length = ccPointLength(p);
    return length > kEpsilon ? CGPoint{p.x / length, p.y / length} : CGPointZero;
}

// A point inside the fixture, world points: the centroid of a shape with an area, else the middle
// of its bounds (an edge's midpoint).
CGPoint pointInside(const b2Fixture* fixture) {
    const b2Shape* shape = fixture->GetShape();
    b2MassData mass;
    shape->ComputeMass(&mass, 1.0f);
    b2Vec2 local = mass.center;
    if (!(mass.mass > 0)) {
        b2Transform identity;
        identity.SetIdentity();
        b2AABB bounds;
        shape->ComputeAABB(&bounds, identity, 0);
        for (int32 child = 1; child < shape->GetChildCount(); ++child) {
            b2AABB more;
            shape->ComputeAABB(&more, identity, child);
            bounds.Combine(more);
        }
        local = bounds.GetCenter();
    }
    const b2Vec2 world = fixture->GetBody()->GetWorldPoint(local);
    return CGPoint{world.x * kPointsPerMetre, world.y * kPointsPerMetre};
}

CGPoint hivePositionOf(GameObject* hive) {
    const HiveProtocol* protocol = dynamic_cast<HiveProtocol*>(hive);
    return protocol ? protocol->position() : CGPointZero;
}

}  // namespace

Level* Level::currentLevel() { return currentLevelInstance; }

bool Level::resourceExists(const std::string& name) { return !resourcePath(name).empty(); }

RefPtr<CCTexture2D> Level::textureNamed(const std::string& name) {
    if (!resourceExists(name)) {
        logLine("Level: no image \"%s\"; skipped", name.c_str());
        return nullptr;
    }
    return CCTextureCache::sharedTextureCache()->addImage(name);
}

RefPtr<Level> Level::levelFromFile(const std::string& fileName) {
    RefPtr<Level> level = makeRef<Level>();
    if (!level->initFromFile(fileName)) return nullptr;
    return level;
}

Level::~Level() {
    for (ParticlePool* pool : {&particlesFlowerLoseNectar_, &particlesVantrelCollectNectar_,
                               &particlesVantrelTransferNectar_, &particlesVantrelLoseNectar_, &particlesBonus_}) {
        for (const RefPtr<RestartableParticleSystem>& system : *pool) {
            if (system) system->cleanup();
        }
    }
    flowers_.clear();
    pickups_.clear();
    enemies_.clear();
    projectiles_.clear();
    gameObjectsPriorityHigh_.clear();
    gameObjectsPriorityNone_.clear();
    cameraBody_ = nullptr;
    cameraWorld_.reset();
    if (factorySetUp_) GameObjectFactory::cleanupFactory();
    if (currentLevelInstance == this) currentLevelInstance = nullptr;
}

bool Level::initFromFile(const std::string& fileName) {
    currentLevelInstance = this;
    GameObjectFactory::setupFactory();
    factorySetUp_ = true;
    gameLayer_ = VantrelGameLayer::currentGameLayer();
    if (gameLayer_ && gameLayer_->physicsSystem()) {
        world_ = gameLayer_->physicsSystem()->getWorld();
        groundBody_ = gameLayer_->physicsSystem()->getGroundBody();
    }
    gameContactListener_ = gameLayer_ ? gameLayer_->gameContactListener() : nullptr;
    cameraWorld_.reset();
    cameraBody_ = nullptr;
    hasCameraInfo_ = false;
    return loadLevel(fileName);
}

bool Level::loadLevel(const std::string& fileName) {
    const Value info = readResource(fileName, "level info");
    if (!info.isDictionary()) {
        logLine("Level: \"%s\" is refused: it holds no level info", fileName.c_str());
        return false;
    }
    levelId_ = info["id"].stringValue();
    if (!info["id"].isString() || levelId_.empty()) {
        logLine("Level: \"%s\" is refused: it has no \"id\"", fileName.c_str());
        return false;
    }
    name_ = info["name"].stringValue();
    isTrailer_ = info["is_trailer"].boolValue();
    Levels* levels = Levels::sharedInstance();
    referenceHoney_ = levels->getReferenceScoreForLevelId(levelId_, isTrailer_);
    existingHighScore_ = static_cast<int32_t>(levels->getScoreForLevelId(levelId_));
    spawnPosition_ = CGPointFromString(info["spawn_position"].stringValue());
    bgAudioName_ = info["bg_audio_name"].stringValue();
    bgAudioVolume_ = info["bg_audio_volume"].floatValue();
    bgNightAudioName_ = info["bg_night_audio_name"].stringValue();
    bgNightAudioVolume_ = info["bg_night_audio_volume"].floatValue();
    skyRadius_ = info["sky_radius"].floatValue();
    bottomRadius_ = info["bottom_radius"].floatValue();
    bottomToSkyRange_ = skyRadius_ - bottomRadius_;
    groundRadius_ = info["ground_radius"].floatValue();
    groundRadiusOffset_ = info["ground_radius_offset"].floatValue();
    groundInnerRadius_ = groundRadius_ - info["ground_depth"].floatValue();
    groundImageRepeat_ = info["ground_repeat"].intValue();
    groundSubdivisions_ = info["ground_subdivisions"].intValue();
    bgNearInnerRadius_ = info["bgnear_radius"].floatValue();
    bgNearOuterRadius_ = bgNearInnerRadius_ + info["bgnear_height"].floatValue();
    bgNearRadiusOffset_ = info["bgnear_radius_offset"].floatValue();
    bgNearImageRepeat_ = info["bgnear_repeat"].intValue();
    bgNearSubdivisions_ = info["bgnear_subdivisions"].intValue();
    bgNearRatio_ = info["bgnear_ratio"].floatValue();
    bgFarInnerRadius_ = info["bgfar_radius"].floatValue();
    bgFarOuterRadius_ = bgFarInnerRadius_ + info["bgfar_height"].floatValue();
    bgFarRadiusOffset_ = info["bgfar_radius_offset"].floatValue();
    bgFarImageRepeat_ = info["bgfar_repeat"].intValue();
    bgFarSubdivisions_ = info["bgfar_subdivisions"].intValue();
    bgFarRatio_ = info["bgfar_ratio"].floatValue();
    groundInFront_ = info["ground_in_front"].boolValue();
    gravityMagnitude_ = info["gravity_magnitude"].isNone() ? 320 : info["gravity_magnitude"].floatValue() * 320;
    antiGravityMagnitude_ =
        info["antigravity_magnitude"].isNone() ? 320 : info["antigravity_magnitude"].floatValue() * 320;
    groundFillColour_ = colourOf(info["ground_fill_colour"]);
    groundFillSubdivisions_ = info["ground_fill_subdivisions"].intValue();
    skyColourStartTop_ = colourOf(info["sky_begin_top"]);
    skyColourStartBottom_ = colourOf(info["sky_begin_bottom"]);
    skyColourEndTop_ = colourOf(info["sky_end_top"]);
    skyColourEndBottom_ = colourOf(info["sky_end_bottom"]);
    skyColourNightTop_ = colourOf(info["sky_night_top"]);
    skyColourNightBottom_ = colourOf(info["sky_night_bottom"]);
    nightColour_ = colourOf(info["night_colour"]);
    skyBackgroundData_ = info["sky_background_images"];
    lengthOfDay_ = info["length_of_day"].floatValue();
    timeImageName_ = info["time_image"].stringValue();
    groundImageName_ = info["ground_image"].stringValue();
    bgNearImageName_ = info["bgnear_image"].stringValue();
    bgNearLowQualityImageName_ = info["bgnear_image_lowquality"].stringValue();
    bgFarImageName_ = info["bgfar_image"].stringValue();
    frontTextureAtlases_ = info["front_texture_atlases"];
    foregroundTextureAtlases_ = info["foreground_texture_atlases"];
    backgroundTextureAtlases_ = info["background_texture_atlases"];
    skyTextureAtlases_ = info["sky_texture_atlases"];
    effectsTextureAtlasName_ = info["effects_texture_atlas"].stringValue();
    particlesInfo_ = info["particles_info"];
    levelGeometryFileName_ = info["geometry_file"].stringValue();
    levelObjectsFileName_ = info["objects_file"].stringValue();

    // Numbers every later formula divides by or draws with.
    const float numbers[] = {skyRadius_,          bottomRadius_,      groundRadius_,     groundRadiusOffset_,
                             groundInnerRadius_,  bgNearInnerRadius_, bgNearOuterRadius_, bgNearRadiusOffset_,
                             bgNearRatio_,        bgFarInnerRadius_,  bgFarOuterRadius_, bgFarRadiusOffset_,
                             bgFarRatio_,         gravityMagnitude_,  antiGravityMagnitude_, lengthOfDay_,
                             bgAudioVolume_,      bgNightAudioVolume_};
    if (!std::all_of(std::begin(numbers), std::end(numbers), [](float n) { return std::isfinite(n); }) ||
        !std::isfinite(spawnPosition_.x) || !std::isfinite(spawnPosition_.y)) {
        logLine("Level: \"%s\" is refused: a number in it is not finite", levelId_.c_str());
        return false;
    }
    if (!(groundRadius_ > 0 && skyRadius_ > groundRadius_ && bottomRadius_ < skyRadius_)) {
        logLine("Level: \"%s\" is refused: its radii leave no room (ground %g, bottom %g, sky %g; the sky must be "
                "above the ground and above the bottom)",
                levelId_.c_str(), groundRadius_, bottomRadius_, skyRadius_);
        return false;
    }
    if (!(lengthOfDay_ > 0)) {
        logLine("Level: \"%s\" is refused: its day lasts %g s", levelId_.c_str(), lengthOfDay_);
        return false;
    }
    const struct {
        const char* key;
        int32_t value;
        int32_t least;
    } subdivisions[] = {{"ground_subdivisions", groundSubdivisions_, 2},
                        {"bgnear_subdivisions", bgNearSubdivisions_, 2},
                        {"bgfar_subdivisions", bgFarSubdivisions_, 2},
                        {"ground_fill_subdivisions", groundFillSubdivisions_, 3},
                        // The rings' texture repeats, in the same bounds.
                        {"ground_repeat", groundImageRepeat_, 1},
                        {"bgnear_repeat", bgNearImageRepeat_, 1},
                        {"bgfar_repeat", bgFarImageRepeat_, 1}};
    for (const auto& entry : subdivisions) {
        if (entry.value < entry.least || entry.value > kMaxSubdivisions) {
            logLine("Level: \"%s\" is refused: \"%s\" is %d, not %d to %d", levelId_.c_str(), entry.key, entry.value,
                    entry.least, kMaxSubdivisions);
            return false;
        }
    }

    if (gameLayer_) {
        if (GravityController* gravity = gameLayer_->gravityController()) {
            gravity->setStrength(gravityMagnitude_ / kPointsPerMetre);
        }
        if (AntiGravityController* antiGravity = gameLayer_->antiGravityController()) {
            antiGravity->setStrength(antiGravityMagnitude_ / kPointsPerMetre);
        }
    }
    autoFlyFlightLevel_ = groundRadius_ + 0.75f * (skyRadius_ - groundRadius_);
    colourRange(skyColourEndTop_, skyColourStartTop_, skyColourRangeTop_);
    colourRange(skyColourEndBottom_, skyColourStartBottom_, skyColourRangeBottom_);
    colourRange(skyColourNightTop_, skyColourEndTop_, skyColourNightRangeTop_);
    colourRange(skyColourNightBottom_, skyColourEndBottom_, skyColourNightRangeBottom_);
    skyColourPreviousTop_ = skyColourPreviousBottom_ = {0, 0, 0};
    skyColourRequiresUpdate_ = true;
    dayTimeRemaining_ = lastDayTimeRemaining_ = lengthOfDay_;
    timeState_ = kTimeDawn;
    currentTimeOfDay_ = currentTimeOfDayPerc_ = currentTimeOfNight_ = currentTimeOfNightPerc_ = 0;
    lengthOfDayExtension_ = 0;
    isDayLengthChanging_ = false;
    return true;
}

float Level::groundFillRadius() const { return groundInnerRadius_ + std::max(4.0f, std::fabs(groundRadiusOffset_)); }

// ---- Sprite layers ----

CCNode* Level::getSpriteLayerNode(int layer) const {
    if (!gameLayer_) return nullptr;
    switch (layer) {
        case kSpriteLayerSky: return gameLayer_->skyHolder();
        case kSpriteLayerBackground: return gameLayer_->backgroundHolder();
        case kSpriteLayerForeground: return gameLayer_->foregroundHolder();
        case kSpriteLayerFront: return gameLayer_->frontHolder();
        default: return nullptr;
    }
}

const Value& Level::getTextureAtlasNamesArray(int layer) const {
    static const Value none;
    switch (layer) {
        case kSpriteLayerSky: return skyTextureAtlases_;
        case kSpriteLayerBackground: return backgroundTextureAtlases_;
        case kSpriteLayerForeground: return foregroundTextureAtlases_;
        case kSpriteLayerFront: return frontTextureAtlases_;
        default: return none;
    }
}

CCSpriteBatchNode* Level::getSpriteBatchNodeForTexture(const CCTexture2D* texture, int layer) const {
    CCNode* holder = getSpriteLayerNode(layer);
    if (!holder || !texture || !holder->children()) return nullptr;
    const CCArray* children = holder->children();
    for (uint64_t i = 0; i < children->count(); ++i) {
        auto* batch = dynamic_cast<CCSpriteBatchNode*>(children->objectAtIndex(i));
        if (batch && batch->textureAtlas() && batch->textureAtlas()->texture() == texture) return batch;
    }
    return nullptr;
}

void Level::loadTextureAtlases() {
    for (int layer : {kSpriteLayerFront, kSpriteLayerForeground, kSpriteLayerBackground, kSpriteLayerSky}) {
        loadTextureAtlases(layer);
    }
}

void Level::loadTextureAtlases(int layer) {
    CCNode* holder = getSpriteLayerNode(layer);
    const Value& names = getTextureAtlasNamesArray(layer);
    if (!holder) return;
    for (const Value& nameValue : names.elements()) {
        const std::string sheet = nameValue.stringValue();
        if (!loadSpriteSheet(sheet)) continue;
        RefPtr<CCTexture2D> texture = textureNamed(pngNameOf(sheet));
        if (!texture) continue;
        RefPtr<CCSpriteBatchNode> batch = CCSpriteBatchNode::batchNodeWithTexture(texture);
        if (!batch) continue;
        const uint64_t count = holder->children() ? holder->children()->count() : 0;
        holder->addChild(batch.get(), static_cast<int64_t>(count + 1));
    }
}

RefPtr<CCSprite> Level::makeLayerSprite(const std::string& imageName, int layer, CGPoint position, float scaleX,
                                        float scaleY, float rotation) {
    CCNode* holder = getSpriteLayerNode(layer);
    if (!holder) return nullptr;
    if (!isFinitePlacement(position, scaleX, scaleY, rotation)) {
        logLine("Level: the sprite \"%s\" at %s, scaled (%g, %g) and turned %g, is refused: not finite",
                imageName.c_str(), NSStringFromCGPoint(position).c_str(), scaleX, scaleY, rotation);
        return nullptr;
    }
    RefPtr<CCSprite> sprite;
    CCNode* parent = nullptr;
    if (RefPtr<CCSpriteFrame> frame = CCSpriteFrameCache::sharedSpriteFrameCache()->spriteFrameByName(imageName)) {
        parent = getSpriteBatchNodeForTexture(frame->texture().get(), layer);
        if (!parent) {
            logLine("Level: the frame \"%s\" has no sprite sheet in layer %d; not shown", imageName.c_str(), layer);
            return nullptr;
        }
        sprite = CCSprite::spriteWithSpriteFrame(frame.get());
    } else if (!resourcePath(imageName).empty()) {
        sprite = CCSprite::spriteWithFile(imageName);
        parent = holder;
    } else {
        logLine("Level: no frame or image \"%s\"; skipped", imageName.c_str());
        return nullptr;
    }
    if (!sprite) return nullptr;
    sprite->setPosition(position);
    sprite->setScaleX(scaleX);
    sprite->setScaleY(scaleY);
    sprite->setRotation(rotation);
    parent->addChild(sprite.get());
    return sprite;
}

void Level::createSprites(const Value& sprites, int layer) {
    CCNode* holder = getSpriteLayerNode(layer);
    for (const Value& entry : sprites.elements()) {
        const std::string imageName = entry["image_name"].stringValue();
        if (!isShownImageName(imageName)) continue;
        float scaleX, scaleY;
        spriteScale(entry, &scaleX, &scaleY);
        RefPtr<CCSprite> sprite = makeLayerSprite(imageName, layer, CGPointFromString(entry["position"].stringValue()),
                                                  scaleX, scaleY, -entry["rotation"].floatValue());
        if (sprite && sprite->parent() == holder) holder->setVisible(true);
    }
}

void Level::addSkyBackground(bool fullSky) {
    int count = skyBackgroundData_["count"].intValue();
    if (!skyBackgroundData_.isDictionary() || count <= 0) return;
    if (count > kMaxSkyImages) {
        logLine("Level: \"%s\" asks for %d sky images; %d are shown", levelId_.c_str(), count, kMaxSkyImages);
        count = kMaxSkyImages;
    }
    const Value& images = skyBackgroundData_["images"];
    if (images.count() == 0) {
        logLine("Level: \"%s\" asks for %d sky images but names none; skipped", levelId_.c_str(), count);
        return;
    }
    float base = 1;
    float range = 0;
    if (!skyBackgroundData_["scale"].isNone()) {
        base = skyBackgroundData_["scale"].floatValue();
    } else if (!skyBackgroundData_["scale_min"].isNone() && !skyBackgroundData_["scale_max"].isNone()) {
        base = skyBackgroundData_["scale_min"].floatValue();
        range = skyBackgroundData_["scale_max"].floatValue() - base;
    }
    const float halfBand = (skyRadius_ - groundRadius_) * 0.5f;
    const CGPoint towardsHive = unitVector(hivePositionOf(hive_));
    for (int i = 0; i < count; ++i) {
        const float radius = groundRadius_ + (fullSky ? halfBand : 0) + Random::unitFloat() * halfBand;
        CGPoint position;
        if (fullSky) {
            position = ccPointRotateAround(CGPointMake(radius, 0), CGPointZero, Random::unitFloat() * kTwoPi);
        } else {
            position = ccPointRotateAround(CGPointMake(towardsHive.x * radius, towardsHive.y * radius), CGPointZero,
                                           Random::unitFloat() * (kPi / 2) - kPi / 4);
        }
        float scale = base + Random::unitFloat() * range;
        if (!fullSky) scale *= 0.5f;
        const float rotation = Random::unitFloat() * 360;
        if (!isFinitePlacement(position, scale, scale, rotation)) {
            logLine("Level: \"%s\" has sky images scaled %g to %g; refused", levelId_.c_str(), base, base + range);
            return;
        }
        const Value& image = images.at(Random::arc4random() % images.count());
        const std::string frameName = image.stringValue();
        RefPtr<CCSpriteFrame> frame = CCSpriteFrameCache::sharedSpriteFrameCache()->spriteFrameByName(frameName);
        if (!frame) {
            logLine("Level: no sky frame \"%s\"; skipped", frameName.c_str());
            continue;
        }
        CCSpriteBatchNode* batch = getSpriteBatchNodeForTexture(frame->texture().get(), kSpriteLayerSky);
        if (!batch) continue;
        RefPtr<CCSprite> sprite = CCSprite::spriteWithSpriteFrame(frame.get());
        sprite->setPosition(position);
        sprite->setRotation(rotation);
        sprite->setScale(scale);
        batch->addChild(sprite.get());
    }
}

// ---- Effects ----

void Level::createEffects() {
    if (!gameLayer_ || !gameLayer_->effectsHolder()) return;
    if (effectsTextureAtlasName_.empty() || !loadSpriteSheet(effectsTextureAtlasName_)) return;
    effectsTexture_ = textureNamed(pngNameOf(effectsTextureAtlasName_));
    if (!effectsTexture_) return;
    effectsBatchNode_ = CCSpriteBatchNode::batchNodeWithTexture(effectsTexture_);
    if (effectsBatchNode_) gameLayer_->effectsHolder()->addChild(effectsBatchNode_.get());
    createEffectsAnimations();
}

void Level::createEffectsAnimations() {
    const Value effects = readResource(kSharedEffectsFileName, "effects list");
    for (const Value& entry : effects.elements()) {
        AnimationUtils::createSimpleAnimation(entry["effect_name"].stringValue(), entry["animation"],
                                              entry["image_name"].stringValue());
    }
}

CCSprite* Level::showEffect(const std::string& name, CGPoint position, float rotation, float scale) {
    return showEffect(name, position, rotation, scale, CGPointMake(0.5, 0.5));
}

CCSprite* Level::showEffect(const std::string& name, CGPoint position, float rotation, float scale,
                            CGPoint anchorPoint) {
    RefPtr<CCAnimation> animation = CCAnimationCache::sharedAnimationCache()->animationByName(name);
    if (!animation || animation->frames().empty()) {
        // Once per name and level: effects are shown on every contact, many times a second.
        if (reportedEffects_.insert(name).second) logLine("Level: no effect \"%s\"; it is not shown", name.c_str());
        return nullptr;
    }
    if (!effectsBatchNode_) return nullptr;
    RefPtr<CCSprite> sprite = CCSprite::spriteWithTexture(effectsTexture_);
    sprite->setPosition(position);
    sprite->setAnchorPoint(anchorPoint);
    sprite->setRotation(rotation);
    sprite->setScale(scale);
    effectsBatchNode_->addChild(sprite.get());
    sprite->runAction(CCSequence::actionOne(
                          CCAnimate::actionWithAnimation(animation),
                          CCCallBlockN::actionWithBlock([](CCNode* node) { node->removeFromParentAndCleanup(true); }))
                          .get());
    return sprite.get();
}

// ---- Particle pools ----

void Level::createParticles() {
    particlesFlowerLoseNectar_ = addParticleSystem("flower_lose_nectar", 4);
    particlesVantrelCollectNectar_ = addParticleSystem("vantrel_collect_nectar", 1);
    particlesVantrelTransferNectar_ = addParticleSystem("vantrel_transfer_nectar", 2);
    particlesVantrelLoseNectar_ = addParticleSystem("vantrel_lose_nectar", 3);
    particlesBonus_ = addParticleSystem("bonus", 5);
}

Level::ParticlePool Level::addParticleSystem(const std::string& name, int tag) {
    ParticlePool pool;
    const std::string fileName = particlesInfo_[name].stringValue();
    if (fileName.empty()) {
        logLine("Level: \"%s\" names no particle list for \"%s\"; skipped", levelId_.c_str(), name.c_str());
        return pool;
    }
    const Value dictionary = readResource(fileName, "particle list");
    if (!dictionary.isDictionary()) return pool;
    for (RefPtr<RestartableParticleSystem>& system : pool) {
        system = makeRef<RestartableParticleSystem>();
        if (!system->initWithDictionary(dictionary)) {
            logLine("Level: the particle list \"%s\" builds no system; skipped", fileName.c_str());
            for (RefPtr<RestartableParticleSystem>& made : pool) {
                if (made) made->cleanup();
            }
            return {};
        }
        system->resetSystemAndStop();
        system->setPositionType(CCParticleSystem::kCCPositionTypeRelative);
        system->setTag(tag);
    }
    if (!gameLayer_) return pool;
    CCParticleBatchNode* generic = gameLayer_->particlesGenericHolder();
    CCNode* parent = (tag != 4 && generic && pool[0]->texture() == generic->texture())
                         ? static_cast<CCNode*>(generic)
                         : gameLayer_->particlesHolder();
    if (parent) {
        for (const RefPtr<RestartableParticleSystem>& system : pool) parent->addChild(system.get());
    }
    return pool;
}

RestartableParticleSystem* Level::nextFreeParticles(ParticlePool& pool, int& index) {
    if (!pool[0]) return nullptr;
    index = (index + 1) % 3;
    if (!pool[index]->userData()) return pool[index].get();
    for (int i = 0; i < 3; ++i) {
        if (!pool[i]->userData()) {
            index = i;
            return pool[i].get();
        }
    }
    return pool[index].get();
}

RestartableParticleSystem* Level::nextParticles(ParticlePool& pool, int& index) {
    if (!pool[0]) return nullptr;
    index = (index + 1) % 3;
    return pool[index].get();
}

RestartableParticleSystem* Level::nextFlowerLoseNectarParticles() {
    return nextFreeParticles(particlesFlowerLoseNectar_, particlesFlowerLoseNectarIndex_);
}
RestartableParticleSystem* Level::nextVantrelCollectNectarParticles() {
    return nextFreeParticles(particlesVantrelCollectNectar_, particlesVantrelCollectNectarIndex_);
}
RestartableParticleSystem* Level::nextVantrelTransferNectarParticles() {
    return nextFreeParticles(particlesVantrelTransferNectar_, particlesVantrelTransferNectarIndex_);
}
RestartableParticleSystem* Level::nextVantrelLoseNectarParticles() {
    return nextParticles(particlesVantrelLoseNectar_, particlesVantrelLoseNectarIndex_);
}
RestartableParticleSystem* Level::nextBonusParticles() { return nextParticles(particlesBonus_, particlesBonusIndex_); }

void Level::emitParticles(int kind, CGPoint position) {
    if (kind == kParticlesBonus) {
        RestartableParticleSystem* system = nextBonusParticles();
        if (!system) return;
        system->setPosition(position);
        system->resetSystemFullyWithoutKillingParticles();
    } else if (kind == kParticlesLoseNectar) {
        RestartableParticleSystem* system = nextVantrelLoseNectarParticles();
        if (!system || !player_) return;
        const CGPoint source = player_->position();
        const CGPoint down = unitVector(CGPointMake(-source.x, -source.y));
        system->setSourcePosition(source);
        system->setGravity(CGPointMake(down.x * 100, down.y * 100));
        system->resetSystemFullyWithoutKillingParticles();
    }
}

// ---- Nectar streams ----

namespace {

// Towards the planet's centre from the point, `strength` points per second squared.
CGPoint centreWard(CGPoint from, float strength) {
    const CGPoint down = unitVector(CGPointMake(-from.x, -from.y));
    return CGPointMake(down.x * strength, down.y * strength);
}

void restartIfIdle(CCParticleSystem* stream) {
    if (!stream->active()) static_cast<RestartableParticleSystem*>(stream)->resetSystemWithoutKillingParticles();
}

// Stops emitting; the droplets in flight fall towards the centre.
void letFall(CCParticleSystem* stream, float strength) {
    stream->setGravity(centreWard(stream->sourcePosition(), strength));
    stream->stopSystem();
}

// The flower a pooled stream is attached to, or null.
game::Flower* flowerOf(CCParticleSystem* stream) {
    return dynamic_cast<game::Flower*>(static_cast<GameObject*>(stream->userData()));
}

}  // namespace

void Level::beginPlayerFlowerContact(GameObject* object) {
    auto* flower = dynamic_cast<game::Flower*>(object);
    if (!flower) return;
    if (player_) player_->setStatFlowersVisited(player_->statFlowersVisited() + 1);
    RestartableParticleSystem* collect = nextVantrelCollectNectarParticles();
    RestartableParticleSystem* lose = nextFlowerLoseNectarParticles();
    if (!collect || !lose) return;
    // A stream still attached elsewhere is taken from its flower first.
    if (game::Flower* previous = flowerOf(collect); previous && previous != flower) {
        previous->setParticlesVantrelCollectNectar(nullptr);
    }
    if (game::Flower* previous = flowerOf(lose); previous && previous != flower) {
        previous->setParticlesFlowerLoseNectar(nullptr);
    }
    // Streams of an earlier contact with this flower go back to their pools.
    for (CCParticleSystem* old : {flower->particlesVantrelCollectNectar(), flower->particlesFlowerLoseNectar()}) {
        if (old && old != collect && old != lose) old->setUserData(nullptr);
    }
    flower->setParticlesVantrelCollectNectar(collect);
    flower->setParticlesFlowerLoseNectar(lose);
    collect->setUserData(static_cast<GameObject*>(flower));
    lose->setUserData(static_cast<GameObject*>(flower));
    if (CCTexture2D* texture = flower->particleTexture()) {
        lose->setTexture(RefPtr<CCTexture2D>(texture));
        const float width = static_cast<float>(texture->contentSize().width);
        lose->setStartSize(width);
        lose->setEndSize(width * 0.25f);
    }
    const CGPoint source = flower->physicsSprite() ? flower->physicsSprite()->position() : CGPointZero;
    const CGPoint mouth = player_ ? player_->beeMouthCollectionPosition() : source;
    collect->setSourcePosition(source);
    collect->setGravity(CGPointMake(mouth.x - source.x, mouth.y - source.y));
    lose->setSourcePosition(source);
    lose->setGravity(centreWard(source, 50));
    collect->resetSystemFullyWithoutKillingParticles();
    lose->resetSystemFullyWithoutKillingParticles();
}

void Level::updatePlayerFlowerContact(GameObject* object, bool active) {
    auto* flower = dynamic_cast<game::Flower*>(object);
    if (!flower) return;
    const CGPoint source = flower->physicsSprite() ? flower->physicsSprite()->position() : CGPointZero;
    if (CCParticleSystem* collect = flower->particlesVantrelCollectNectar()) {
        if (active) {
            collect->setSourcePosition(source);
            const CGPoint mouth = player_ ? player_->beeMouthCollectionPosition() : source;
            collect->setGravity(CGPointMake(mouth.x - source.x, mouth.y - source.y));
            restartIfIdle(collect);
        } else {
            letFall(collect, 100);
        }
    }
    if (CCParticleSystem* lose = flower->particlesFlowerLoseNectar()) {
        if (active) {
            lose->setSourcePosition(source);
            lose->setGravity(centreWard(source, 50));
            restartIfIdle(lose);
        } else {
            letFall(lose, 50);
        }
    }
}

void Level::endPlayerFlowerContact(GameObject* object) {
    auto* flower = dynamic_cast<game::Flower*>(object);
    if (!flower) return;
    if (CCParticleSystem* collect = flower->particlesVantrelCollectNectar()) {
        letFall(collect, 100);
        collect->setUserData(nullptr);
        flower->setParticlesVantrelCollectNectar(nullptr);
    }
    if (CCParticleSystem* lose = flower->particlesFlowerLoseNectar()) {
        letFall(lose, 50);
        lose->setUserData(nullptr);
        flower->setParticlesFlowerLoseNectar(nullptr);
    }
}

void Level::aimTransferStream(CCParticleSystem* stream) {
    const CGPoint source = player_ ? player_->beeMouthPosition() : CGPointZero;
    const CGPoint hive = hivePositionOf(hive_);
    const CGPoint gravity = CGPointMake(hive.x - source.x, hive.y - source.y);
    stream->setSourcePosition(source);
    stream->setGravity(gravity.x * gravity.x + gravity.y * gravity.y < 2500 ? centreWard(source, 100) : gravity);
}

void Level::beginPlayerHiveContact(bool transferring) {
    auto* hive = dynamic_cast<game::Hive*>(hive_);
    if (player_) player_->setStatHivesVisited(player_->statHivesVisited() + 1);
    if (!hive) return;
    RestartableParticleSystem* stream = nextVantrelTransferNectarParticles();
    if (!stream) return;
    hive->setParticlesVantrelTransferNectar(stream);
    stream->setUserData(static_cast<GameObject*>(hive));
    aimTransferStream(stream);
    if (transferring) {
        stream->resetSystemFullyWithoutKillingParticles();
    } else {
        stream->stopSystem();
    }
}

void Level::updatePlayerHiveContact(bool transferring) {
    auto* hive = dynamic_cast<game::Hive*>(hive_);
    CCParticleSystem* stream = hive ? hive->particlesVantrelTransferNectar() : nullptr;
    if (!stream) return;
    if (transferring) {
        aimTransferStream(stream);
        restartIfIdle(stream);
    } else {
        letFall(stream, 100);
    }
}

void Level::endPlayerHiveContact() {
    auto* hive = dynamic_cast<game::Hive*>(hive_);
    CCParticleSystem* stream = hive ? hive->particlesVantrelTransferNectar() : nullptr;
    if (!stream) return;
    letFall(stream, 100);
    stream->setUserData(nullptr);
    hive->setParticlesVantrelTransferNectar(nullptr);
}

// ---- Geometry ----

void Level::loadLevelGeometry(const std::string& fileName) {
    const Value geometry = readResource(fileName, "geometry file");
    if (!geometry.isDictionary()) return;
    parseLevelCameraGeometry(geometry);
    parseLevelGeometry(geometry);
    if (!geometry["background_sprites"].isNone()) createSprites(geometry["background_sprites"], kSpriteLayerBackground);
    if (!geometry["foreground_sprites"].isNone()) createSprites(geometry["foreground_sprites"], kSpriteLayerForeground);
    if (geometry["front_sprites"].count() > 0) {
        hasFrontLayer_ = true;
        createSprites(geometry["front_sprites"], kSpriteLayerFront);
    }
}

void Level::parseLevelCameraGeometry(const Value& geometry) {
    const Value& entries = geometry["camera_geometry"];
    const bool anyFixtures = std::any_of(entries.elements().begin(), entries.elements().end(),
                                         [](const Value& entry) { return entry["fixtures"].count() > 0; });
    if (!anyFixtures) return;
    hasCameraInfo_ = true;
    cameraWorld_ = std::make_unique<b2World>(b2Vec2(0, 0));
    cameraWorld_->SetAllowSleeping(true);
    b2BodyDef bodyDef;
    cameraBody_ = cameraWorld_->CreateBody(&bodyDef);
    for (const Value& entry : entries.elements()) {
        b2Transform storage;
        const b2Transform* transform = nullptr;
        if (!entryTransform(entry, &storage, &transform)) continue;
        for (const Value& fixture : entry["fixtures"].elements()) {
            PhysicsUtils::parseFixtureForBody(cameraBody_, fixture, nullptr, transform, 0.0f, 0.2f, 0.0f, 0, 0x0001,
                                              0xFFFF);
        }
    }
}

void Level::parseLevelGeometry(const Value& geometry) {
    for (const Value& entry : geometry["static_geometry"].elements()) {
        const float angle = entry["angle"].floatValue();
        const CGPoint entryPosition = CGPointFromString(entry["position"].stringValue());
        for (const Value& spriteEntry : entry["sprites"].elements()) {
            const std::string imageName = spriteEntry["image_name"].stringValue();
            if (!isShownImageName(imageName)) continue;
            float scaleX, scaleY;
            spriteScale(spriteEntry, &scaleX, &scaleY);
            const CGPoint position = spriteEntry["position"].isNone()
                                         ? entryPosition
                                         : CGPointFromString(spriteEntry["position"].stringValue());
            makeLayerSprite(imageName, kSpriteLayerForeground, position, scaleX, scaleY,
                            -spriteEntry["rotation"].floatValue() - angle);
        }
        b2Transform storage;
        const b2Transform* transform = nullptr;
        if (!groundBody_ || !entryTransform(entry, &storage, &transform)) continue;
        for (const Value& fixture : entry["fixtures"].elements()) {
            b2FixtureDef definition;
            definition.friction = 0.2f;
            definition.density = 0;
            definition.restitution = 0;
            uint16 category = 0x0001;
            uint16 mask = 0xFFFF;
            const bool sensor = fixture["is_sensor"].boolValue();
            const std::string sensorName = sensor ? fixture["sensor_name"].stringValue() : std::string();
            if (sensor) {
                definition.isSensor = true;
                category = 0x0020;
                mask = 0x0002;
                GameSensor* gameSensor = nullptr;
                if (gameLayer_ && sensorName == "hive") gameSensor = gameLayer_->hiveSensor();
                if (gameLayer_ && sensorName == "hide") gameSensor = gameLayer_->hideSensor();
                if (gameSensor) {
                    definition.userData.pointer = reinterpret_cast<uintptr_t>(gameSensor->physicsSystemBinding());
                }
            }
            if (fixture["is_bee_gate"].boolValue()) {
                category = 0x0010;
                mask = 0xFFFF;
            }
            const b2Fixture* made = PhysicsUtils::parseFixtureForBody(groundBody_, fixture, &definition, transform, 0.0f,
                                                                      0.2f, 0.0f, 0, category, mask);
            if (made && sensorName == "hive" && !hasHiveSensor_) {
                hasHiveSensor_ = true;
                hiveSensorPosition_ = pointInside(made);
            }
        }
    }
}

// ---- Objects ----

bool Level::loadLevelObjects(const std::string& fileName) {
    const Value objects = readResource(fileName, "objects file");
    if (!parseLevelObjects(objects)) {
        logLine("Level: \"%s\" is refused: its objects hold no hive (type %d)", levelId_.c_str(), kHiveType);
        return false;
    }
    return true;
}

bool Level::parseLevelObjects(const Value& objects) {
    const Value& instances = objects["gameobjects"];
    size_t flowers = 0, pickups = 0, enemies = 0, others = 0;
    for (const Value& instance : instances.elements()) {
        const int64_t type = instance["type"].integerValue();
        if (type >= 1 && type <= 99) ++flowers;
        else if (type >= 100 && type <= 199) ++pickups;
        else if (type >= 200 && type <= 299) ++enemies;
        else if (type < 300 || type > 399) ++others;
    }
    gameObjectsPriorityNone_.reserve(std::min(others, kMaxLevelObjects));
    gameObjectsPriorityHigh_.reserve(std::min(others, kMaxLevelObjects));
    flowers_.reserve(std::min(flowers, kMaxLevelObjects));
    pickups_.reserve(std::min(pickups, kMaxLevelObjects));
    enemies_.reserve(std::min(enemies, kMaxLevelObjects));
    projectiles_.reserve(kMaxProjectiles);
    size_t index = 0;
    for (const Value& instance : instances.elements()) {
        if (filedObjectCount() >= kMaxLevelObjects) {
            logLine("Level: \"%s\" holds more than %zu objects; the %zu from the %zuth on are refused",
                    levelId_.c_str(), kMaxLevelObjects, instances.count() - index, index + 1);
            break;
        }
        ++index;
        const bool isHive = instance["type"].integerValue() == kHiveType;
        if (isHive && hive_) {
            logLine("Level: \"%s\" has a second hive at %s; refused, the first is kept", levelId_.c_str(),
                    instance["position"].stringValue().c_str());
            continue;
        }
        RefPtr<GameObject> object = GameObjectFactory::gameObjectWithGameData(instance);
        if (!object) continue;
        if (isHive && !takeHive(object.get())) continue;
        addGameObject(object.get());
        if (object->type() == kBuddyPickupType) ++totalBuddies_;
    }
    return hive_ != nullptr;
}

bool Level::takeHive(GameObject* object) {
    const CGPoint place = hivePositionOf(object);
    // The night flight and the hive window work in float.
    const float x = static_cast<float>(place.x);
    const float y = static_cast<float>(place.y);
    if (!dynamic_cast<HiveProtocol*>(object) || !std::isfinite(x) || !std::isfinite(y) ||
        std::hypot(x, y) > skyRadius_) {
        logLine("Level: the hive at %s is refused: it is not a hive within the sky (radius %g)",
                NSStringFromCGPoint(place).c_str(), skyRadius_);
        return false;
    }
    hive_ = object;
    hiveAngleRads_ = std::atan2(y, x);
    const CGPoint t = unitVector(CGPointMake(y, -x));
    hiveVisionConeLeftAngleRads_ = std::atan2(static_cast<float>(y - kHiveWindowHalfWidth * t.y),
                                              static_cast<float>(x - kHiveWindowHalfWidth * t.x));
    hiveVisionConeRightAngleRads_ = std::atan2(static_cast<float>(y + kHiveWindowHalfWidth * t.y),
                                               static_cast<float>(x + kHiveWindowHalfWidth * t.x));
    return true;
}

size_t Level::filedObjectCount() const {
    return flowers_.count() + pickups_.count() + enemies_.count() + gameObjectsPriorityNone_.count() +
           gameObjectsPriorityHigh_.count();
}

// ---- Lists ----

void Level::addGameObject(GameObject* object) {
    if (!object || object->priority() == 0) return;
    if (object->isFlower()) addFlower(object);
    else if (object->isPickup()) addPickup(object);
    else if (object->isEnemy()) addEnemy(object);
    else if (object->isProjectile()) addProjectile(object);
    else if (object->priority() == 1) gameObjectsPriorityNone_.append(RefPtr<GameObject>(object));
    else gameObjectsPriorityHigh_.append(RefPtr<GameObject>(object));
}

void Level::removeGameObject(GameObject* object) {
    if (!object || object->priority() == 0) return;
    if (object->isFlower()) removeFlower(object);
    else if (object->isPickup()) removePickup(object);
    else if (object->isEnemy()) removeEnemy(object);
    else if (object->isProjectile()) removeProjectile(object);
    else if (object->priority() == 1) gameObjectsPriorityNone_.remove(object);
    else gameObjectsPriorityHigh_.remove(object);
}

void Level::addProjectile(GameObject* projectile) {
    if (!projectile) return;
    while (projectiles_.count() >= kMaxProjectiles) {
        const RefPtr<GameObject> oldest(projectiles_.at(0));
        projectiles_.remove(oldest.get());
        if (auto* shot = dynamic_cast<ProjectileProtocol*>(oldest.get())) shot->destroy();
    }
    projectiles_.append(RefPtr<GameObject>(projectile));
}

uint32_t Level::flowersVisited() const {
    uint32_t visited = 0;
    for (size_t i = 0; i < flowers_.count(); ++i) {
        const auto* flower = dynamic_cast<const FlowerProtocol*>(flowers_.at(i));
        if (flower && flower->hasBeenVisited()) ++visited;
    }
    return visited;
}

// ---- Frame ----

void Level::update(float dt) {
    updateDay(dt);
    if (gameContactListener_) {
        for (EnemyProtocol* enemy : gameContactListener_->visionSensors()) enemy->visionContactPlayer();
    }
    gameObjectsPriorityHigh_.forEach([dt](GameObject* object) { object->update(dt); });
    flowers_.forEach([dt](GameObject* object) { object->update(dt); });
    enemies_.forEach([dt](GameObject* object) { object->update(dt); });
}

void Level::blendSkyColours(ccColor4B fromTop, ccColor4B fromBottom, const int16_t rangeTop[3],
                            const int16_t rangeBottom[3], float fraction) {
    skyColourCurrentTop_ = blendRange(fromTop, rangeTop, fraction);
    skyColourCurrentBottom_ = blendRange(fromBottom, rangeBottom, fraction);
}

void Level::updateDay(float dt) {
    if (timeState_ == kTimeDawn || timeState_ == kTimeDay) {
        if (isDayLengthChanging_) {
            const float step = dt * kDayLengthChangePerSecond;
            float& extension = lengthOfDayExtension_;
            if (extension >= 0) {
                if (player_) player_->hideTimeInfoMessage();
                if (step >= extension) {
                    lengthOfDay_ += extension;
                    extension = 0;
                    isDayLengthChanging_ = false;
                } else {
                    lengthOfDay_ += step;
                    extension -= step;
                }
            } else if (extension >= -step) {
                lengthOfDay_ += extension;
                extension = 0;
                isDayLengthChanging_ = false;
            } else {
                lengthOfDay_ -= step;
                extension += step;
            }
        }
        lastDayTimeRemaining_ = dayTimeRemaining_;
        currentTimeOfDay_ = std::min(currentTimeOfDay_ + dt, lengthOfDay_);
        dayTimeRemaining_ = lengthOfDay_ - currentTimeOfDay_;
        currentTimeOfDayPerc_ = lengthOfDay_ > 0 ? std::clamp(currentTimeOfDay_ / lengthOfDay_, 0.0f, 1.0f) : 1.0f;
        if (lengthOfDay_ - currentTimeOfDay_ < kEpsilon) {
            lengthOfDayExtension_ = 0;
            isDayLengthChanging_ = false;
            timeState_ = kTimeDusk;
            skyColourCurrentTop_ = rgbOf(skyColourEndTop_);
            skyColourCurrentBottom_ = rgbOf(skyColourEndBottom_);
            if (player_) player_->showTimeUpInfoMessage();
            onDayIsOver();
        } else {
            const float f = std::max((currentTimeOfDayPerc_ - 0.6f) * 2.5000002f, 0.0f);
            const ccColor3B dayTop = blendRange(skyColourStartTop_, skyColourRangeTop_, f);
            const ccColor3B dayBottom = blendRange(skyColourStartBottom_, skyColourRangeBottom_, f);
            bool dayColours = true;
            if (timeState_ == kTimeDawn) {
                const float d = currentTimeOfDay_ / kDawnSeconds;
                if (d < 1) {
                    skyColourCurrentTop_ = mix(dayTop, skyColourNightTop_, d);
                    skyColourCurrentBottom_ = mix(dayBottom, skyColourNightBottom_, d);
                    dayColours = false;
                } else {
                    timeState_ = kTimeDay;
                }
            } else {
                const float r = dayTimeRemaining_;
                const float p = lastDayTimeRemaining_;
                if (r <= 60 && p > 10) {
                    if (p > 60 || (r <= 30 && p > 30)) {
                        if (player_) player_->showTimeInfoMessage(6.0f);
                    } else if (r <= 10) {
                        if (player_) player_->showTimeInfoMessage(11.0f);
                    }
                }
            }
            if (dayColours) {
                skyColourCurrentTop_ = dayTop;
                skyColourCurrentBottom_ = dayBottom;
            }
        }
    } else if (timeState_ == kTimeDusk) {
        currentTimeOfNight_ += dt;
        const float q = currentTimeOfNight_ * 0.25f;
        currentTimeOfNightPerc_ = std::min(q, 1.0f);
        if (q >= 1) {
            timeState_ = kTimeNight;
            skyColourCurrentTop_ = rgbOf(skyColourNightTop_);
            skyColourCurrentBottom_ = rgbOf(skyColourNightBottom_);
        } else {
            blendSkyColours(skyColourEndTop_, skyColourEndBottom_, skyColourNightRangeTop_, skyColourNightRangeBottom_,
                            currentTimeOfNightPerc_);
        }
    }
    skyColourRequiresUpdate_ =
        !(skyColourCurrentTop_ == skyColourPreviousTop_) || !(skyColourCurrentBottom_ == skyColourPreviousBottom_);
    skyColourPreviousTop_ = skyColourCurrentTop_;
    skyColourPreviousBottom_ = skyColourCurrentBottom_;
}

void Level::setLengthOfDay(float seconds) {
    if (!std::isfinite(seconds) || seconds <= 0) {
        logLine("Level: a day of %g s is refused", seconds);
        return;
    }
    lengthOfDay_ = seconds;
    currentTimeOfDay_ = std::min(currentTimeOfDay_, lengthOfDay_);
    updateDay(0);
}

void Level::changeLengthOfDay(float seconds) {
    if (!std::isfinite(seconds) || std::fabs(seconds) <= kEpsilon) return;
    lengthOfDayExtension_ += seconds;
    isDayLengthChanging_ = true;
}

void Level::onDayIsOver() {
    if (gameLayer_) gameLayer_->onGameComplete();
}

// ---- Camera floor, limits, night flight ----

float Level::getCameraBottomAtPosition(CGPoint position) {
    if (!cameraWorld_) return groundRadius_;
    const b2Vec2 end(static_cast<float>(position.x) * 100, static_cast<float>(position.y) * 100);
    // A ray of no length cannot be cast: the centre itself gets the ground radius.
    if (!std::isfinite(end.x) || !std::isfinite(end.y) || end.LengthSquared() <= kEpsilon) return groundRadius_;
    cameraRayCast_.reset();
    cameraRayCast_.endPoint = end;
    cameraWorld_->RayCast(&cameraRayCast_, cameraRayCast_.startPoint, cameraRayCast_.endPoint);
    if (!cameraRayCast_.fixture) return groundRadius_;
    return cameraRayCast_.point.Length() * kPointsPerMetre;
}

float Level::percOfAllowedLimitsAtPosition(CGPoint position) const {
    return (static_cast<float>(ccPointLength(position)) - bottomRadius_) / bottomToSkyRange_;
}

CGPoint Level::playerAutoAcceleration() {
    if (isDay() || !player_ || !hive_) return CGPointZero;
    const CGPoint player = player_->position();
    const CGPoint hive = hivePositionOf(hive_);
    // The pull ends where the bee is surely at the hive: the top of the honey may lie outside
    // the hive's doorway (an empty hive's below it), and a bee drawn there from beside the hive
    // would hang outside it all night.
    const CGPoint home = hasHiveSensor_ ? hiveSensorPosition_ : hive;
    const float a = std::atan2(static_cast<float>(player.y), static_cast<float>(player.x));
    float left = hiveVisionConeLeftAngleRads_;
    const float right = hiveVisionConeRightAngleRads_;
    if (right > left) left += kTwoPi;
    const float unwrapped = right > a ? a + kTwoPi : a;
    if (right <= unwrapped && unwrapped <= left) {
        player_->setHasExtraLinearDrag(true);
        const CGPoint d = CGPointMake(home.x - player.x, home.y - player.y);
        const double distance = ccPointLength(d);
        // The bee on the point: no pull left.
        if (distance <= kEpsilon) return CGPointZero;
        const double pull = 0.6 * std::min(distance / kHiveWindowHalfWidth, 1.0);
        return CGPointMake(d.x / distance * pull, d.y / distance * pull);
    }
    const float h = std::atan2(static_cast<float>(hive.y), static_cast<float>(hive.x));
    const float delta = h - kTwoPi * std::floor((h + kPi - a) / kTwoPi) - a;
    const float s = std::sin(a);
    const float c = std::cos(a);
    const CGPoint tangent = delta >= 0 ? CGPointMake(-s, c) : CGPointMake(s, -c);
    const float m = -std::clamp((static_cast<float>(ccPointLength(player)) - autoFlyFlightLevel_) / 100.0f, -1.0f, 1.0f);
    const CGPoint direction = unitVector(CGPointMake(tangent.x + c * m, tangent.y + s * m));
    return CGPointMake(direction.x * 0.75, direction.y * 0.75);
}

// ---- Start and end ----

void Level::onLevelStart() {
    if (!gameLayer_) return;
    gameLayer_->tintWorld(rgbOf(nightColour_), 0);
    gameLayer_->tintWorld({255, 255, 255}, 5.0f);
}

void Level::onLevelEnding() {
    createSkyBackgroundEndOfDay();
    if (gameLayer_) gameLayer_->tintWorld(rgbOf(nightColour_), 4.0f);
    playBackgroundNightAudio();
    if (player_) {
        player_->setCanFlyThroughWorld(true);
        player_->setCanSenseWorld(false);
        player_->setShowStatsMessages(true);
        player_->setBuddiesUnderneath(true);
    }
    flowers_.forEach([](GameObject* object) { object->onDayIsOver(); });
    pickups_.forEachReversed([](GameObject* object) { object->onDayIsOver(); });
    enemies_.forEach([](GameObject* object) { object->onDayIsOver(); });
    projectiles_.forEachReversed([](GameObject* object) { object->onDayIsOver(); });
    gameObjectsPriorityHigh_.forEach([](GameObject* object) { object->onDayIsOver(); });
    gameObjectsPriorityNone_.forEach([](GameObject* object) { object->onDayIsOver(); });
}

void Level::startAudio() {
    playBackgroundAudio();
    if (player_) player_->startAudio();
}

void Level::endAudio() {
    if (player_) player_->endAudio();
    stopBackgroundAudio();
}

void Level::playBackgroundAudio() {
    if (bgAudioName_.empty()) return;
    VantrelAudio::sharedInstance()->playTrack(CCFileUtils::sharedFileUtils()->fullPathFromRelativePath(bgAudioName_),
                                              false, false, -1, bgAudioVolume_);
}

void Level::playBackgroundNightAudio() {
    if (bgNightAudioName_.empty() || bgNightAudioName_ == bgAudioName_) return;
    VantrelAudio::sharedInstance()->playTrack(
        CCFileUtils::sharedFileUtils()->fullPathFromRelativePath(bgNightAudioName_), false, false, -1,
        bgNightAudioVolume_);
}

void Level::stopBackgroundAudio() {
    if (bgAudioName_.empty() && bgNightAudioName_.empty()) return;
    VantrelAudio::sharedInstance()->fadeTrackAndStop();
}
