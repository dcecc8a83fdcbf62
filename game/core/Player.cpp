#include "game/core/Player.h"

#include <epoxy/gl.h>

#include <algorithm>
#include <cmath>

#include "audio/ALBuffer.h"
#include "audio/ALSource.h"
#include "game/core/CCMotionStreakLocal.h"
#include "game/core/EnemyProtocol.h"
#include "game/core/FlowerProtocol.h"
#include "game/core/GameContactListener.h"
#include "game/core/GameObject.h"
#include "game/core/GameSensor.h"
#include "game/core/PhysicsChecks.h"
#include "game/core/PhysicsSprite.h"
#include "game/core/PhysicsSystem.h"
#include "game/core/PickupProtocol.h"
#include "game/core/PlayerGameDelegate.h"
#include "game/core/PlayerLevelDelegate.h"
#include "game/core/PlayerSwarm.h"
#include "game/core/ProjectileProtocol.h"
#include "game/core/SimpleSoundEffect.h"
#include "game/core/Stats.h"
#include "game/core/Units.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Random.h"

namespace {

Player* gCurrentPlayer = nullptr;

// Nectar.
constexpr float kDrinkDropletsPerSecond = 1000000.0f;   // 10 nectar
constexpr float kPourDropletsPerSecond = 1.5e7f;        // 150 nectar
constexpr uint64_t kStreakStepDroplets = 500000;        // 5 nectar
constexpr uint64_t kBonusDroplets = 50000000;           // 500 honey

// Facing turns past 105 degrees from upright and back below 75.
constexpr float kTurnAwayDegrees = 105.0f;
constexpr float kTurnBackDegrees = 75.0f;

constexpr const char* kTrail = "vantrel_trail.png";

// Droplets of an amount in units: 0 for an amount that is negative or not a number, and at most
// what the count can hold.
uint64_t dropletsOf(float units) {
    const float droplets = units * 100000.0f;
    if (!(droplets > 0)) return 0;
    return droplets < 1.8e19f ? static_cast<uint64_t>(droplets) : UINT64_MAX;
}

}  // namespace

Player* Player::currentPlayer() { return gCurrentPlayer; }

uint32_t Player::wholeUnits(uint64_t droplets) {
    return static_cast<uint32_t>(static_cast<float>(droplets) * 0.00001f);
}

Player::Player() = default;

// While bodies may still be destroyed the world and its physics system are alive: the bee's
// bodies leave the synchronised list before its sprites destroy them.
Player::~Player() {
    if (gCurrentPlayer == this) gCurrentPlayer = nullptr;
    endAudio();
    if (!physicsSystem_ || !PhysicsSprite::autoDestroyAllBodies()) return;
    for (b2Body* body : {headBody_, bodyBody_, antennaeRightBody_, antennaeLeftBody_}) {
        if (body) physicsSystem_->removeSynchronisableBody(body);
    }
}

bool Player::init(PlayerGameDelegate* game, PlayerLevelDelegate* level) {
    if (!game || !level || !game->physicsSystem() || !game->physicsSystem()->getWorld()) {
        logLine("Player: refused: no play scene, level or physics world");
        return false;
    }
    game_ = game;
    level_ = level;
    physicsSystem_ = game->physicsSystem();
    physicsWorld_ = physicsSystem_->getWorld();
    gameContactListener_ = game->gameContactListener();
    if (!worldAcceptsChanges(physicsWorld_, "Player::init")) return false;

    canFlyThroughWorld_ = false;
    canSenseWorld_ = true;
    droplets_ = hiveDroplets_ = 0;
    dropletsAtStartOfConsumption_ = droplets_;

    if (!loadSprites()) return false;
    const CGPoint spawn = level->spawnPosition();
    playerMotionStreak_ = CCMotionStreakLocal::streakWithFade(1.0f, 8, kTrail, 8, 8, {255, 255, 255, 255});
    if (!playerMotionStreak_) {
        logLine("Player: refused: the trail \"%s\" cannot be loaded", kTrail);
        return false;
    }
    playerMotionStreak_->setBlendFunc({GL_ONE, GL_ONE_MINUS_SRC_ALPHA});
    playerMotionStreak_->setPosition(spawn);

    createBodies(spawn);
    createJoints();

    blinking_ = false;
    blinkDelay_ = Random::unitFloat() * 3.0f + 1.5f;
    hidePerc_ = 1.0f;
    beeColour_ = {255, 255, 255};
    wingFlapAngle_ = wingFlapPerc_ = 0;

    for (PhysicsSprite* sprite : {beeHeadSprite_.get(), beeBodySprite_.get(), beeAntennaeRightSprite_.get(),
                                  beeAntennaeLeftSprite_.get()}) {
        physicsSystem_->addSynchronisableBody(sprite->body());
        sprite->synchronise();
    }
    placeWings(0);

    playerHolder_->addChild(beeWingBackSprite_.get());
    playerHolder_->addChild(beeBodySprite_.get());
    playerHolder_->addChild(beeWingFrontSprite_.get());
    playerHolder_->addChild(beeHeadSprite_.get());
    playerHolder_->addChild(beeAntennaeRightSprite_.get());
    playerHolder_->addChild(beeAntennaeLeftSprite_.get());

    swarm_ = makeRef<PlayerSwarm>();
    swarm_->initPlayerCache(currentPose());
    if (!swarm_->createBuddies()) {
        logLine("Player: refused: the bee's sheet \"%s\" has no buddy frames", kSheet);
        return false;
    }
    gCurrentPlayer = this;
    createMessages();
    initAudio();
    return true;
}


// --- Accessors -----------------------------------------------------------------------------

CGPoint Player::position() const { return beeHeadSprite_ ? beeHeadSprite_->position() : CGPointZero; }

CGPoint Player::beeBodyPosition() const { return beeBodySprite_ ? beeBodySprite_->position() : CGPointZero; }

CGPoint Player::beeMouthPosition() {
    if (!beeHeadSprite_) return CGPointZero;
    const CGPoint world = beeHeadSprite_->convertToWorldSpaceAR({-19, vantrelFacingRight_ ? -10.0 : 10.0});
    CCNode* parent = beeHeadSprite_->parent();
    return parent ? parent->convertToNodeSpace(world) : world;
}

CGPoint Player::beeMouthCollectionPosition() {
    if (!beeHeadSprite_) return CGPointZero;
    const CGPoint world = beeHeadSprite_->convertToWorldSpaceAR({-19, 0});
    CCNode* parent = beeHeadSprite_->parent();
    return parent ? parent->convertToNodeSpace(world) : world;
}

float Player::nectar() const { return static_cast<float>(droplets_) * 0.00001f; }

void Player::setNectar(float nectar) { droplets_ = dropletsOf(nectar); }

float Player::hiveHoney() const { return static_cast<float>(hiveDroplets_) * 0.00001f; }

void Player::setHiveHoney(float honey) { hiveDroplets_ = dropletsOf(honey); }

void Player::awardAllFlowersVisitedBonus() {
    allFlowersVisitedBonusAwarded_ = true;
    hiveDroplets_ += kBonusDroplets;
    showAllFlowersVisitedMessage();
    if (bonusSoundEffect_) bonusSoundEffect_->play();
}

void Player::awardAllBuddiesFoundBonus() {
    allBuddiesFoundBonusAwarded_ = true;
    hiveDroplets_ += kBonusDroplets;
    showAllBuddiesFoundMessage();
    if (bonusSoundEffect_) bonusSoundEffect_->play();
}

// --- The frame -----------------------------------------------------------------------------

void Player::updatePaused(float dt) {
    blink(dt, false);
    wingFlap(dt);
}

void Player::update(float dt) {
    if (!headBody_) return;

    vantrelWorldVelocity_ = headBody_->GetLinearVelocity();
    vantrelWorldSpeed_ = vantrelWorldVelocity_.Length();
    vantrelVelocity_ = {vantrelWorldVelocity_.x * units::kPointsPerMetre,
                        vantrelWorldVelocity_.y * units::kPointsPerMetre};
    distanceTravelled_ += vantrelWorldSpeed_ * dt;

    bool collected = false;
    drinkFromFlowers(dt, &collected);
    if (isConsumingNectar_) updateConsumptionStreak(collected);
    applyEnemySensorPenalties();

    GameSensor* hive = game_->hiveSensor();
    const bool atHive = hive && hive->isActive();
    updateHive(dt, atHive);

    updateFacing();
    blink(dt, false);
    wingFlap(dt);

    GameSensor* hide = game_->hideSensor();
    const bool hidden = hide && hide->isActive();
    updateHiding(hidden);

    bool invincible = false;
    if (!canFlyThroughWorld_) {
        invincible = hidden || atHive;
        if (invincible != wasInvincible_) {
            setFilter(beeHeadFixture_, invincible ? kHeadHiddenFilter : kHeadNormalFilter);
        }
    }

    updateBeeComponents();
    swarm_->updatePlayerCache(currentPose());
    playerMotionStreak_->setPosition(beeHeadSprite_->position());
    playerMotionStreak_->update(dt);
    updateBuddies(dt);
    updateMessages(dt);
    updateAudio();

    wasAtHive_ = atHive;
    wasTransferringNectar_ = isTransferringNectar_;
    wasConsumingNectar_ = isConsumingNectar_;
    wasInvincible_ = invincible;
    hasSolidContact_ = false;
}

void Player::drinkFromFlowers(float dt, bool* collected) {
    if (!gameContactListener_) return;
    std::vector<GameObject*>& flowers = gameContactListener_->flowersInContact();
    const b2Vec2 head = headBody_->GetPosition();
    const uint32_t request = static_cast<uint32_t>(dt * kDrinkDropletsPerSecond);
    for (size_t i = 0; i < flowers.size(); ++i) {
        GameObject* object = flowers[i];
        auto* flower = dynamic_cast<FlowerProtocol*>(object);
        if (!flower) continue;
        const uint32_t taken = flower->consumeDroplets(request);
        if (taken == 0) {
            level_->updatePlayerFlowerContact(object, false);
        } else {
            if (!isConsumingNectar_) {
                isConsumingNectar_ = true;
                dropletsAtStartOfConsumption_ = droplets_;
                consumptionDropletsMilestone_ = 0;
                showBuddyBonusMessage();
            }
            // The buddies' share is formed in single precision; the carried sum stays exact.
            droplets_ += static_cast<uint64_t>((1.0f + buddyBonus()) * static_cast<float>(taken));
            level_->updatePlayerFlowerContact(object, flower->droplets() != 0);
            *collected = true;
        }
        const float attraction = flower->playerAttraction();
        flower->pushTowardsWorldPosition(head, attraction);
        if (PhysicsSprite* sprite = flower->physicsSprite()) pushTowardsPosition(sprite->position(), attraction);
    }
}

void Player::updateConsumptionStreak(bool collected) {
    if (!wasConsumingNectar_) playSuckSound();
    const int64_t steps = droplets_ >= dropletsAtStartOfConsumption_
                              ? static_cast<int64_t>((droplets_ - dropletsAtStartOfConsumption_) / kStreakStepDroplets)
                              : 0;
    if (steps > consumptionDropletsMilestone_) {
        consumptionDropletsMilestone_ = steps;
        if (buddiesShowing() >= 2) showBuddyBonusMessage();
        showBuddyEncouragementMessage();
    }
    if (collected) {
        if (droplets_ != 0) showAtFront(messagesInfo_.get(), nectarMessage_.get(), kBubbleSeconds);
        if (consumptionDropletsMilestone_ > 0) {
            nectarMilestoneMessage_->setValue(static_cast<int>(consumptionDropletsMilestone_ * 5));
            showAtFront(messagesBonus_.get(), nectarMilestoneMessage_.get(), kBubbleSeconds);
        }
    } else {
        isConsumingNectar_ = false;
        stopSuckSound();
    }
    if (!allFlowersVisitedBonusAwarded_ && level_->flowersVisited() >= level_->totalFlowers()) {
        awardAllFlowersVisitedBonus();
    }
}

void Player::applyEnemySensorPenalties() {
    if (!gameContactListener_) return;
    std::vector<EnemyProtocol*>& sensors = gameContactListener_->contactSensors();
    if (sensors.empty()) return;
    // Summed as a wrapping 32-bit integer; a sum of 0 or less takes nothing (read as unsigned it
    // would take all the nectar).
    uint32_t wrapped = 0;
    for (size_t i = 0; i < sensors.size(); ++i) wrapped += sensors[i]->sensorContactPlayer();
    const auto sum = static_cast<int32_t>(wrapped);
    if (sum <= 0) return;
    loseNectar(static_cast<uint64_t>(sum));
    blink(0, true);
}

void Player::loseNectar(uint64_t penalty) {
    const uint64_t lost = std::min(droplets_, penalty);
    droplets_ -= lost;
    const uint32_t units = wholeUnits(lost);
    if (units > 0) {
        level_->emitParticles(PlayerLevelDelegate::kParticlesLoseNectar, position());
        showAtFront(messagesInfo_.get(), nectarMessage_.get(), kBubbleSeconds);
        GameMessage* penalty = nextNectarPenaltyMessage();
        penalty->setLocation(2);
        messagesBonus_->addMessageToFrontOfQueue(penalty, kBubbleSeconds, -static_cast<int>(units));
        showBuddyWarningMessage();
    }
}

void Player::updateHive(float dt, bool atHive) {
    if (atHive) {
        if (!wasAtHive_) level_->beginPlayerHiveContact(droplets_ != 0);
        if (droplets_ != 0) {
            if (!isTransferringNectar_) {
                isTransferringNectar_ = true;
                transferredNectar_ = true;
                dropletsAtStartOfTransfer_ = hiveDroplets_;
                dropletsTransferred_ = 0;
                transferDropletsBonus_ = 0;
                transferBonus_ = 0;
                transferBonusMultiplier_ = 1.0f - level_->currentTimeOfDayPerc();
                playDrainSound();
                showBuddyEncouragementMessage();
            }
            const uint64_t amount =
                std::min(static_cast<uint64_t>(dt * kPourDropletsPerSecond), droplets_);
            droplets_ -= amount;
            dropletsTransferred_ += amount;
            transferDropletsBonus_ =
                static_cast<uint64_t>(static_cast<float>(dropletsTransferred_) * transferBonusMultiplier_);
            transferBonus_ = wholeUnits(transferDropletsBonus_);
            hiveDroplets_ = dropletsAtStartOfTransfer_ + dropletsTransferred_ + transferDropletsBonus_;
            if (droplets_ != 0) {
                level_->updatePlayerHiveContact(true);
                if (nectarMessage_->owner() == hiveMessagesInfo_.get()) {
                    nectarMessage_->showForTime(kBubbleSeconds);
                } else {
                    moveNectarMessageToHive();
                }
            }
        }
        if (droplets_ == 0) {
            if (isTransferringNectar_) {
                isTransferringNectar_ = false;
                level_->updatePlayerHiveContact(false);
                stopDrainSound();
            }
            if (nectarMessage_->owner() && nectarMessage_->owner() != hiveMessagesInfo_.get()) {
                moveNectarMessageToHive();
            }
        }
        showAtFront(hiveMessagesInfo_.get(), hiveHoneyMessage_.get(), kBubbleSeconds);
        if (showStatsMessages_) {
            showSummaryMessages();
            if (!finalNectarTransferComplete_ && droplets_ == 0) {
                finalNectarTransferComplete_ = true;
                game_->onGameSummaryComplete();
            }
        } else if (transferBonus_ != 0) {
            hiveHoneyBonusMessage_->setValue(static_cast<int>(transferBonus_));
            showAtFront(hiveMessagesBonus_.get(), hiveHoneyBonusMessage_.get(), kBubbleSeconds);
        }
    } else if (wasAtHive_) {
        level_->endPlayerHiveContact();
        if (wasTransferringNectar_) {
            isTransferringNectar_ = false;
            stopDrainSound();
        }
        if (transferredNectar_) {
            transferredNectar_ = false;
            transferBonus_ = 0;
            transferDropletsBonus_ = 0;
            transferBonusMultiplier_ = 0;
            showBuddyEncouragementMessage();
        }
        nectarMessage_->setLocation(8);
        nectarMessage_->setDistance(50);
        if (nectarMessage_->owner() && nectarMessage_->owner() != messagesInfo_.get()) {
            messagesInfo_->addMessageToFrontOfQueue(nectarMessage_.get(), kBubbleSeconds);
        }
    }
}

void Player::updateFacing() {
    const float r = beeHeadSprite_->rotation();
    const CGPoint p = beeHeadSprite_->position();
    const float a = std::atan2(static_cast<float>(p.y), static_cast<float>(p.x)) * units::kDegreesPerRadian - 90.0f;
    const float d = std::fabs(a - std::floor((a + 180.0f + r) / 360.0f) * 360.0f + r);
    if (vantrelFacingRight_ && d >= kTurnAwayDegrees) {
        setFacingRight(false);
    } else if (!vantrelFacingRight_ && d <= kTurnBackDegrees) {
        setFacingRight(true);
    }
}

void Player::setFacingRight(bool facingRight) {
    vantrelFacingRight_ = facingRight;
    const float side = facingRight ? 1.0f : -1.0f;
    beeHeadSprite_->setFlipY(!facingRight);
    beeBodySprite_->setScaleY(side);
    beeAntennaeRightSprite_->setVisible(facingRight);
    beeAntennaeLeftSprite_->setVisible(!facingRight);
    beeWingFrontSprite_->setScaleY(side);
    beeWingBackSprite_->setScaleY(side);
}

void Player::updateHiding(bool hidden) {
    const float before = hidePerc_;
    if (hidden && hidePerc_ > 0) {
        hidePerc_ -= 0.1f;
        if (hidePerc_ <= 0.001f) hidePerc_ = 0;
    } else if (!hidden && hidePerc_ < 1.0f) {
        hidePerc_ = std::min(hidePerc_ + 0.1f, 1.0f);
    }
    if (hidePerc_ == before) return;
    const auto c = static_cast<uint8_t>(hidePerc_ * 191.0f + 64.0f);
    beeColour_ = {c, c, c};
    for (CCSprite* sprite : {static_cast<CCSprite*>(beeHeadSprite_.get()), static_cast<CCSprite*>(beeBodySprite_.get()),
                             static_cast<CCSprite*>(beeAntennaeRightSprite_.get()),
                             static_cast<CCSprite*>(beeAntennaeLeftSprite_.get()), beeWingFrontSprite_.get(),
                             beeWingBackSprite_.get()}) {
        sprite->setColor(beeColour_);
    }
}

// --- Swarm ---------------------------------------------------------------------------------

PlayerCacheData Player::currentPose() const {
    return {beeHeadSprite_->position(), beeHeadSprite_->rotation(), beeHeadSprite_->color(), beeHeadSprite_->flipY()};
}

int Player::buddiesShowing() const { return swarm_ ? swarm_->buddiesShowing() : 0; }

float Player::buddyBonus() const { return swarm_ ? swarm_->buddyBonus() : 0; }

CCSpriteBatchNode* Player::buddyHolder() const { return swarm_ ? swarm_->buddyHolder() : nullptr; }

bool Player::buddiesUnderneath() const { return swarm_ && swarm_->buddiesUnderneath(); }

void Player::setBuddiesUnderneath(bool underneath) {
    if (swarm_) swarm_->setBuddiesUnderneath(underneath);
}

void Player::updateBuddies(float dt) {
    swarm_->updateBuddies(dt, vantrelWorldSpeed_, beeHeadSprite_->rotation(), vantrelFacingRight_,
                          game_->cameraTangentAngle());
}

void Player::showBuddyBonusMessage() { swarm_->showBuddyBonusMessage(); }

void Player::showBuddyEncouragementMessage() { swarm_->showBuddyEncouragementMessage(); }

void Player::showBuddyWarningMessage() { swarm_->showBuddyWarningMessage(); }


// --- Contacts ------------------------------------------------------------------------------

void Player::handlePickupContacts() {
    if (!gameContactListener_) return;
    const std::vector<PickupProtocol*>& pickups = gameContactListener_->pickups();
    // Nectar is credited with the buddy bonus as it stood before each pickup's own buddies joined
    // (formed in single precision). Summed wide, so that no run of large payloads overflows.
    int64_t nectar = 0, honey = 0, seconds = 0;
    int found = 0;
    for (size_t i = 0; i < pickups.size(); ++i) {
        PickupProtocol* pickup = pickups[i];
        // Everything is read before consume, which may let the pickup go (the listener holds it
        // until the dispatch ends, but it is not asked anything afterwards).
        const int32_t pickupNectar = pickup->nectarDroplets();
        const int32_t pickupHoney = pickup->honeyDroplets();
        const int32_t pickupTime = pickup->timeDifference();
        const int32_t pickupBuddies = pickup->buddies();
        PhysicsSprite* sprite = pickup->physicsSprite();
        const CGPoint where = sprite ? sprite->position() : position();
        const float rotation = sprite ? sprite->rotation() : 0;

        if (pickupNectar > 0) ++statNectarBonuses_;
        if (pickupHoney > 0) ++statHoneyBonuses_;
        if (pickupTime > 0) ++statTimeBonuses_;
        const float bonus = buddyBonus();
        for (int32_t b = 0; b < pickupBuddies; ++b) {
            if (buddiesShowing() >= PlayerSwarm::kMaxBuddies) break;
            ++found;
            swarm_->addBuddyAt(where, rotation);
        }
        if (pickupBuddies > 0) statBuddiesFound_ += pickupBuddies;
        nectar += static_cast<int64_t>((1.0f + bonus) * static_cast<float>(pickupNectar));
        honey += pickupHoney;
        seconds += pickupTime;
        level_->emitParticles(PlayerLevelDelegate::kParticlesBonus, where);
        pickup->consume();
    }

    if (nectar > 0) {
        droplets_ += static_cast<uint64_t>(nectar);
        showAtFront(messagesInfo_.get(), nectarMessage_.get(), kBubbleSeconds);
        GameMessage* message = nextNectarBonusMessage();
        message->setLocation(2);
        messagesBonus_->addMessageToFrontOfQueue(message, kBubbleSeconds,
                                                 static_cast<int>(wholeUnits(static_cast<uint64_t>(nectar))));
        if (buddiesShowing() >= 2) showBuddyBonusMessage();
        showBuddyEncouragementMessage();
    } else if (nectar < 0) {
        loseNectar(static_cast<uint64_t>(-nectar));
    }
    if (honey > 0) {
        hiveDroplets_ += static_cast<uint64_t>(honey);
        showAtFront(hiveMessagesInfo_.get(), hiveHoneyMessage_.get(), kBubbleSeconds);
        GameMessage* message = nextHoneyBonusMessage();
        message->setLocation(2);
        messagesBonus_->addMessageToFrontOfQueue(message, kBubbleSeconds,
                                                 static_cast<int>(wholeUnits(static_cast<uint64_t>(honey))));
        showBuddyEncouragementMessage();
    }
    const int shownSeconds = static_cast<int>(std::clamp<int64_t>(seconds, INT32_MIN, INT32_MAX));
    if (seconds > 0) {
        level_->changeLengthOfDay(static_cast<float>(seconds));
        GameMessage* message = nextTimeBonusMessage();
        message->setLocation(2);
        messagesBonus_->addMessageToFrontOfQueue(message, kBubbleSeconds, shownSeconds);
        showBuddyEncouragementMessage();
    } else if (seconds < 0) {
        level_->changeLengthOfDay(static_cast<float>(seconds));
        GameMessage* message = nextTimePenaltyMessage();
        message->setLocation(2);
        messagesBonus_->addMessageToFrontOfQueue(message, kBubbleSeconds, shownSeconds);
        showBuddyWarningMessage();
    }
    if (found > 0 && !allBuddiesFoundBonusAwarded_ && buddiesShowing() >= level_->totalBuddies()) {
        awardAllBuddiesFoundBonus();
    }
}

namespace {

// Penalties summed as a wrapping 32-bit count and read signed: a sum of 0 or less takes nothing
// (read as unsigned it would take all the nectar). contactPlayer may let the object go, so each is
// asked once and not touched again.
template <class Enemy>
int32_t sumPenalties(const std::vector<Enemy*>& enemies) {
    uint32_t wrapped = 0;
    for (size_t i = 0; i < enemies.size(); ++i) wrapped += enemies[i]->contactPlayer();
    return static_cast<int32_t>(wrapped);
}

}  // namespace

void Player::handleEnemyContacts() {
    if (!gameContactListener_) return;
    const int32_t penalty = sumPenalties(gameContactListener_->enemies());
    if (penalty > 0) loseNectar(static_cast<uint64_t>(penalty));
    blink(0, true);
}

void Player::handleProjectileContacts() {
    if (!gameContactListener_) return;
    const int32_t penalty = sumPenalties(gameContactListener_->projectilesHittingPlayer());
    if (penalty > 0) loseNectar(static_cast<uint64_t>(penalty));
    blink(0, true);
}

// --- Statistics ----------------------------------------------------------------------------

void Player::countHit(game::HitStatistic statistic) {
    using H = game::HitStatistic;
    switch (statistic) {
        case H::kCloud: ++statCloudHits_; break;
        case H::kRain: ++statRainHits_; break;
        case H::kLightning: ++statLightningHits_; break;
        case H::kTornado: ++statTornadoHits_; break;
        case H::kBird: ++statBirdHits_; break;
        case H::kGround: ++statGroundHits_; break;
        case H::kHornet: ++statHornetHits_; break;
        case H::kProjectile: ++statProjectileHits_; break;
        case H::kNone: break;
    }
}

void Player::onGameStart() {
    Stats* stats = Stats::sharedInstance();
    stats->incrementStatUInt("games_started", 1);
    stats->saveStats();
}

void Player::onGameFinish() {
    Stats* stats = Stats::sharedInstance();
    stats->incrementStatUInt("games_finished", 1);
    stats->saveStats();
}

void Player::updateStats() {
    Stats* stats = Stats::sharedInstance();
    stats->incrementStatUInt("honey", static_cast<uint32_t>(hiveHoney()));
    stats->incrementStatUInt("distance_travelled", static_cast<uint32_t>(distanceTravelled_));
    const std::pair<const char*, int32_t> counters[] = {
        {"hives_visited", statHivesVisited_},     {"flowers_visited", statFlowersVisited_},
        {"buddies_found", statBuddiesFound_},     {"lightning_hits", statLightningHits_},
        {"tornado_hits", statTornadoHits_},       {"cloud_hits", statCloudHits_},
        {"rain_hits", statRainHits_},             {"bird_hits", statBirdHits_},
        {"ground_hits", statGroundHits_},         {"hornet_hits", statHornetHits_},
        {"projectile_hits", statProjectileHits_}, {"nectar_bonuses", statNectarBonuses_},
        {"honey_bonuses", statHoneyBonuses_},     {"time_bonuses", statTimeBonuses_},
    };
    for (const auto& [key, count] : counters) stats->incrementStatUInt(key, static_cast<uint32_t>(count));
    stats->saveStats();
}

