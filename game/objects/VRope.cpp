#include "game/objects/VRope.h"

#include <epoxy/gl.h>

#include <cmath>

#include "engine/core/CCTexture2D.h"
#include "engine/core/CCTextureAtlas.h"
#include "engine/render/CCSprite.h"
#include "engine/render/CCSpriteBatchNode.h"
#include "game/core/Units.h"
#include "game/objects/RopeJointWatch.h"
#include "platform/foundation/Log.h"

namespace game {

namespace {
constexpr float kOriginPull = -10.0f;  // points per second towards the world origin

CGPoint pointsOf(b2Vec2 metres) {
    return CGPointMake(metres.x * units::kPointsPerMetre, metres.y * units::kPointsPerMetre);
}
}  // namespace

RefPtr<VRope> VRope::ropeWithJoint(b2Joint* joint, CCSpriteBatchNode* spriteSheet) {
    if (!joint) return nullptr;
    RefPtr<VRope> rope(new VRope);
    rope->spriteSheet_ = spriteSheet;
    if (!rope->createRope(pointsOf(joint->GetAnchorA()), pointsOf(joint->GetAnchorB()))) return nullptr;
    rope->jointAB_ = joint;
    RopeJointWatch::watch(joint, rope.get());
    return rope;
}

RefPtr<VRope> VRope::ropeWithBodies(b2Body* bodyA, b2Body* bodyB, CCSpriteBatchNode* spriteSheet) {
    if (!bodyA || !bodyB) return nullptr;
    RefPtr<VRope> rope(new VRope);
    rope->spriteSheet_ = spriteSheet;
    if (!rope->createRope(pointsOf(bodyA->GetPosition()), pointsOf(bodyB->GetPosition()))) return nullptr;
    rope->bodyA_ = bodyA;
    rope->bodyB_ = bodyB;
    return rope;
}

RefPtr<VRope> VRope::ropeWithPoints(CGPoint pointA, CGPoint pointB, CCSpriteBatchNode* spriteSheet) {
    RefPtr<VRope> rope(new VRope);
    rope->spriteSheet_ = spriteSheet;
    if (!rope->createRope(pointA, pointB)) return nullptr;
    rope->usesPoints_ = true;
    rope->givenA_ = pointA;
    rope->givenB_ = pointB;
    return rope;
}

VRope::~VRope() {
    if (jointAB_) RopeJointWatch::forget(jointAB_);
}

bool VRope::createRope(CGPoint pointA, CGPoint pointB) {
    const float dx = static_cast<float>(pointB.x - pointA.x);
    const float dy = static_cast<float>(pointB.y - pointA.y);
    const float gap = std::sqrt(dx * dx + dy * dy);
    if (!(gap >= kMinimumGap) || !std::isfinite(gap)) {
        logLine("Game objects: a rope over a gap of %g points is refused (at least %g needed)", gap, kMinimumGap);
        return false;
    }
    const int32_t count = static_cast<int32_t>(gap / kPixelsPerPoint);
    points_.resize(static_cast<size_t>(count));
    layPoints(pointA, pointB);
    sticks_.reserve(points_.size() - 1);
    for (size_t i = 0; i + 1 < points_.size(); ++i) sticks_.emplace_back(&points_[i], &points_[i + 1]);
    if (spriteSheet_) createSprites(gap / static_cast<float>(count - 1));
    return true;
}

void VRope::layPoints(CGPoint pointA, CGPoint pointB) {
    const float dx = static_cast<float>(pointB.x - pointA.x);
    const float dy = static_cast<float>(pointB.y - pointA.y);
    const float gap = std::sqrt(dx * dx + dy * dy);
    const float segment = gap / static_cast<float>(points_.size() - 1);
    const float ux = gap > 0 ? dx / gap : 0;
    const float uy = gap > 0 ? dy / gap : 0;
    for (size_t i = 0; i < points_.size(); ++i) {
        const float along = (1.0f - antiSagHack_) * static_cast<float>(i) * segment;
        points_[i].setPos(static_cast<float>(pointA.x) + ux * along, static_cast<float>(pointA.y) + uy * along);
    }
}

void VRope::createSprites(float segment) {
    CCTextureAtlas* atlas = spriteSheet_->textureAtlas();
    CCTexture2D* texture = atlas ? atlas->texture() : nullptr;
    if (!texture || sticks_.empty()) return;
    // The picture repeats along the sprite instead of being stretched over it.
    const ccTexParams params{GL_LINEAR, GL_LINEAR, GL_REPEAT, GL_REPEAT};
    texture->setTexParameters(&params);
    const CGRect rect = CGRectMake(0, 0, segment, texture->contentSize().height);
    sprites_.reserve(sticks_.size());
    for (size_t i = 0; i < sticks_.size(); ++i) {
        RefPtr<CCSprite> sprite = CCSprite::spriteWithTexture(RefPtr<CCTexture2D>(texture), rect);
        if (!sprite) continue;
        spriteSheet_->addChild(sprite.get());
        sprites_.push_back(sprite);
    }
    updateSprites();
}

bool VRope::currentEnds(CGPoint* pointA, CGPoint* pointB) const {
    if (broken_) return false;
    if (bodyA_) {
        *pointA = pointsOf(bodyA_->GetPosition());
        *pointB = pointsOf(bodyB_->GetPosition());
    } else if (jointAB_) {
        *pointA = pointsOf(jointAB_->GetAnchorA());
        *pointB = pointsOf(jointAB_->GetAnchorB());
    } else if (usesPoints_) {
        *pointA = givenA_;
        *pointB = givenB_;
    } else {
        return false;
    }
    return true;
}

void VRope::updateWithPreIntegratedOriginGravity(float dt) {
    CGPoint a, b;
    if (!currentEnds(&a, &b)) return;
    float gx = -static_cast<float>(a.x + b.x) * 0.5f;
    float gy = -static_cast<float>(a.y + b.y) * 0.5f;
    const float length = std::sqrt(gx * gx + gy * gy);
    if (length > 0) {
        gx /= length;
        gy /= length;
    }
    updateWithPoints(a, b, gx * kOriginPull * dt, gy * kOriginPull * dt);
}

void VRope::updateWithPreIntegratedGravity(float dt) {
    updateWithPreIntegratedGravity(dt, VPoint::gravityX(), VPoint::gravityY());
}

void VRope::updateWithPreIntegratedGravity(float dt, float gx, float gy) {
    CGPoint a, b;
    if (currentEnds(&a, &b)) updateWithPoints(a, b, gx * dt, gy * dt);
}

void VRope::update(float dt) {
    CGPoint a, b;
    if (currentEnds(&a, &b)) updateWithPoints(a, b, dt);
}

void VRope::reset() {
    CGPoint a, b;
    if (currentEnds(&a, &b)) resetWithPoints(a, b);
}

void VRope::updateWithPoints(CGPoint pointA, CGPoint pointB, float gxdt, float gydt) {
    if (points_.size() < 2) return;
    points_.front().setPos(static_cast<float>(pointA.x), static_cast<float>(pointA.y));
    points_.back().setPos(static_cast<float>(pointB.x), static_cast<float>(pointB.y));
    for (size_t i = 1; i + 1 < points_.size(); ++i) {
        points_[i].applyGravityxdt(gxdt, gydt);
        points_[i].update();
    }
    for (int pass = 0; pass < kRelaxations; ++pass) {
        for (VStick& stick : sticks_) stick.contract();
    }
}

void VRope::updateWithPoints(CGPoint pointA, CGPoint pointB, float dt) {
    updateWithPoints(pointA, pointB, VPoint::gravityX() * dt, VPoint::gravityY() * dt);
}

void VRope::resetWithPoints(CGPoint pointA, CGPoint pointB) {
    if (points_.size() >= 2) layPoints(pointA, pointB);
}

void VRope::updateSprites() {
    if (!spriteSheet_) return;
    for (size_t i = 0; i < sprites_.size() && i < sticks_.size(); ++i) {
        const VPoint* a = sticks_[i].getPointA();
        const VPoint* b = sticks_[i].getPointB();
        sprites_[i]->setPosition(CGPointMake((a->x() + b->x()) * 0.5f, (a->y() + b->y()) * 0.5f));
        sprites_[i]->setRotation(-std::atan2(a->y() - b->y(), a->x() - b->x()) * units::kDegreesPerRadian);
    }
}

void VRope::removeSprites() {
    for (const RefPtr<CCSprite>& sprite : sprites_) sprite->removeFromParentAndCleanup(true);
    sprites_.clear();
}

void VRope::jointDestroyed() {
    removeSprites();
    jointAB_ = nullptr;
    broken_ = true;
}

}  // namespace game
