#include "game/objects/Raft.h"

#include <cmath>

#include "engine/render/CCSprite.h"
#include "game/core/CollisionBits.h"
#include "game/core/PhysicsChecks.h"
#include "game/core/PhysicsSprite.h"
#include "game/core/PhysicsSystem.h"
#include "game/core/Units.h"
#include "game/core/VantrelGameLayer.h"
#include "game/objects/GameObjectKinds.h"
#include "game/objects/MachineParts.h"
#include "game/objects/ObjectPhysics.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Value.h"

namespace game {

namespace {
constexpr int16_t kGroup = 7;

std::string imageOr(const Value& name, const std::string& fallback) {
    return (name.isString() ? name.stringValue() : fallback) + ".png";
}
}  // namespace

RefPtr<Raft> Raft::raftWithType(int32_t type, CGPoint position, float rotation, float, float) {
    RefPtr<Raft> raft(new Raft);
    raft->initGameObjectWithType(type);
    if (!raft->createRaft(position, rotation)) return nullptr;
    return raft;
}

bool Raft::createRaft(CGPoint position, float rotation) {
    setPriority(1);
    if (!GameObjectKinds::isKind("Raft", type())) return true;
    const Value& data = gameObjectData();
    GameObjectPhysicsData physics;
    loadPhysicsSettingsFrom(data, &physics, true);
    const std::string mastFrame = imageOr(data["mast_image_name"], imageName() + "_mast");
    const CGSize mastSize = MachineParts::frameSize(mastFrame);
    const double radius = std::hypot(position.x, position.y);
    if (!(mastSize.height > 0)) {
        logLine("Game objects: raft %d refused: frame %s is missing", type(), mastFrame.c_str());
        return false;
    }
    if (!(radius > units::kEpsilon)) {
        logLine("Game objects: raft %d refused: at the planet's centre it has no line to slide along", type());
        return false;
    }

    const std::string halfFrame = imageName() + ".png";
    RefPtr<CCSprite> right = ObjectPhysics::spriteWithFrameName(halfFrame);
    right->setPosition(CGPointFromString(data["raft_right_position"].stringValue()));
    RefPtr<CCSprite> left = ObjectPhysics::spriteWithFrameName(halfFrame);
    left->setFlipX(true);
    left->setPosition(CGPointFromString(data["raft_left_position"].stringValue()));
    RefPtr<CCSprite> flag = ObjectPhysics::spriteWithFrameName(imageOr(data["flag_image_name"], imageName() + "_mast"));
    flag->setPosition(CGPointFromString(data["flag_position"].stringValue()));
    const float mastHeight = data["mast_height"].floatValue();
    RefPtr<CCSprite> mast = ObjectPhysics::spriteWithFrameName(mastFrame);
    mast->setScaleY(mastHeight / static_cast<float>(mastSize.height));
    const CGPoint base = CGPointFromString(data["mast_base_position"].stringValue());
    mast->setPosition(CGPointMake(base.x, base.y + mastHeight / 2));
    physicsSprite_ = MachineParts::carrierSprite(right->texture());
    for (CCSprite* part : {mast.get(), flag.get(), right.get(), left.get()}) physicsSprite_->addChild(part);

    b2Body* body = ObjectPhysics::createBodyWithFixtures(physicsSprite_.get(), b2_dynamicBody, position, rotation,
                                                         physics, data["fixtures"],
                                                         {kGroup, CollisionCategory::kProp, collision::kPropMask});
    if (!body) return ObjectPhysics::keepsWithoutBody("raft", type());
    physicsSprite_->physicsSystemBinding()->gameObject = this;

    // The pivot turns about the centre and carries the raft's radial line round with it.
    const float polar = static_cast<float>(std::atan2(position.y, position.x));
    b2BodyDef pivotDefinition;
    pivotDefinition.type = b2_dynamicBody;
    pivotDefinition.angle = polar;
    b2World* world = body->GetWorld();
    b2Body* pivot = world->CreateBody(&pivotDefinition);
    PhysicsSystem* system = VantrelGameLayer::currentPhysicsSystem();
    if (system && system->getGroundBody()) {
        b2RevoluteJointDef pin;
        pin.Initialize(system->getGroundBody(), pivot, b2Vec2(0, 0));
        world->CreateJoint(&pin);
    }
    b2Vec2 axis(static_cast<float>(position.x), static_cast<float>(position.y));
    axis.Normalize();
    b2WheelJointDef slide;
    slide.Initialize(body, pivot, b2Vec2(0, 0), axis);
    slide.collideConnected = true;
    slide.enableMotor = false;
    b2LinearStiffness(slide.stiffness, slide.damping, data["wheel_joint_frequency"].floatValue(),
                      data["wheel_joint_damping_ratio"].floatValue(), body, pivot);
    world->CreateJoint(&slide);

    ObjectPhysics::addToSynchronised(body);
    physicsSprite_->synchronise();
    ObjectPhysics::addToForeground(physicsSprite_.get());
    return true;
}

Raft::~Raft() { ObjectPhysics::releaseSprite(physicsSprite_.get(), this); }

b2Body* Raft::getPrimaryBody() { return physicsSprite_ ? physicsSprite_->body() : nullptr; }

}  // namespace game
