#include "game/core/CollisionBits.h"
#include "game/core/Level.h"

#include <algorithm>
#include <cmath>

#include "engine/actions/composite/CCSequence.h"
#include "engine/actions/instant/CCCallBlockN.h"
#include "engine/actions/interval/CCAnimate.h"
#include "engine/core/CCTextureAtlas.h"
#include "engine/core/support/CCArray.h"
#include "engine/core/support/ccPointMath.h"
#include "engine/render/CCAnimationCache.h"
#include "engine/render/CCSprite.h"
#include "engine/render/CCSpriteBatchNode.h"
#include "engine/render/CCSpriteFrameCache.h"
#include "game/core/AnimationUtils.h"
#include "game/core/GameSensor.h"
#include "game/core/PhysicsUtils.h"
#include "game/core/Units.h"
#include "game/core/VantrelGameLayer.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Random.h"
#include "platform/foundation/StringUtils.h"

// What the level shows and stands on: the sprite layers with their sheets, the sky background,
// the one-shot effects, the camera floor and the static geometry.

namespace {

constexpr int kMaxSkyImages = 1000;  // sprites of one sky background
constexpr const char* kSharedEffectsFileName = "shared_effects_data.plist";

// A sprite sheet's frames into the shared cache; false (logged) when the sheet is missing.
bool loadSpriteSheet(const std::string& name) {
    if (!Level::resourceExists(name)) {
        logLine("Level: no sprite sheet \"%s\"; skipped", name.c_str());
        return false;
    }
    CCSpriteFrameCache::sharedSpriteFrameCache()->addSpriteFramesWithFile(name);
    return true;
}

std::string pngNameOf(const std::string& sheet) {
    return stringByAppendingPathExtension(stringByDeletingPathExtension(sheet), "png");
}

// The entry's transform into `*transform`, null when it is the identity; false (logged) when its
// position or angle is not a number, so that its fixtures are skipped.
bool entryTransform(const Value& entry, b2Transform* storage, const b2Transform** transform) {
    const CGPoint position = CGPointFromString(entry["position"].stringValue());
    const float x = static_cast<float>(position.x) / units::kPointsPerMetre;
    const float y = static_cast<float>(position.y) / units::kPointsPerMetre;
    const float angle = entry["angle"].floatValue() * units::kRadiansPerDegree;
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(angle)) {
        logLine("Level: a geometry entry at \"%s\" turned %g degrees is no place; its fixtures are skipped",
                entry["position"].stringValue().c_str(), entry["angle"].floatValue());
        return false;
    }
    *transform = nullptr;
    if (std::fabs(x) <= units::kEpsilon && std::fabs(y) <= units::kEpsilon && std::fabs(angle) <= units::kEpsilon)
        return true;
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
    return CGPoint{world.x * units::kPointsPerMetre, world.y * units::kPointsPerMetre};
}

}  // namespace

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
        case kSpriteLayerSky: return info_.skyTextureAtlases;
        case kSpriteLayerBackground: return info_.backgroundTextureAtlases;
        case kSpriteLayerForeground: return info_.foregroundTextureAtlases;
        case kSpriteLayerFront: return info_.frontTextureAtlases;
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
        ++picturesLeftOut_;
        return nullptr;
    }
    RefPtr<CCSprite> sprite;
    CCNode* parent = nullptr;
    if (RefPtr<CCSpriteFrame> frame = CCSpriteFrameCache::sharedSpriteFrameCache()->spriteFrameByName(imageName)) {
        parent = getSpriteBatchNodeForTexture(frame->texture().get(), layer);
        if (!parent) {
            logLine("Level: the frame \"%s\" has no sprite sheet in layer %d; not shown", imageName.c_str(), layer);
            ++picturesLeftOut_;
            return nullptr;
        }
        sprite = CCSprite::spriteWithSpriteFrame(frame.get());
    } else if (resourceExists(imageName)) {
        sprite = CCSprite::spriteWithFile(imageName);
        parent = holder;
    } else {
        logLine("Level: no frame or image \"%s\"; skipped", imageName.c_str());
        ++picturesLeftOut_;
        return nullptr;
    }
    if (!sprite) {  // the image could not be read: the texture cache has said why
        ++picturesLeftOut_;
        return nullptr;
    }
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
    int count = info_.skyBackgroundData["count"].intValue();
    if (!info_.skyBackgroundData.isDictionary() || count <= 0) return;
    if (count > kMaxSkyImages) {
        logLine("Level: \"%s\" asks for %d sky images; %d are shown", info_.levelId.c_str(), count, kMaxSkyImages);
        count = kMaxSkyImages;
    }
    const Value& images = info_.skyBackgroundData["images"];
    if (images.count() == 0) {
        logLine("Level: \"%s\" asks for %d sky images but names none; skipped", info_.levelId.c_str(), count);
        return;
    }
    float base = 1;
    float range = 0;
    if (!info_.skyBackgroundData["scale"].isNone()) {
        base = info_.skyBackgroundData["scale"].floatValue();
    } else if (!info_.skyBackgroundData["scale_min"].isNone() && !info_.skyBackgroundData["scale_max"].isNone()) {
        base = info_.skyBackgroundData["scale_min"].floatValue();
        range = info_.skyBackgroundData["scale_max"].floatValue() - base;
    }
    const float halfBand = (info_.skyRadius - info_.groundRadius) * 0.5f;
    const CGPoint towardsHive = unitVector(hivePosition());
    for (int i = 0; i < count; ++i) {
        const float radius = info_.groundRadius + (fullSky ? halfBand : 0) + Random::unitFloat() * halfBand;
        CGPoint position;
        if (fullSky) {
            position = ccPointRotateAround(CGPointMake(radius, 0), CGPointZero, Random::unitFloat() * units::kTwoPi);
        } else {
            position = ccPointRotateAround(CGPointMake(towardsHive.x * radius, towardsHive.y * radius), CGPointZero,
                                           Random::unitFloat() * (units::kPi / 2) - units::kPi / 4);
        }
        float scale = base + Random::unitFloat() * range;
        if (!fullSky) scale *= 0.5f;
        const float rotation = Random::unitFloat() * 360;
        if (!isFinitePlacement(position, scale, scale, rotation)) {
            logLine("Level: \"%s\" has sky images scaled %g to %g; refused", info_.levelId.c_str(), base, base + range);
            picturesLeftOut_ += static_cast<size_t>(count - i);
            return;
        }
        const Value& image = images.at(Random::arc4random() % images.count());
        const std::string frameName = image.stringValue();
        RefPtr<CCSpriteFrame> frame = CCSpriteFrameCache::sharedSpriteFrameCache()->spriteFrameByName(frameName);
        if (!frame) {
            logLine("Level: no sky frame \"%s\"; skipped", frameName.c_str());
            ++picturesLeftOut_;
            continue;
        }
        CCSpriteBatchNode* batch = getSpriteBatchNodeForTexture(frame->texture().get(), kSpriteLayerSky);
        if (!batch) {
            logLine("Level: the sky frame \"%s\" has no sprite sheet in the sky layer; not shown", frameName.c_str());
            ++picturesLeftOut_;
            continue;
        }
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
    if (info_.effectsTextureAtlasName.empty() || !loadSpriteSheet(info_.effectsTextureAtlasName)) return;
    effectsTexture_ = textureNamed(pngNameOf(info_.effectsTextureAtlasName));
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
            PhysicsUtils::parseFixtureForBody(cameraBody_, fixture, nullptr, transform, 0.0f, 0.2f, 0.0f, 0,
                                              CollisionCategory::kScenery, CollisionMask::all());
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
            CollisionCategory category = CollisionCategory::kScenery;
            CollisionMask mask = CollisionMask::all();
            const bool sensor = fixture["is_sensor"].boolValue();
            const std::string sensorName = sensor ? fixture["sensor_name"].stringValue() : std::string();
            if (sensor) {
                definition.isSensor = true;
                category = CollisionCategory::kSensorArea;
                mask = CollisionCategory::kBeeHead;
                GameSensor* gameSensor = nullptr;
                if (gameLayer_ && sensorName == "hive") gameSensor = gameLayer_->hiveSensor();
                if (gameLayer_ && sensorName == "hide") gameSensor = gameLayer_->hideSensor();
                if (gameSensor) {
                    definition.userData.pointer = reinterpret_cast<uintptr_t>(gameSensor->physicsSystemBinding());
                }
            }
            if (fixture["is_bee_gate"].boolValue()) {
                category = CollisionCategory::kBeeGate;
                mask = CollisionMask::all();
            }
            const b2Fixture* made = PhysicsUtils::parseFixtureForBody(groundBody_, fixture, &definition, transform,
                                                                      0.0f, 0.2f, 0.0f, 0, category, mask);
            if (made && sensorName == "hive" && !hasHiveSensor_) {
                hasHiveSensor_ = true;
                hiveSensorPosition_ = pointInside(made);
            }
        }
    }
}

