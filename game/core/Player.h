#pragma once

#include <box2d/box2d.h>

#include <cstdint>

#include "engine/core/ccTypes.h"
#include "engine/render/CCSpriteBatchNode.h"
#include "game/core/CCMotionStreakLocal.h"
#include "game/core/PhysicsSprite.h"
#include "platform/foundation/Geometry.h"
#include "platform/foundation/Object.h"

class CCNode;
class CCSprite;
class CCSpriteFrame;
class GameContactListener;
class PhysicsSystem;
class PlayerGameDelegate;
class PlayerLevelDelegate;

// The lead bee, one per game: four Box2D bodies (head, body, right and left antenna) joined to the
// head by motorised revolute joints, drawn by six sprites from the sheet "vantrel.plist" in one
// batch node, with a large sensor circle on the head that finds flowers and a fading ribbon behind
// the head. Each frame (update) it drinks from the flowers its sensor touches, loses nectar to
// enemy sensors, pours its nectar into the hive while inside the hive's doorway, turns to face the
// way it flies, fades into hiding places, and drives its rig and trail.
//
// Nectar and honey are counted in droplets, 100000 to one unit. 32 points per metre; sprite
// rotations in degrees clockwise, body angles in radians counter-clockwise.
//
// The swarm, the speech bubbles, the sounds and the statistics are not wired to the bee yet: the
// operations of theirs that the bee calls do nothing, and the buddy bonus is 0.1 per buddy
// counted by setBuddyCount. Engine thread only.
class Player : public Object {
public:
    static constexpr float kPointsPerMetre = 32.0f;
    static constexpr uint32_t kBindingTypeBee = 1;

    // Collision filters of the bee's fixtures. Group -1 keeps the bee's parts apart.
    struct FilterBits {
        uint16_t category;
        uint16_t mask;
        int16_t group;
    };
    static constexpr FilterBits kHeadNormalFilter{0x0002, 0xFFE1, -1};
    // In a hiding place or the hive: birds, clouds and shots (0x0040, 0x2000 and up) pass.
    static constexpr FilterBits kHeadHiddenFilter{0x0002, 0x1FA1, -1};
    // Flying home at night: only hiding clouds still touch the head.
    static constexpr FilterBits kHeadNoHitFilter{0x0002, 0x0020, -1};
    static constexpr FilterBits kSensorNormalFilter{0x0008, 0x0100, -1};
    static constexpr FilterBits kSensorNoHitFilter{0x0008, 0x0000, -1};
    static constexpr FilterBits kPartFilter{0x0004, 0x0000, -1};

    // The bee of the running game, or null.
    static Player* currentPlayer();

    Player() = default;
    // Builds the rig at the level's spawn point in the play scene's physics world and becomes the
    // current player. False, with a log line, when the bee's sheet or trail cannot be loaded; the
    // delegates are not retained and must outlive the bee.
    bool init(PlayerGameDelegate* game, PlayerLevelDelegate* level);

    // The frame, after the physics step; dt in seconds.
    void update(float dt);
    // While paused the bee only blinks and flaps.
    void updatePaused(float dt);

    // The rig's animation, called by update.
    void updateBeeComponents();
    void wingFlap(float dt);
    void blink(float dt, bool force);

    // Pulls the head towards a point (points, or metres) with the force, waking it; nothing for a
    // force of 0 or less, and no pull from the head's own position.
    void pushTowardsPosition(CGPoint position, float force);
    void pushTowardsWorldPosition(const b2Vec2& position, float force);

    // Switches, each acting only when the value changes. Flying through the world: the head
    // touches nothing but hiding clouds. Sensing: the sensor finds flowers. Extra drag: the
    // body's linear damping is 7.5 instead of 3.75.
    bool canFlyThroughWorld() const { return canFlyThroughWorld_; }
    void setCanFlyThroughWorld(bool canFly);
    bool canSenseWorld() const { return canSenseWorld_; }
    void setCanSenseWorld(bool canSense);
    bool hasExtraLinearDrag() const { return hasExtraLinearDrag_; }
    void setHasExtraLinearDrag(bool extraDrag);

    // Pays 500 honey into the hive, once per game each.
    void awardAllFlowersVisitedBonus();
    void awardAllBuddiesFoundBonus();

    // The head sprite: the node that stands for the bee.
    PhysicsSprite* vantrel() const { return beeHeadSprite_.get(); }
    b2Body* vantrelBody() const { return headBody_; }
    // Points, in the holder's space. Virtual, like the time messages, so that the level's tests
    // can stand a bee in.
    virtual CGPoint position() const;
    CGPoint beeBodyPosition() const;
    // Where nectar streams into the bee's mouth, in the space of the head's parent.
    CGPoint beeMouthPosition();
    CGPoint beeMouthCollectionPosition();
    // The head's velocity after the last update: metres per second, its length, points per second.
    const b2Vec2& vantrelWorldVelocity() const { return vantrelWorldVelocity_; }
    float vantrelWorldSpeed() const { return vantrelWorldSpeed_; }
    CGPoint vantrelVelocity() const { return vantrelVelocity_; }
    bool vantrelFacingRight() const { return vantrelFacingRight_; }

    // Nectar carried and honey delivered, as units (droplets x 0.00001) or droplets.
    float nectar() const;
    void setNectar(float nectar);
    float hiveHoney() const;
    void setHiveHoney(float honey);
    uint64_t droplets() const { return droplets_; }
    void setDroplets(uint64_t droplets) { droplets_ = droplets; }
    uint64_t hiveDroplets() const { return hiveDroplets_; }
    void setHiveDroplets(uint64_t droplets) { hiveDroplets_ = droplets; }

    bool isConsumingNectar() const { return isConsumingNectar_; }
    bool isTransferringNectar() const { return isTransferringNectar_; }
    bool finalNectarTransferComplete() const { return finalNectarTransferComplete_; }
    // Metres flown this game.
    float distanceTravelled() const { return distanceTravelled_; }
    bool showStatsMessages() const { return showStatsMessages_; }
    void setShowStatsMessages(bool show) { showStatsMessages_ = show; }
    bool hasSolidContact() const { return hasSolidContact_; }
    void setHasSolidContact(bool contact) { hasSolidContact_ = contact; }
    bool allFlowersVisitedBonusAwarded() const { return allFlowersVisitedBonusAwarded_; }
    void setAllFlowersVisitedBonusAwarded(bool awarded) { allFlowersVisitedBonusAwarded_ = awarded; }
    bool allBuddiesFoundBonusAwarded() const { return allBuddiesFoundBonusAwarded_; }
    void setAllBuddiesFoundBonusAwarded(bool awarded) { allBuddiesFoundBonusAwarded_ = awarded; }
    // Bonus transfer of the hive visit under way: the multiplier (1 - the day's fraction when it
    // began) and the bonus droplets so far.
    float transferBonusMultiplier() const { return transferBonusMultiplier_; }
    uint64_t transferDropletsBonus() const { return transferDropletsBonus_; }

    // Buddies showing, and the extra share of nectar they bring: 0.1 each.
    int buddyCount() const { return buddyCount_; }
    void setBuddyCount(int count) { buddyCount_ = count; }
    float buddyBonus() const { return static_cast<float>(buddyCount_) * 0.1f; }

    // The nodes the play scene puts into its world.
    CCSpriteBatchNode* playerHolder() const { return playerHolder_.get(); }
    CCMotionStreakLocal* playerMotionStreak() const { return playerMotionStreak_.get(); }
    // The swarm's batch node: null until the swarm is built.
    CCSpriteBatchNode* buddyHolder() const { return nullptr; }

    // The rig, for the play scene and for checks.
    b2Body* bodyBody() const { return bodyBody_; }
    b2Body* antennaeRightBody() const { return antennaeRightBody_; }
    b2Body* antennaeLeftBody() const { return antennaeLeftBody_; }
    b2RevoluteJoint* headBodyJoint() const { return headBodyJoint_; }
    b2RevoluteJoint* headAntennaeRightJoint() const { return headAntennaeRightJoint_; }
    b2RevoluteJoint* headAntennaeLeftJoint() const { return headAntennaeLeftJoint_; }
    b2Fixture* beeHeadFixture() const { return beeHeadFixture_; }
    b2Fixture* beeSensorFixture() const { return beeSensorFixture_; }
    PhysicsSprite* beeBodySprite() const { return beeBodySprite_.get(); }
    PhysicsSprite* beeAntennaeRightSprite() const { return beeAntennaeRightSprite_.get(); }
    PhysicsSprite* beeAntennaeLeftSprite() const { return beeAntennaeLeftSprite_.get(); }
    CCSprite* beeWingFrontSprite() const { return beeWingFrontSprite_.get(); }
    CCSprite* beeWingBackSprite() const { return beeWingBackSprite_.get(); }
    float wingFlapAngle() const { return wingFlapAngle_; }
    float wingFlapPerc() const { return wingFlapPerc_; }
    bool blinking() const { return blinking_; }
    float blinkDelay() const { return blinkDelay_; }
    float hidePerc() const { return hidePerc_; }
    ccColor3B beeColour() const { return beeColour_; }

    // Operations of the swarm, the bubbles, the sounds and the statistics that the play scene
    // and the level call; they do nothing until those are wired to the bee.
    void onGameStart() {}
    void onGameFinish() {}
    void updateStats() {}
    virtual void showTimeInfoMessage(float) {}
    void hideTimeInfoMessage() {}
    virtual void showTimeUpInfoMessage() {}
    void setBuddiesUnderneath(bool) {}
    void startAudio() {}
    void endAudio() {}

    ~Player() override;

private:
    bool loadSprites();
    void createBodies(CGPoint spawn);
    void createJoints();
    static b2RevoluteJoint* joinToHead(b2World* world, b2Body* head, b2Body* part, b2Vec2 anchor, float limit);
    // Joint correction of one part: limit and the angle it is snapped back by past it.
    static void correctJoint(b2RevoluteJoint* joint, float limit, float snapBack);
    void placeWings(float flapDegrees);
    static void setFilter(b2Fixture* fixture, FilterBits bits);

    void drinkFromFlowers(float dt, bool* collected);
    void updateConsumptionStreak(bool collected);
    void applyEnemySensorPenalties();
    // Takes up to the penalty from the nectar carried.
    void loseNectar(uint64_t penalty);
    void updateHive(float dt, bool atHive);
    void updateFacing();
    void updateHiding(bool hidden);
    void setFacingRight(bool facingRight);

    // Swarm, bubbles and sounds: nothing until they are wired to the bee.
    void showBuddyBonusMessage() {}
    void showBuddyEncouragementMessage() {}
    void showBuddyWarningMessage() {}
    void playSuckSound() {}
    void stopSuckSound() {}
    void playDrainSound() {}
    void stopDrainSound() {}
    void updateBuddies(float) {}
    void updateAudio() {}

    PlayerGameDelegate* game_ = nullptr;    // not retained
    PlayerLevelDelegate* level_ = nullptr;  // not retained
    PhysicsSystem* physicsSystem_ = nullptr;
    b2World* physicsWorld_ = nullptr;
    GameContactListener* gameContactListener_ = nullptr;

    uint64_t droplets_ = 0;
    uint64_t hiveDroplets_ = 0;

    RefPtr<CCSpriteBatchNode> playerHolder_;
    RefPtr<CCMotionStreakLocal> playerMotionStreak_;
    bool vantrelFacingRight_ = true;
    RefPtr<PhysicsSprite> beeHeadSprite_;
    RefPtr<PhysicsSprite> beeBodySprite_;
    RefPtr<PhysicsSprite> beeAntennaeRightSprite_;
    RefPtr<PhysicsSprite> beeAntennaeLeftSprite_;
    RefPtr<CCSpriteFrame> beeHeadSpriteFrame_;
    RefPtr<CCSpriteFrame> beeHeadBlinkSpriteFrame_;
    RefPtr<CCSprite> beeWingFrontSprite_;
    RefPtr<CCSprite> beeWingBackSprite_;

    // Bodies and joints belong to the world.
    b2Body* headBody_ = nullptr;
    b2Body* bodyBody_ = nullptr;
    b2Body* antennaeRightBody_ = nullptr;
    b2Body* antennaeLeftBody_ = nullptr;
    b2RevoluteJoint* headBodyJoint_ = nullptr;
    b2RevoluteJoint* headAntennaeRightJoint_ = nullptr;
    b2RevoluteJoint* headAntennaeLeftJoint_ = nullptr;
    b2Fixture* beeHeadFixture_ = nullptr;
    b2Fixture* beeSensorFixture_ = nullptr;

    b2Vec2 vantrelWorldVelocity_{0, 0};  // metres per second
    float vantrelWorldSpeed_ = 0;        // metres per second
    CGPoint vantrelVelocity_ = CGPointZero;  // points per second
    float wingFlapAngle_ = 0;  // radians
    float wingFlapPerc_ = 0;   // 0 closed to 1 open
    bool blinking_ = false;
    float blinkDelay_ = 0;  // seconds to the next change
    float hidePerc_ = 1;    // 1 fully seen, 0 fully hidden
    ccColor3B beeColour_{255, 255, 255};
    bool canFlyThroughWorld_ = false;
    bool canSenseWorld_ = true;
    bool hasExtraLinearDrag_ = false;

    // Drinking streak.
    bool isConsumingNectar_ = false;
    uint64_t dropletsAtStartOfConsumption_ = 0;
    int64_t consumptionDropletsMilestone_ = 0;  // whole 500000-droplet steps announced

    // Hive visit.
    bool isTransferringNectar_ = false;
    bool transferredNectar_ = false;
    uint64_t dropletsAtStartOfTransfer_ = 0;
    uint64_t dropletsTransferred_ = 0;
    float transferBonusMultiplier_ = 0;
    uint64_t transferDropletsBonus_ = 0;
    uint32_t transferBonus_ = 0;  // whole honey units
    bool finalNectarTransferComplete_ = false;
    bool showStatsMessages_ = false;

    bool hasSolidContact_ = false;
    float distanceTravelled_ = 0;  // metres
    bool allFlowersVisitedBonusAwarded_ = false;
    bool allBuddiesFoundBonusAwarded_ = false;
    int buddyCount_ = 0;

    // Last frame's state.
    bool wasAtHive_ = false;
    bool wasTransferringNectar_ = false;
    bool wasConsumingNectar_ = false;
    bool wasInvincible_ = false;
};
