#pragma once

#include <box2d/box2d.h>

#include <array>
#include <cstdint>

#include "engine/core/ccTypes.h"
#include "engine/render/CCSpriteBatchNode.h"
#include "game/core/CCMotionStreakLocal.h"
#include "game/core/CollisionBits.h"
#include "game/core/GameMessage.h"
#include "game/core/GameMessages.h"
#include "game/core/HitStatistic.h"
#include "game/core/PlayerCacheData.h"
#include "game/core/PhysicsSprite.h"
#include "platform/foundation/Geometry.h"
#include "platform/foundation/Object.h"

class ALBuffer;
class ALChannelSource;
class ALSource;
class CCNode;
class CCSprite;
class CCSpriteFrame;
class GameContactListener;
class PhysicsSystem;
class PlayerGameDelegate;
class PlayerLevelDelegate;
class PlayerSwarm;
namespace game {
class SimpleSoundEffect;
}

// The lead bee, one per game: four Box2D bodies (head, body, right and left antenna) joined to the
// head by motorised revolute joints, drawn by six sprites from the sheet "vantrel.plist" in one
// batch node, with a large sensor circle on the head that finds flowers and a fading ribbon behind
// the head. Each frame (update) it drinks from the flowers its sensor touches, loses nectar to
// enemy sensors, pours its nectar into the hive while inside the hive's doorway, turns to face the
// way it flies, fades into hiding places, and drives its rig, trail, swarm, bubbles and sounds.
// After each physics step the contact listener hands it the pickups, enemy bodies and shots its
// head touched.
//
// Nectar and honey are counted in droplets, 100000 to one unit. 32 points per metre; sprite
// rotations in degrees clockwise, body angles in radians counter-clockwise.
//
// Sounds go through the audio front (VantrelAudio): the player-loop channels carry the wind, buzz,
// drinking and pouring loops, the event channel the buzz hit. A sound that cannot be loaded logs
// one line at load and then plays, fades and stops nothing. Engine thread only.
class Player : public Object {
public:
    // Collision filters of the bee's fixtures. Its group keeps the bee's parts apart.
    using FilterBits = CollisionFilter;
    // The head meets all but the bee itself and the bee gates.
    static constexpr FilterBits kHeadNormalFilter{
        collision::kBeeGroup, CollisionCategory::kBeeHead,
        CollisionMask::all().without(CollisionCategory::kBeeHead | CollisionCategory::kBeePart |
                                     CollisionCategory::kBeeSensing | CollisionCategory::kBeeGate)};
    // In a hiding place or the hive: flyers, shots, wind and enemies' eyes pass.
    static constexpr FilterBits kHeadHiddenFilter{
        collision::kBeeGroup, CollisionCategory::kBeeHead,
        kHeadNormalFilter.mask.without(CollisionCategory::kFlyingEnemy | CollisionCategory::kShot |
                                       CollisionCategory::kWindBlade | CollisionCategory::kEnemyVision)};
    // Flying home at night: only the hive and hiding places still touch the head.
    static constexpr FilterBits kHeadNoHitFilter{collision::kBeeGroup, CollisionCategory::kBeeHead,
                                                 CollisionCategory::kSensorArea};
    static constexpr FilterBits kSensorNormalFilter{collision::kBeeGroup, CollisionCategory::kBeeSensing,
                                                    CollisionCategory::kFlowerHead};
    static constexpr FilterBits kSensorNoHitFilter{collision::kBeeGroup, CollisionCategory::kBeeSensing,
                                                   CollisionMask::none()};
    static constexpr FilterBits kPartFilter{collision::kBeeGroup, CollisionCategory::kBeePart, CollisionMask::none()};

    // The bee of the running game, or null.
    static Player* currentPlayer();

    Player();
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

    // The head sprite: the node that stands for the bee. Virtual, so that the objects' tests can
    // stand in a one-ball bee.
    virtual PhysicsSprite* vantrel() const { return beeHeadSprite_.get(); }
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
    int buddiesShowing() const;
    float buddyBonus() const;
    PlayerSwarm* swarm() const { return swarm_.get(); }

    // The nodes the play scene puts into its world.
    CCSpriteBatchNode* playerHolder() const { return playerHolder_.get(); }
    CCMotionStreakLocal* playerMotionStreak() const { return playerMotionStreak_.get(); }
    CCSpriteBatchNode* buddyHolder() const;

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

    // Contacts of the last physics step, from the contact listener's lists. Pickups: their
    // nectar, honey and time summed into one bubble each, their buddies joining after the
    // nectar is credited. Enemy bodies and shots: their penalties summed; a sum of 0 or less
    // takes nothing. Either way the bee blinks.
    void handlePickupContacts();
    void handleEnemyContacts();
    void handleProjectileContacts();

    // The day's clock: "SECONDS LEFT" for the time (seconds) with a tick, "TIME'S UP" at the end.
    virtual void showTimeInfoMessage(float seconds);
    void hideTimeInfoMessage();
    virtual void showTimeUpInfoMessage();
    void showAllFlowersVisitedMessage();
    void showAllBuddiesFoundMessage();
    // The pooled bubbles: the next of each pool, taken out of its queue first when still shown,
    // so the oldest is reused.
    GameMessage* nextNectarBonusMessage();
    GameMessage* nextNectarPenaltyMessage();
    GameMessage* nextHoneyBonusMessage();
    GameMessage* nextTimeBonusMessage();
    GameMessage* nextTimePenaltyMessage();

    bool buddiesUnderneath() const;
    void setBuddiesUnderneath(bool underneath);

    // One more hit on the counter of that kind (enemies count their contacts so).
    void countHit(game::HitStatistic statistic);
    // The game's statistics: started and finished games are saved at once; updateStats adds the
    // rest of this game's counters to the saved statistics when it ends.
    void onGameStart();
    void onGameFinish();
    void updateStats();

    // Wind and buzz loops for the whole game; endAudio stops every loop of the bee.
    void startAudio();
    void endAudio();
    void playSuckSound();
    void stopSuckSound();
    void playDrainSound();
    void stopDrainSound();
    ALSource* windSoundSource() const { return windSoundSource_.get(); }
    ALSource* buzzSoundSource() const { return buzzSoundSource_.get(); }
    ALSource* suckSoundSource() const { return suckSoundSource_.get(); }
    ALSource* drainSoundSource() const { return drainSoundSource_.get(); }

    // The bubble queues and bubbles, for the play scene and for checks.
    GameMessages* messagesInfo() const { return messagesInfo_.get(); }
    GameMessages* messagesBonus() const { return messagesBonus_.get(); }
    GameMessages* hiveMessagesInfo() const { return hiveMessagesInfo_.get(); }
    GameMessages* hiveMessagesBonus() const { return hiveMessagesBonus_.get(); }
    GameMessage* nectarMessage() const { return nectarMessage_.get(); }
    GameMessage* nectarMilestoneMessage() const { return nectarMilestoneMessage_.get(); }
    GameMessage* timeInfoMessage() const { return timeInfoMessage_.get(); }
    GameMessage* hiveHoneyMessage() const { return hiveHoneyMessage_.get(); }
    GameMessage* hiveHoneyBonusMessage() const { return hiveHoneyBonusMessage_.get(); }

    // This game's counters.
    int32_t statHivesVisited() const { return statHivesVisited_; }
    void setStatHivesVisited(int32_t n) { statHivesVisited_ = n; }
    int32_t statFlowersVisited() const { return statFlowersVisited_; }
    void setStatFlowersVisited(int32_t n) { statFlowersVisited_ = n; }
    int32_t statBuddiesFound() const { return statBuddiesFound_; }
    void setStatBuddiesFound(int32_t n) { statBuddiesFound_ = n; }
    int32_t statLightningHits() const { return statLightningHits_; }
    void setStatLightningHits(int32_t n) { statLightningHits_ = n; }
    int32_t statTornadoHits() const { return statTornadoHits_; }
    void setStatTornadoHits(int32_t n) { statTornadoHits_ = n; }
    int32_t statCloudHits() const { return statCloudHits_; }
    void setStatCloudHits(int32_t n) { statCloudHits_ = n; }
    int32_t statRainHits() const { return statRainHits_; }
    void setStatRainHits(int32_t n) { statRainHits_ = n; }
    int32_t statBirdHits() const { return statBirdHits_; }
    void setStatBirdHits(int32_t n) { statBirdHits_ = n; }
    int32_t statGroundHits() const { return statGroundHits_; }
    void setStatGroundHits(int32_t n) { statGroundHits_ = n; }
    int32_t statHornetHits() const { return statHornetHits_; }
    void setStatHornetHits(int32_t n) { statHornetHits_ = n; }
    int32_t statProjectileHits() const { return statProjectileHits_; }
    void setStatProjectileHits(int32_t n) { statProjectileHits_ = n; }
    int32_t statNectarBonuses() const { return statNectarBonuses_; }
    void setStatNectarBonuses(int32_t n) { statNectarBonuses_ = n; }
    int32_t statHoneyBonuses() const { return statHoneyBonuses_; }
    void setStatHoneyBonuses(int32_t n) { statHoneyBonuses_ = n; }
    int32_t statTimeBonuses() const { return statTimeBonuses_; }
    void setStatTimeBonuses(int32_t n) { statTimeBonuses_ = n; }

    ~Player() override;

private:
    static constexpr const char* kSheet = "vantrel.plist";  // the bee's sprite sheet
    static constexpr float kBubbleSeconds = 2.5f;            // a bubble's time on show
    // Whole units of a droplet count, as the player sees them.
    static uint32_t wholeUnits(uint64_t droplets);

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

    PlayerCacheData currentPose() const;
    void updateBuddies(float dt);
    void showBuddyBonusMessage();
    void showBuddyEncouragementMessage();
    void showBuddyWarningMessage();

    void createMessages();
    // Shows the bubble for the time: again where it is when queued, else at the queue's front or end.
    static void showAtFront(GameMessages* queue, GameMessage* message, float seconds);
    static void showAtEnd(GameMessages* queue, GameMessage* message, float seconds);
    // Moves the nectar bubble between the bee and the hive.
    void moveNectarMessageToHive();
    void showSummaryMessages();
    void updateMessages(float dt);

    void initAudio();
    // Plays a loop on the player-loop channel, retained; the other loop fades first.
    void playLoop(RefPtr<ALSource> Player::*loop, RefPtr<ALSource> Player::*other, ALBuffer* buffer);
    void fadeOutLoop(RefPtr<ALSource> Player::*loop);
    void updateAudio();

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

    RefPtr<PlayerSwarm> swarm_;

    // Bubbles. The pools are used in turn, their next indices wrapping.
    template <size_t N>
    struct MessagePool {
        std::array<RefPtr<GameMessage>, N> messages;
        size_t next = 0;
    };
    RefPtr<GameMessages> messagesInfo_;
    RefPtr<GameMessages> messagesBonus_;
    RefPtr<GameMessages> hiveMessagesInfo_;
    RefPtr<GameMessages> hiveMessagesBonus_;
    RefPtr<GameMessage> nectarMessage_;
    RefPtr<GameMessage> nectarMilestoneMessage_;
    RefPtr<GameMessage> timeInfoMessage_;
    RefPtr<GameMessage> allFlowersVisitedMessage_;
    RefPtr<GameMessage> allBuddiesFoundMessage_;
    MessagePool<6> nectarBonusMessages_;
    MessagePool<6> nectarPenaltyMessages_;
    MessagePool<6> honeyBonusMessages_;
    MessagePool<2> timeBonusMessages_;
    MessagePool<1> timePenaltyMessages_;
    RefPtr<GameMessage> hiveHoneyMessage_;
    RefPtr<GameMessage> hiveHoneyBonusMessage_;
    RefPtr<GameMessage> hiveFlowersVisitedMessage_;
    RefPtr<GameMessage> hiveBuddiesFoundMessage_;
    RefPtr<GameMessage> hiveDistanceTravelledMessage_;
    RefPtr<GameMessage> hiveHighScoreMessage_;
    template <size_t N>
    GameMessage* nextPooledMessage(MessagePool<N>& pool);

    // Sounds. The channels are the audio front's; the wind and buzz sources play for the game,
    // the drinking and pouring ones come and go.
    ALChannelSource* playerLoopChannel1_ = nullptr;
    ALChannelSource* playerLoopChannel2_ = nullptr;
    ALChannelSource* playerEventChannel1_ = nullptr;
    RefPtr<ALBuffer> windLoopAudioBuffer_;
    RefPtr<ALBuffer> buzzLoopAudioBuffer_;
    RefPtr<ALBuffer> buzzHit1AudioBuffer_;
    RefPtr<ALBuffer> suckLoopAudioBuffer_;
    RefPtr<ALBuffer> drainLoopAudioBuffer_;
    RefPtr<ALSource> windSoundSource_;
    RefPtr<ALSource> buzzSoundSource_;
    RefPtr<ALSource> suckSoundSource_;
    RefPtr<ALSource> drainSoundSource_;
    RefPtr<game::SimpleSoundEffect> bonusSoundEffect_;
    RefPtr<game::SimpleSoundEffect> timeSoundEffect_;

    int32_t statHivesVisited_ = 0;
    int32_t statFlowersVisited_ = 0;
    int32_t statBuddiesFound_ = 0;
    int32_t statLightningHits_ = 0;
    int32_t statTornadoHits_ = 0;
    int32_t statCloudHits_ = 0;
    int32_t statRainHits_ = 0;
    int32_t statBirdHits_ = 0;
    int32_t statGroundHits_ = 0;
    int32_t statHornetHits_ = 0;
    int32_t statProjectileHits_ = 0;
    int32_t statNectarBonuses_ = 0;
    int32_t statHoneyBonuses_ = 0;
    int32_t statTimeBonuses_ = 0;

    // Last frame's state.
    bool wasAtHive_ = false;
    bool wasTransferringNectar_ = false;
    bool wasConsumingNectar_ = false;
    bool wasInvincible_ = false;
};
