#include "game/core/Level.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "audio/VantrelAudio.h"
#include "engine/core/CCTextureCache.h"
#include "engine/core/support/CCFileUtils.h"
#include "engine/core/support/ccPointMath.h"
#include "game/core/AntiGravityController.h"
#include "game/core/EnemyProtocol.h"
#include "game/core/FlowerProtocol.h"
#include "game/core/GameContactListener.h"
#include "game/core/GameObjectFactory.h"
#include "game/core/GravityController.h"
#include "game/core/HiveProtocol.h"
#include "game/core/Levels.h"
#include "game/core/PhysicsSystem.h"
#include "game/core/Player.h"
#include "game/core/ProjectileProtocol.h"
#include "game/core/Units.h"
#include "game/core/VantrelGameLayer.h"
#include "platform/foundation/Log.h"

namespace {

Level* currentLevelInstance = nullptr;  // not retained

// Half the width of the hive's window, points along the hive's tangent: a bee above it at night
// is pulled straight in.
constexpr float kHiveWindowHalfWidth = 750.0f;

// The full path of a resource, or empty when no such file exists.
std::string resourcePath(const std::string& name) {
    if (name.empty()) return {};
    const std::string path = CCFileUtils::sharedFileUtils()->fullPathFromRelativePath(name);
    std::error_code error;
    return std::filesystem::is_regular_file(path, error) ? path : std::string();
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

Value Level::readResource(const std::string& name, const char* what) {
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

CGPoint Level::unitVector(CGPoint p) {
    const double length = ccPointLength(p);
    return length > units::kEpsilon ? CGPoint{p.x / length, p.y / length} : CGPointZero;
}

CGPoint Level::hivePosition() const {
    const HiveProtocol* hive = dynamic_cast<HiveProtocol*>(hive_);
    return hive ? hive->position() : CGPointZero;
}

RefPtr<Level> Level::levelFromFile(const std::string& fileName) {
    RefPtr<Level> level = makeRef<Level>();
    if (!level->initFromFile(fileName)) return nullptr;
    return level;
}

Level::~Level() {
    for (ParticlePool* pool : {&particlesFlowerLoseNectar_, &particlesVantrelCollectNectar_,
                               &particlesVantrelTransferNectar_, &particlesVantrelLoseNectar_, &particlesBonus_}) {
        pool->cleanup();
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
    std::optional<LevelInfo> info = parseLevelInfo(readResource(fileName, "level info"), fileName);
    if (!info) return false;
    info_ = std::move(*info);
    Levels* levels = Levels::sharedInstance();
    referenceHoney_ = levels->getReferenceScoreForLevelId(info_.levelId, info_.isTrailer);
    existingHighScore_ = static_cast<int32_t>(levels->getScoreForLevelId(info_.levelId));
    if (gameLayer_) {
        if (GravityController* gravity = gameLayer_->gravityController()) {
            gravity->setStrength(info_.gravityMagnitude / units::kPointsPerMetre);
        }
        if (AntiGravityController* antiGravity = gameLayer_->antiGravityController()) {
            antiGravity->setStrength(info_.antiGravityMagnitude / units::kPointsPerMetre);
        }
    }
    startDayClock();
    return true;
}

float Level::groundFillRadius() const {
    return info_.groundInnerRadius + std::max(4.0f, std::fabs(info_.groundRadiusOffset));
}

// ---- Objects ----

bool Level::loadLevelObjects(const std::string& fileName) {
    const Value objects = readResource(fileName, "objects file");
    if (!parseLevelObjects(objects)) {
        logLine("Level: \"%s\" is refused: its objects hold no hive (type %d)", info_.levelId.c_str(), kHiveType);
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
                    info_.levelId.c_str(), kMaxLevelObjects, instances.count() - index, index + 1);
            break;
        }
        ++index;
        const bool isHive = instance["type"].integerValue() == kHiveType;
        if (isHive && hive_) {
            logLine("Level: \"%s\" has a second hive at %s; refused, the first is kept", info_.levelId.c_str(),
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
    const auto* hive = dynamic_cast<HiveProtocol*>(object);
    const CGPoint place = hive ? hive->position() : CGPointZero;
    // The night flight and the hive window work in float.
    const float x = static_cast<float>(place.x);
    const float y = static_cast<float>(place.y);
    if (!hive || !std::isfinite(x) || !std::isfinite(y) ||
        std::hypot(x, y) > info_.skyRadius) {
        logLine("Level: the hive at %s is refused: it is not a hive within the sky (radius %g)",
                NSStringFromCGPoint(place).c_str(), info_.skyRadius);
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

// ---- Lists and the frame ----

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

void Level::update(float dt) {
    updateDay(dt);
    if (gameContactListener_) {
        for (EnemyProtocol* enemy : gameContactListener_->visionSensors()) enemy->visionContactPlayer();
    }
    gameObjectsPriorityHigh_.forEach([dt](GameObject* object) { object->update(dt); });
    flowers_.forEach([dt](GameObject* object) { object->update(dt); });
    enemies_.forEach([dt](GameObject* object) { object->update(dt); });
}

// ---- Camera floor, limits, night flight ----

float Level::getCameraBottomAtPosition(CGPoint position) {
    if (!cameraWorld_) return info_.groundRadius;
    const b2Vec2 end(static_cast<float>(position.x) * 100, static_cast<float>(position.y) * 100);
    // A ray of no length cannot be cast: the centre itself gets the ground radius.
    if (!std::isfinite(end.x) || !std::isfinite(end.y) || end.LengthSquared() <= units::kEpsilon)
        return info_.groundRadius;
    cameraRayCast_.reset();
    cameraRayCast_.endPoint = end;
    cameraWorld_->RayCast(&cameraRayCast_, cameraRayCast_.startPoint, cameraRayCast_.endPoint);
    if (!cameraRayCast_.fixture) return info_.groundRadius;
    return cameraRayCast_.point.Length() * units::kPointsPerMetre;
}

float Level::percOfAllowedLimitsAtPosition(CGPoint position) const {
    return (static_cast<float>(ccPointLength(position)) - info_.bottomRadius) / info_.bottomToSkyRange;
}

CGPoint Level::playerAutoAcceleration() {
    if (isDay() || !player_ || !hive_) return CGPointZero;
    const CGPoint player = player_->position();
    const CGPoint hive = hivePosition();
    // The pull ends where the bee is surely at the hive: the top of the honey may lie outside
    // the hive's doorway (an empty hive's below it), and a bee drawn there from beside the hive
    // would hang outside it all night.
    const CGPoint home = hasHiveSensor_ ? hiveSensorPosition_ : hive;
    const float a = std::atan2(static_cast<float>(player.y), static_cast<float>(player.x));
    float left = hiveVisionConeLeftAngleRads_;
    const float right = hiveVisionConeRightAngleRads_;
    if (right > left) left += units::kTwoPi;
    const float unwrapped = right > a ? a + units::kTwoPi : a;
    if (right <= unwrapped && unwrapped <= left) {
        player_->setHasExtraLinearDrag(true);
        const CGPoint d = CGPointMake(home.x - player.x, home.y - player.y);
        const double distance = ccPointLength(d);
        // The bee on the point: no pull left.
        if (distance <= units::kEpsilon) return CGPointZero;
        const double pull = 0.6 * std::min(distance / kHiveWindowHalfWidth, 1.0);
        return CGPointMake(d.x / distance * pull, d.y / distance * pull);
    }
    const float h = std::atan2(static_cast<float>(hive.y), static_cast<float>(hive.x));
    const float delta = h - units::kTwoPi * std::floor((h + units::kPi - a) / units::kTwoPi) - a;
    const float s = std::sin(a);
    const float c = std::cos(a);
    const CGPoint tangent = delta >= 0 ? CGPointMake(-s, c) : CGPointMake(s, -c);
    const float height = static_cast<float>(ccPointLength(player)) - info_.autoFlyFlightLevel;
    const float m = -std::clamp(height / 100.0f, -1.0f, 1.0f);
    const CGPoint direction = unitVector(CGPointMake(tangent.x + c * m, tangent.y + s * m));
    return CGPointMake(direction.x * 0.75, direction.y * 0.75);
}

// ---- Audio ----

void Level::startAudio() {
    playBackgroundAudio();
    if (player_) player_->startAudio();
}

void Level::endAudio() {
    if (player_) player_->endAudio();
    stopBackgroundAudio();
}

void Level::playBackgroundAudio() {
    if (info_.bgAudioName.empty()) return;
    VantrelAudio::sharedInstance()->playTrack(
        CCFileUtils::sharedFileUtils()->fullPathFromRelativePath(info_.bgAudioName), false, false, -1,
        info_.bgAudioVolume);
}

void Level::playBackgroundNightAudio() {
    if (info_.bgNightAudioName.empty() || info_.bgNightAudioName == info_.bgAudioName) return;
    VantrelAudio::sharedInstance()->playTrack(
        CCFileUtils::sharedFileUtils()->fullPathFromRelativePath(info_.bgNightAudioName), false, false, -1,
        info_.bgNightAudioVolume);
}

void Level::stopBackgroundAudio() {
    if (info_.bgAudioName.empty() && info_.bgNightAudioName.empty()) return;
    VantrelAudio::sharedInstance()->fadeTrackAndStop();
}
