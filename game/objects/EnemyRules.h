#pragma once

#include <box2d/box2d.h>

#include <cstdint>
#include <functional>
#include <string>

#include "game/core/CollisionBits.h"
#include "game/core/GameObjectSettings.h"
#include "game/core/HitStatistic.h"
#include "game/core/LevelDataRange.h"
#include "game/core/PhysicsSystemBinding.h"
#include "game/objects/ObjectPhysics.h"
#include "platform/foundation/Geometry.h"
#include "platform/foundation/Object.h"

class CCAnimation;
class CCNode;
class CCSprite;
class GameObject;
class MovementProtocol;
class PhysicsSprite;
class Value;

namespace game {

class ProjectileData;
class Stamina;
class SimpleEffect;
class SimpleEffector;
class SimpleSoundEffect;

// The one rule set by which every enemy kind hurts the bee and shoots at it. Each kind holds one
// and adds only its own steps. Engine thread only.
//
// Contacts: a contact counts at most once per contact delay. A counted contact re-arms the delay,
// shows the contact effect at the bee's head, pushes the bee's head body, plays the contact
// sound, raises the kind's hit counter and costs the penalty; a refused one (inactive, or the
// delay not run out) does nothing at all. The delay counts down every frame and may go negative.
//
// Keys of the type dictionary:
//   "contact_delay" or its pair   seconds between counted contacts                 1
//   "contact_effect", "contact_effector", "contact_sound_effect"  component dictionaries
//   "nectar_penalty"              nectar per contact; only above 0 costs (x 100000 droplets)
//   "contact_animation"           animation played on a contact (birds and clouds); it must
//                                 name its frames with "image_name"
//   "projectile", "projectile_effect"  what the turret fires and its muzzle effect
//   "turret_image_name"           turns the turret on; "turret_position" (points from the
//                                 enemy sprite's centre), "turret_anchor_point" (points of the
//                                 turret image), "turret_animation" (looped), "turret_flip_y"
//   "fixtures", "vision_fixtures" fixture dictionaries of the body and of its vision
//
// Fixtures: sensor fixtures report the bee through the enemy's body binding (kEnemy); vision
// fixtures, sensors that only see the bee, through a binding of kEnemyVision the rules own. An enemy
// leaves the contact listener's lists when it goes (release), so no binding outlives it.
class EnemyRules {
public:
    static constexpr uint32_t kDropletsPerNectar = 100000;

    // Collision filter of a kind's fixtures. Enemies never touch each other (group -2).
    using Filter = ObjectPhysics::Filter;
    // Flyers (birds, hunters, clouds) meet only the bee; ground creatures, cameras and roosters
    // also the raft.
    static constexpr Filter kFlyingFilter{collision::kEnemyGroup, CollisionCategory::kFlyingEnemy,
                                          CollisionCategory::kBeeHead};
    static constexpr Filter kGroundFilter{collision::kEnemyGroup, CollisionCategory::kGroundEnemy,
                                          CollisionCategory::kBeeHead | CollisionCategory::kProp};
    static constexpr Filter kVisionFilter{collision::kEnemyGroup, CollisionCategory::kEnemyVision,
                                          CollisionCategory::kBeeHead};

    // Where hits are counted: on the running game's bee (Player::countHit), unless a counter is
    // installed in its place (tests record hits so); without either hits are not counted.
    using HitCounter = std::function<void(HitStatistic)>;
    static void setHitCounter(HitCounter counter);
    static void countHit(HitStatistic statistic);
    // The lead bee's head sprite and body in the running level, or null.
    static PhysicsSprite* beeHead();
    static b2Body* beeHeadBody();
    // "nectar_penalty" in droplets: 0 unless above 0, at most 2^32 - 1.
    static uint32_t readPenalty(const Value& data);

    EnemyRules();
    ~EnemyRules();
    EnemyRules(const EnemyRules&) = delete;
    EnemyRules& operator=(const EnemyRules&) = delete;

    // Contact keys: delay (then a first delay is drawn), effect, effector, sound, penalty.
    void readContactKeys(const Value& data);
    // The contact animation, cached as "<type name>_contact_animation"; none, with a log line,
    // when its dictionary names no frames.
    void readContactAnimation(const Value& data, const std::string& typeName);
    // "projectile" and "projectile_effect".
    void readShooterKeys(const Value& data);

    // Dynamic body at the placement (points, degrees counter-clockwise) with the physics settings,
    // bound to the sprite with the binding type and the owner; the fixtures with the filter, each
    // sensor among them bound to the sprite's binding; with `withVision`, the vision fixtures. All
    // fixtures at the scales. Null without a world.
    b2Body* createBody(GameObject* owner, PhysicsSprite* sprite, b2BodyType type, CGPoint position, float rotation,
                       const GameObjectPhysicsData& physics, const Value& data, Filter filter, BindingType bindingType,
                       bool withVision, float scaleX = 1.0f, float scaleY = 1.0f);
    // Binds every sensor fixture of the body that has no binding yet to the sprite's binding (they
    // then report the bee as enemy sensor contacts).
    void bindSensors(b2Body* body, PhysicsSprite* sprite);
    // The turret of the "turret_*" keys as a child of the enemy sprite; none without
    // "turret_image_name", and none, with a log line, when its frame has no size.
    void createTurret(const Value& data, CCSprite* enemySprite);

    // The frame: counts the contact delay and the reload down.
    void update(float dt);
    // The frame of a creature that walks a movement node by its stamina: update; while the rhythm
    // lets it walk, the movement steps and `driven` follows the node (`scaled`, or null, taking the
    // node's scale); a turret without vision tracks the bee.
    void updateWalk(GameObject* owner, PhysicsSprite* sprite, Stamina* stamina, MovementProtocol* movement,
                    const CCNode* node, b2Body* driven, CCSprite* scaled, float dt);
    void resetContactDelay() { contactDelay_ = contactDelayRange_.draw(); }

    // The contact sequence in three parts, for kinds that add steps between them:
    // whether the contact counts (then the delay is re-armed);
    bool admitContact();
    // the effect at the bee (with the enemy sprite's rotation), the push from the enemy's body and
    // the sound;
    void hurtBee(PhysicsSprite* enemySprite) const { hurtBee(enemySprite, contactEffector_.get()); }
    // The same with another push (or none).
    void hurtBee(PhysicsSprite* enemySprite, const SimpleEffector* push) const;
    // the hit counted; the penalty.
    uint32_t countContact(HitStatistic statistic) const;
    // The whole sequence for kinds without steps of their own.
    uint32_t contact(PhysicsSprite* enemySprite, HitStatistic statistic);

    // The bee is in view: the turret aims at it and, while active and loaded, fires.
    void visionContact(CCSprite* enemySprite);
    // Turns the turret towards the bee's head (nothing without a turret or a bee).
    void updateTurret(CCSprite* enemySprite);
    // One aimed shot from the turret (or the enemy sprite) handed to the level, then a reload.
    void fireProjectile(CCSprite* enemySprite);

    // The enemy's sprite: the first frame of the owner's idle animation, else the frame
    // "<image name>.png" (an empty sprite, with a log line, when it is missing).
    static RefPtr<PhysicsSprite> createSprite(GameObject* owner);
    // Into the current level's batch node for its texture in the sprite layer; false when there is
    // none (the sprite is then not drawn).
    static bool addToSpriteLayer(CCSprite* sprite, int layer);
    // A body its movement drives joins the auto-stop controller, which stills it after every step;
    // one without a movement is made static and leaves the synchronised bodies.
    static void settleBody(b2Body* body, bool hasMovement);
    // Out of the auto-stop controller again.
    static void leaveAutoStop(b2Body* body);
    // One spray shot of the data's type from `origin` (points), handed to the level: the launch
    // offset and the spray centred on `referenceAngle` (degrees counter-clockwise), the shot
    // turned by `rotation` (degrees). Refused, with a log line, when the spray has no direction
    // there (a gravity-relative spray at the planet centre) or the type has no body.
    static bool fireSprayShot(const ProjectileData& data, CGPoint origin, float referenceAngle, float rotation);
    // The walk/rest rhythm of a creature on a movement: when the stamina comes to rest the
    // movement stops and the owner's idle animation stops on its idle frame; when it becomes
    // active the movement may turn about (a random-direction path) and the animation plays
    // again. True when the movement should advance this frame (no stamina, or active).
    static bool stepRhythm(GameObject* owner, Stamina* stamina, MovementProtocol* movement, CCSprite* sprite,
                           float dt);
    // The owner's idle animation plays on the sprite while the stamina is active (or there is
    // none) and stands on its idle frame while it rests.
    static void showRhythm(GameObject* owner, const Stamina* stamina, CCSprite* sprite);
    // The owner's movement on a node of its own at the position (points) and rotation (degrees
    // clockwise, as nodes take them), which the body then follows (followNode). `node` holds the
    // node while there is a movement and is emptied when there is none.
    static RefPtr<MovementProtocol> createMovement(GameObject* owner, CGPoint position, float rotation,
                                                   const Value& pathData, RefPtr<CCNode>* node);
    // Drives the body to the movement node within one 1/60 s step (position and angle) and gives
    // the sprite the node's scale.
    static void followNode(b2Body* body, const CCNode* node, CCSprite* sprite);
    // The owner leaves the contact listener's lists; its sprite's body leaves the controllers and
    // is destroyed, and the sprite leaves its parent.
    static void release(GameObject* owner, PhysicsSprite* sprite);

    bool active() const { return active_; }
    void setActive(bool active) { active_ = active; }
    float contactDelay() const { return contactDelay_; }
    void setContactDelay(float seconds) { contactDelay_ = seconds; }
    uint32_t nectarDropletsPenalty() const { return nectarDropletsPenalty_; }
    void setNectarDropletsPenalty(uint32_t droplets) { nectarDropletsPenalty_ = droplets; }
    bool hasContactSensor() const { return hasContactSensor_; }
    bool hasVisionSensor() const { return hasVisionSensor_; }
    CCAnimation* contactAnimation() const { return contactAnimation_.get(); }
    ProjectileData* projectile() const { return projectile_.get(); }
    CCSprite* turretSprite() const { return turretSprite_.get(); }
    bool flipTurret() const { return flipTurret_; }
    void setFlipTurret(bool flip) { flipTurret_ = flip; }

private:
    // The turret's pivot in the space of the enemy sprite's parent.
    CGPoint turretOrigin(CCSprite* enemySprite) const;

    bool active_ = true;
    float contactDelay_ = 0;              // seconds left; may be negative
    LevelDataRange contactDelayRange_{1.0f, 1.0f, 0};
    RefPtr<SimpleEffect> contactEffect_;
    RefPtr<SimpleEffector> contactEffector_;
    RefPtr<SimpleSoundEffect> contactSoundEffect_;
    RefPtr<CCAnimation> contactAnimation_;
    uint32_t nectarDropletsPenalty_ = 0;
    RefPtr<ProjectileData> projectile_;
    RefPtr<SimpleEffect> projectileEffect_;
    bool hasContactSensor_ = false;
    bool hasVisionSensor_ = false;
    PhysicsSystemBinding physicsVisionBinding_;  // kEnemyVision once vision fixtures are built
    RefPtr<CCSprite> turretSprite_;
    bool flipTurret_ = false;
};

}  // namespace game
