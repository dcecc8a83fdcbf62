#include "game/core/PhysicsSprite.h"

#include <utility>

#include "engine/render/CCSpriteFrame.h"
#include "engine/render/CCSpriteFrameCache.h"
#include "game/core/PhysicsChecks.h"
#include "game/core/Units.h"
#include "platform/foundation/Log.h"

namespace {
// Node rotations turn clockwise, body angles counter-clockwise.
constexpr float kRadiansToNodeDegrees = -units::kDegreesPerRadian;
constexpr float kNodeDegreesToRadians = -units::kRadiansPerDegree;

bool autoDestroyAll = true;

template <typename Init>
RefPtr<PhysicsSprite> made(Init init) {
    auto sprite = makeRef<PhysicsSprite>();
    return init(*sprite) ? sprite : nullptr;
}
}  // namespace

RefPtr<PhysicsSprite> PhysicsSprite::node() {
    return made([](PhysicsSprite& s) { return s.init(); });
}

RefPtr<PhysicsSprite> PhysicsSprite::spriteWithFile(const std::string& file) {
    return made([&](PhysicsSprite& s) { return s.initWithFile(file); });
}

RefPtr<PhysicsSprite> PhysicsSprite::spriteWithSpriteFrame(const CCSpriteFrame* frame) {
    return made([&](PhysicsSprite& s) { return s.initWithSpriteFrame(frame); });
}

RefPtr<PhysicsSprite> PhysicsSprite::spriteWithSpriteFrameName(const std::string& name) {
    return made([&](PhysicsSprite& s) { return s.initWithSpriteFrameName(name); });
}

RefPtr<PhysicsSprite> PhysicsSprite::spriteWithTexture(RefPtr<CCTexture2D> texture, CGRect rect) {
    return made([&](PhysicsSprite& s) { return s.initWithTexture(std::move(texture), rect); });
}

bool PhysicsSprite::autoDestroyAllBodies() { return autoDestroyAll; }

void PhysicsSprite::setAutoDestroyAllBodies(bool autoDestroy) { autoDestroyAll = autoDestroy; }

bool PhysicsSprite::initWithTexture(RefPtr<CCTexture2D> texture, CGRect rect) {
    if (!CCSprite::initWithTexture(std::move(texture), rect)) return false;
    initPhysicsSystemSynchronisable();
    body_ = nullptr;
    autoDestroyAll = true;
    autoDestroyBody_ = true;
    rotationOffset_ = 0;
    return true;
}

PhysicsSprite::~PhysicsSprite() {
    if (!body_ || !autoDestroyAll) return;
    if (autoDestroyBody_ && worldAcceptsChanges(body_->GetWorld(), "DestroyBody")) {
        body_->GetWorld()->DestroyBody(body_);
    } else {
        // The body outlives the sprite: it must not point at the binding that goes with it.
        setBinding(body_, nullptr);
    }
}

void PhysicsSprite::setBody(b2Body* body) {
    if (body_) setBinding(body_, nullptr);
    body_ = body;
    if (!body_) return;
    setBinding(body_, &binding_);
    const b2Vec2 position = body_->GetPosition();
    const float angle = body_->GetAngle();
    setPreviousPosition(position, angle, position, angle);
}

void PhysicsSprite::destroyBody() {
    if (!body_ || !worldAcceptsChanges(body_->GetWorld(), "DestroyBody")) return;
    body_->GetWorld()->DestroyBody(body_);
    body_ = nullptr;
}

float PhysicsSprite::bodyX() const { return body_ ? body_->GetPosition().x : 0; }
float PhysicsSprite::bodyY() const { return body_ ? body_->GetPosition().y : 0; }
float PhysicsSprite::bodyAngle() const { return body_ ? body_->GetAngle() : 0; }

void PhysicsSprite::moveBody(b2Vec2 position, float angle) {
    if (!body_ || !setTransformChecked(body_, position, angle)) return;
    setPreviousPosition(position, angle, position, angle);
}

void PhysicsSprite::setBodyX(float x) { setBodyX(x, bodyY(), bodyAngle()); }
void PhysicsSprite::setBodyY(float y) { setBodyX(bodyX(), y, bodyAngle()); }
void PhysicsSprite::setBodyAngle(float angle) { setBodyX(bodyX(), bodyY(), angle); }
void PhysicsSprite::setBodyX(float x, float y) { setBodyX(x, y, bodyAngle()); }
void PhysicsSprite::setBodyX(float x, float y, float angle) { moveBody(b2Vec2(x, y), angle); }
void PhysicsSprite::setBodyPosition(b2Vec2 position, float angle) { moveBody(position, angle); }

void PhysicsSprite::initPhysicsSystemSynchronisable() {
    binding_.gameSprite = this;
    previousPosition_ = smoothedPosition_ = b2Vec2(0, 0);
    previousAngle_ = smoothedAngle_ = 0;
}

void PhysicsSprite::setPreviousPosition(b2Vec2 position, float angle) {
    previousPosition_ = position;
    previousAngle_ = angle;
}

void PhysicsSprite::setSmoothedPosition(b2Vec2 position, float angle) {
    smoothedPosition_ = position;
    smoothedAngle_ = angle;
}

void PhysicsSprite::setPreviousPosition(b2Vec2 position, float angle, b2Vec2 smoothedPosition, float smoothedAngle) {
    setPreviousPosition(position, angle);
    setSmoothedPosition(smoothedPosition, smoothedAngle);
}

void PhysicsSprite::showPose(b2Vec2 position, float angle) {
    setPosition(CGPointMake(position.x * static_cast<float>(units::kPointsPerMetre),
                            position.y * static_cast<float>(units::kPointsPerMetre)));
    setRotation(angle * kRadiansToNodeDegrees + rotationOffset_);
}

void PhysicsSprite::synchronise() {
    if (body_) showPose(body_->GetPosition(), body_->GetAngle());
}

void PhysicsSprite::synchroniseSmoothed() { showPose(smoothedPosition_, smoothedAngle_); }

void PhysicsSprite::synchroniseBody() {
    const CGPoint node = position();
    moveBody(b2Vec2(static_cast<float>(node.x) * units::kMetresPerPoint,
                    static_cast<float>(node.y) * units::kMetresPerPoint),
             (rotation() - rotationOffset_) * kNodeDegreesToRadians);
}
