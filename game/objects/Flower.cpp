#include "game/objects/Flower.h"

#include <cmath>
#include <string>
#include <vector>

#include "engine/core/CCDirector.h"
#include "engine/core/CCTextureCache.h"
#include "engine/render/CCAnimation.h"
#include "engine/render/CCAnimationCache.h"
#include "engine/render/CCAnimationFrame.h"
#include "engine/render/CCSpriteFrame.h"
#include "engine/render/CCSpriteFrameCache.h"
#include "game/core/AnimationUtils.h"
#include "game/core/CollisionBits.h"
#include "game/core/PhysicsChecks.h"
#include "game/core/PhysicsSprite.h"
#include "game/core/PhysicsSystem.h"
#include "game/core/Units.h"
#include "game/core/VantrelGameLayer.h"
#include "game/objects/ObjectPhysics.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Value.h"

namespace game {

namespace {
constexpr int16_t kHeadGroup = 4;

// A count of droplets from nectar units, clamped to what 32 bits hold (0 for values not finite).
uint32_t dropletsFor(float nectar) {
    const double droplets = static_cast<double>(nectar) * Flower::kDropletsPerNectar;
    if (!(droplets > 0)) return 0;
    return droplets >= 4294967295.0 ? UINT32_MAX : static_cast<uint32_t>(droplets);
}

CGPoint rotated(CGPoint v, float radians) {
    const float c = std::cos(radians);
    const float s = std::sin(radians);
    return CGPoint{v.x * c - v.y * s, v.x * s + v.y * c};
}

bool readBool(const Value& data, const char* key, bool defaultValue) {
    const Value& value = data[key];
    return value.isNone() ? defaultValue : value.boolValue();
}
}  // namespace

RefPtr<Flower> Flower::flowerWithGameData(const Value& data) {
    RefPtr<Flower> flower(new Flower);
    flower->initGameObjectWithGameData(data);
    GameObjectBasicData basic;
    loadGameObjectSettingsFrom(data, &basic, false);
    if (!flower->createFlower(basic.position, basic.rotation, basic.scaleX, basic.scaleY, nullptr, true)) {
        return nullptr;
    }
    return flower;
}

RefPtr<Flower> Flower::flowerWithType(int32_t type, CGPoint position, float rotation, float scaleX, float scaleY,
                                      b2Body* joinToBody) {
    RefPtr<Flower> flower(new Flower);
    flower->initGameObjectWithType(type);
    if (!flower->createFlower(position, rotation, scaleX, scaleY, joinToBody, false)) return nullptr;
    return flower;
}

RefPtr<CCAnimation> Flower::flowerAnimation() {
    CCAnimationCache* cache = CCAnimationCache::sharedAnimationCache();
    if (RefPtr<CCAnimation> cached = cache->animationByName(typeName())) return cached;
    CCSpriteFrameCache* frames = CCSpriteFrameCache::sharedSpriteFrameCache();
    std::vector<std::string> names;
    if (frameCount_ < 2) {
        names = {imageName() + ".png", imageName() + ".png"};
    } else {
        for (int32_t i = 1; i <= frameCount_; ++i) names.push_back(imageName() + "_" + std::to_string(i) + ".png");
        names.push_back(imageName() + "_sleep.png");
    }
    std::vector<RefPtr<CCSpriteFrame>> spriteFrames;
    for (const std::string& name : names) {
        RefPtr<CCSpriteFrame> frame = frames->spriteFrameByName(name);
        if (!frame) {
            logLine("Game objects: flower %d refused: frame %s is missing", type(), name.c_str());
            return nullptr;
        }
        spriteFrames.push_back(frame);
    }
    RefPtr<CCAnimation> animation = CCAnimation::animationWithSpriteFrames(spriteFrames);
    if (animation && !typeName().empty()) cache->addAnimation(animation, typeName());
    return animation;
}

bool Flower::createFlower(CGPoint position, float rotation, float scaleX, float scaleY, b2Body* joinToBody,
                          bool offsetToBase) {
    setPriority(2);
    const Value& data = gameObjectData();
    const int64_t frames = data["frame_count"].integerValue();
    if (frames > AnimationUtils::kMaxFrames) {
        logLine("Game objects: flower %d refused: %lld frames", type(), static_cast<long long>(frames));
        return false;
    }
    frameCount_ = frames < 2 ? 1 : static_cast<int32_t>(frames);
    if (const Value& image = data["particle_image"]; !image.isNone()) {
        particleTexture_ = CCTextureCache::sharedTextureCache()->addImage(image.stringValue()).get();
    }
    frameNumber_ = UINT32_MAX;
    nextFrameNumber_ = 0;

    maxDroplets_ = droplets_ = dropletsFor(data["nectar"].floatValue());
    regrowDropletsRate_ = static_cast<float>(dropletsFor(data["regrow_rate"].floatValue()));
    const CGPoint headAnchor = NSPointFromString(data["head_anchor_position"].stringValue());
    const CGPoint jointAnchor = NSPointFromString(data["joint_anchor_position"].stringValue());
    const bool joinToGround = data["join_to_ground"].boolValue();
    const bool collideWithGround = readBool(data, "collide_with_ground", true);
    const bool useGravity = readBool(data, "use_gravity", true);
    playerAttraction_ = data["player_attraction"].floatValue();
    headRadius_ = data["head_radius"].floatValue();
    if (!std::isfinite(headRadius_) || headRadius_ < 0) headRadius_ = 0;
    if (std::fabs(scaleX) > units::kEpsilon || std::fabs(scaleY) > units::kEpsilon) {
        headRadius_ *= (std::fabs(scaleX) + std::fabs(scaleY)) * 0.5f;
    }
    GameObjectPhysicsData physics;
    loadPhysicsSettingsFrom(data, &physics, true);
    isSleeping_ = hasBeenVisited_ = isBeingConsumed_ = false;

    animation_ = flowerAnimation();
    if (!animation_ || animation_->frames().size() < static_cast<size_t>(frameCount_) + 1) return false;
    const CCSpriteFrame* full = animation_->frames()[frameCount_ - 1]->spriteFrame();
    CCDirector* director = CCDirector::sharedDirector();
    const double contentScale = director ? director->contentScaleFactor() : 1.0;
    const CGSize size{full->originalSizeInPixels().width / contentScale,
                      full->originalSizeInPixels().height / contentScale};
    if (!(size.width > 0) || !(size.height > 0)) {
        logLine("Game objects: flower %d refused: its full frame has no size", type());
        return false;
    }

    const float radians = rotation * units::kRadiansPerDegree;
    CGPoint root = position;
    if (offsetToBase) {
        const CGPoint offset =
            rotated(CGPoint{(jointAnchor.x - size.width / 2) * scaleX, (jointAnchor.y - size.height / 2) * scaleY},
                    radians);
        root = CGPoint{root.x + offset.x, root.y + offset.y};
    }
    const CGPoint headOffset =
        rotated(CGPoint{(headAnchor.x - jointAnchor.x) * scaleX, (headAnchor.y - jointAnchor.y) * scaleY}, radians);

    physicsSprite_ = PhysicsSprite::spriteWithSpriteFrame(full);
    if (!physicsSprite_) physicsSprite_ = PhysicsSprite::node();
    physicsSprite_->setScaleX(scaleX);
    physicsSprite_->setScaleY(scaleY);
    physicsSprite_->setAnchorPoint(CGPoint{headAnchor.x / size.width, headAnchor.y / size.height});
    showFrameForDroplets();

    if (!joinToBody && joinToGround) {
        if (PhysicsSystem* system = VantrelGameLayer::currentPhysicsSystem()) joinToBody = system->getGroundBody();
    }
    b2Body* head = ObjectPhysics::createBody(
        b2_dynamicBody, CGPoint{root.x + headOffset.x, root.y + headOffset.y}, rotation, physics);
    if (!head) return ObjectPhysics::keepsWithoutBody("flower", type());
    physicsSprite_->setBody(head);
    physicsSprite_->physicsSystemBinding()->type = BindingType::kFlower;
    physicsSprite_->physicsSystemBinding()->gameObject = this;

    b2CircleShape circle;
    circle.m_radius = headRadius_ / units::kPointsPerMetre;
    b2FixtureDef fixture;
    fixture.shape = &circle;
    fixture.density = physics.density;
    fixture.friction = physics.friction;
    fixture.restitution = physics.restitution;
    fixture.isSensor = false;
    fixture.filter = filterFor({kHeadGroup, CollisionCategory::kFlowerHead, collision::kFlowerHeadMask});
    head->CreateFixture(&fixture);

    if (joinToBody && joinToBody->GetWorld() == head->GetWorld()) {
        b2RevoluteJointDef joint;
        joint.Initialize(joinToBody, head,
                         b2Vec2(static_cast<float>(root.x) / units::kPointsPerMetre,
                                static_cast<float>(root.y) / units::kPointsPerMetre));
        joint.collideConnected = collideWithGround;
        if (isFinite(joint.localAnchorA) && isFinite(joint.localAnchorB)) head->GetWorld()->CreateJoint(&joint);
    }
    if (useGravity) ObjectPhysics::addToAntiGravity(head);
    ObjectPhysics::addToSynchronised(head);
    physicsSprite_->synchronise();
    ObjectPhysics::addToForeground(physicsSprite_.get());
    return true;
}

Flower::~Flower() { ObjectPhysics::releaseSprite(physicsSprite_.get(), this); }

b2Body* Flower::getPrimaryBody() { return physicsSprite_ ? physicsSprite_->body() : nullptr; }

void Flower::showAnimationFrame(uint32_t index) {
    if (!animation_ || !physicsSprite_ || index >= animation_->frames().size()) return;
    physicsSprite_->setDisplayFrame(animation_->frames()[index]->spriteFrame());
}

void Flower::showFrameForDroplets() {
    nextFrameNumber_ = 0;
    if (droplets_ > 0 && maxDroplets_ > 0) {
        const float fill = static_cast<float>(droplets_) / static_cast<float>(maxDroplets_);
        nextFrameNumber_ = static_cast<uint32_t>(std::ceil(static_cast<float>(frameCount_ - 1) * fill));
    }
    if (nextFrameNumber_ == frameNumber_) return;
    frameNumber_ = nextFrameNumber_;
    showAnimationFrame(frameNumber_);
}

void Flower::update(float dt) {
    if (!isSleeping_ && !isBeingConsumed_ && droplets_ < maxDroplets_ && std::isfinite(dt) && dt > 0) {
        const double grown = std::trunc(static_cast<double>(dt) * regrowDropletsRate_);
        const double total = static_cast<double>(droplets_) + grown;
        droplets_ = total >= maxDroplets_ ? maxDroplets_ : static_cast<uint32_t>(total);
        showFrameForDroplets();
    }
    isBeingConsumed_ = false;
}

uint32_t Flower::consumeDroplets(uint32_t droplets) {
    if (isSleeping_) {
        isBeingConsumed_ = false;
        return 0;
    }
    const uint32_t taken = droplets < droplets_ ? droplets : droplets_;
    droplets_ -= taken;
    showFrameForDroplets();
    isBeingConsumed_ = true;
    hasBeenVisited_ = true;
    return taken;
}

void Flower::setIsSleeping(bool sleeping) {
    if (sleeping == isSleeping_) return;
    isSleeping_ = sleeping;
    if (sleeping) {
        frameNumber_ = nextFrameNumber_ = static_cast<uint32_t>(frameCount_);
        showAnimationFrame(frameNumber_);
    } else {
        showFrameForDroplets();
    }
}

void Flower::pushTowardsPosition(CGPoint position, float force) {
    pushTowardsWorldPosition(b2Vec2(static_cast<float>(position.x) / units::kPointsPerMetre,
                                    static_cast<float>(position.y) / units::kPointsPerMetre),
                             force);
}

void Flower::pushTowardsWorldPosition(const b2Vec2& position, float force) {
    b2Body* body = getPrimaryBody();
    if (!(force > 0) || !body) return;
    b2Vec2 direction = position - body->GetPosition();
    if (direction.Length() >= units::kEpsilon) direction.Normalize();
    if (body->GetType() == b2_dynamicBody) applyForceChecked(body, force * direction, body->GetWorldCenter());
}

void Flower::setNectar(float nectar) { setDroplets(dropletsFor(nectar)); }

void Flower::setDroplets(uint32_t droplets) {
    droplets_ = droplets < maxDroplets_ ? droplets : maxDroplets_;
    showFrameForDroplets();
}

float Flower::nectarPerc() const {
    return maxDroplets_ == 0 ? 0.0f : static_cast<float>(droplets_) / static_cast<float>(maxDroplets_);
}

}  // namespace game
