#pragma once

#include <box2d/box2d.h>

#include <string>

#include "engine/render/CCSprite.h"
#include "game/core/PhysicsSystemBinding.h"
#include "game/core/PhysicsSystemSynchronisable.h"

class CCSpriteFrame;

// The sprite that shows one Box2D body. It embeds the binding its body's user data points to, so
// that whoever holds the body or a fixture finds the game object and this sprite. It keeps the
// body's pose from before the last fixed step and a smoothed pose between that and the current
// one; the physics system fills both and the sprite moves its node to the smoothed pose.
//
// 32 points per metre; node rotation in degrees clockwise, body angle in radians
// counter-clockwise. A sprite does nothing with a body it does not have. Engine thread only.
class PhysicsSprite : public CCSprite, public PhysicsSystemSynchronisable {
public:
    // The sprite factories, making physics sprites with no body.
    static RefPtr<PhysicsSprite> node();
    static RefPtr<PhysicsSprite> spriteWithFile(const std::string& file);
    static RefPtr<PhysicsSprite> spriteWithSpriteFrame(const CCSpriteFrame* frame);
    static RefPtr<PhysicsSprite> spriteWithSpriteFrameName(const std::string& name);
    static RefPtr<PhysicsSprite> spriteWithTexture(RefPtr<CCTexture2D> texture, CGRect rect);

    // Whether freed sprites may still destroy their bodies; YES again with every new sprite, and
    // set NO by the play scene before it deletes the world.
    static bool autoDestroyAllBodies();
    static void setAutoDestroyAllBodies(bool autoDestroy);

    // The sprite initialisation, then the physics state: no body, both flags YES, offset 0.
    using CCSprite::initWithTexture;
    bool initWithTexture(RefPtr<CCTexture2D> texture, CGRect rect) override;

    // Binds a body: the old one's user data is cleared (the old body is not destroyed), the new
    // one's points at this sprite's binding and both poses take its pose. Null only unbinds.
    void setBody(b2Body* body);
    b2Body* body() const { return body_; }
    // Owners set the binding's type and game object through this pointer.
    PhysicsSystemBinding* physicsSystemBinding() { return &binding_; }
    // Destroys the bound body whatever autoDestroyBody says (refused while the world steps).
    void destroyBody();

    bool autoDestroyBody() const { return autoDestroyBody_; }
    void setAutoDestroyBody(bool autoDestroy) { autoDestroyBody_ = autoDestroy; }
    // Degrees added to the rotation computed from the body's angle.
    float rotationOffset() const { return rotationOffset_; }
    void setRotationOffset(float degrees) { rotationOffset_ = degrees; }

    // The body's pose; 0 without a body.
    float bodyX() const;
    float bodyY() const;
    float bodyAngle() const;
    // Move the body, keeping what is not given, and set both poses to the pose just set, so the
    // move shows without blending. Refused (with a log line) for a pose that is not finite or a
    // world inside its step.
    void setBodyX(float x);
    void setBodyY(float y);
    void setBodyAngle(float angle);
    void setBodyX(float x, float y);
    void setBodyX(float x, float y, float angle);
    void setBodyPosition(b2Vec2 position, float angle);

    // PhysicsSystemSynchronisable.
    b2Vec2 previousPosition() const override { return previousPosition_; }
    void setPreviousPosition(b2Vec2 position) override { previousPosition_ = position; }
    b2Vec2 smoothedPosition() const override { return smoothedPosition_; }
    void setSmoothedPosition(b2Vec2 position) override { smoothedPosition_ = position; }
    float previousAngle() const override { return previousAngle_; }
    void setPreviousAngle(float angle) override { previousAngle_ = angle; }
    float smoothedAngle() const override { return smoothedAngle_; }
    void setSmoothedAngle(float angle) override { smoothedAngle_ = angle; }
    void initPhysicsSystemSynchronisable() override;
    void setPreviousPosition(b2Vec2 position, float angle) override;
    void setSmoothedPosition(b2Vec2 position, float angle) override;
    void setPreviousPosition(b2Vec2 position, float angle, b2Vec2 smoothedPosition, float smoothedAngle) override;
    // Node position = body position in points, rotation = -(angle in degrees) + offset.
    void synchronise() override;
    // The same from the smoothed pose.
    void synchroniseSmoothed() override;
    // Body pose = node position in metres, angle = -(rotation - offset) in radians; both poses too.
    void synchroniseBody() override;

protected:
    // Destroys the body when both auto-destroy flags allow it; otherwise, while the world still
    // exists, at least detaches the body from this sprite's binding.
    ~PhysicsSprite() override;

private:
    void showPose(b2Vec2 position, float angle);
    // SetTransform and both poses.
    void moveBody(b2Vec2 position, float angle);

    PhysicsSystemBinding binding_{BindingType::kNone, nullptr, this};
    b2Vec2 previousPosition_{0, 0};  // metres
    b2Vec2 smoothedPosition_{0, 0};  // metres
    float previousAngle_ = 0;        // radians
    float smoothedAngle_ = 0;        // radians
    b2Body* body_ = nullptr;
    bool autoDestroyBody_ = true;
    float rotationOffset_ = 0;       // degrees
};
