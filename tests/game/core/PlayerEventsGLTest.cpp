// The bee's events: pickups, enemy bodies and shots with their bubbles and penalty pools, its
// sounds on the audio front (OpenAL's null backend), the clock and bonus effects, and the
// statistics of a game.

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "audio/ALChannelSource.h"
#include "audio/ALSource.h"
#include "audio/OALActionManager.h"
#include "audio/VantrelAudio.h"
#include "game/core/BeeTestSupport.h"
#include "game/core/GameMessage.h"
#include "game/core/GameMessages.h"
#include "game/core/PickupProtocol.h"
#include "game/core/PlayerSwarm.h"
#include "game/core/ProjectileProtocol.h"
#include "game/core/Stats.h"
#include "game/objects/EnemyRules.h"
#include "support/GLSceneTest.h"
#include "tests/game/core/RecordingSoundOutput.h"

namespace {

constexpr float kFrame = 1.0f / 60;

// A 0.5 s square tone, 16-bit mono at 22050 Hz.
void writeTone(const TemporaryFolder& folder, const std::string& name) {
    const uint32_t rate = 22050, frames = rate / 2, bytes = frames * 2;
    std::string wav = "RIFF____WAVEfmt ";
    const auto put = [&wav](uint32_t value, int size) {
        for (int i = 0; i < size; ++i) wav.push_back(static_cast<char>(value >> (8 * i)));
    };
    put(16, 4), put(1, 2), put(1, 2), put(rate, 4), put(rate * 2, 4), put(2, 2), put(16, 2);
    wav += "data";
    put(bytes, 4);
    for (uint32_t i = 0; i < frames; ++i) put(static_cast<uint16_t>(i % 50 < 25 ? 6000 : -6000), 2);
    const uint32_t riff = static_cast<uint32_t>(wav.size() - 8);
    std::memcpy(&wav[4], &riff, 4);
    folder.write(name, wav);
}

// A pickup that must not be asked anything once consumed (the game may free it then).
class FakePickup : public Object, public PickupProtocol {
public:
    FakePickup(int32_t nectar, int32_t honey, int32_t seconds, int32_t buddies)
        : nectar_(nectar), honey_(honey), seconds_(seconds), buddies_(buddies) {}

    bool canBeConsumed() override { return !consumed; }
    void consume() override { ++consumed; }
    int32_t nectarDroplets() const override { return checked(nectar_); }
    int32_t honeyDroplets() const override { return checked(honey_); }
    int32_t timeDifference() const override { return checked(seconds_); }
    int32_t buddies() const override { return checked(buddies_); }
    bool canBeDamaged() override { return false; }
    float accumulatedImpulse() override { return 0; }
    void setAccumulatedImpulse(float) override {}
    void applyDamage() override {}
    void destroy() override {}

    int consumed = 0;

private:
    int32_t checked(int32_t value) const {
        if (consumed) ADD_FAILURE() << "a consumed pickup was asked for its payload";
        return value;
    }
    int32_t nectar_, honey_, seconds_, buddies_;
};

// A shot or an enemy body that is asked for its penalty once per contact.
class FakeProjectile : public ProjectileProtocol {
public:
    explicit FakeProjectile(uint32_t penalty) : penalty_(penalty) {}
    uint32_t contactPlayer() override { return ++asked, penalty_; }
    uint32_t sensorContactPlayer() override { return 0; }
    bool canHit() override { return true; }
    void contactGameObject(GameObject*) override {}
    void destroy() override {}
    int asked = 0;

private:
    uint32_t penalty_;
};

// The bubbles of one kind in a queue, front to back.
std::vector<GameMessage*> bubblesOf(GameMessages* queue, int info) {
    std::vector<GameMessage*> found;
    for (GameMessage* m = queue->queue(); m; m = m->childMessage()) {
        if (m->info() == info) found.push_back(m);
    }
    return found;
}

class PlayerEventsTest : public BeeFixture<GLSceneTest> {
protected:
    static void SetUpTestSuite() { setenv("ALSOFT_DRIVERS", "null", 1); }

    void SetUp() override {
        for (const char* name : {"bee_wind_loop.wav", "bee_buzz_loop_plain.wav", "bee_buzz_hit_1.wav",
                                 "bee_suck_loop_1.wav", "bee_drain_loop_2.wav", "sparkle_big.wav", "clock_tick.wav"}) {
            writeTone(folder_, name);
        }
        BeeFixture<GLSceneTest>::SetUp();
    }
    void TearDown() override {
        OALActionManager::sharedInstance()->setClock(nullptr);
        BeeFixture<GLSceneTest>::TearDown();
    }

    void touch(std::vector<PickupProtocol*> pickups) {
        world().listener.pickups() = std::move(pickups);
        bee()->handlePickupContacts();
    }
    // Runs the audio fades for `seconds` on a clock of the test's own.
    void runFades(double seconds) {
        OALActionManager* manager = OALActionManager::sharedInstance();
        manager->setClock([this] { return clockNs_; });
        manager->step();
        clockNs_ += static_cast<uint64_t>(seconds * 1e9);
        manager->step();
    }

    RecordingSoundOutput effects_;  // installed before the bee loads its effects
    uint64_t clockNs_ = 1;
};

TEST_F(PlayerEventsTest, PickupsOfOneStepAreSummedIntoOneBubbleEach) {
    auto a = makeRef<FakePickup>(300000, 100000, 5, 0);
    auto b = makeRef<FakePickup>(250000, 150000, -2, 0);
    touch({a.get(), b.get()});
    EXPECT_EQ(a->consumed + b->consumed, 2);
    EXPECT_EQ(bee()->droplets(), 550000u);
    EXPECT_EQ(bee()->hiveDroplets(), 250000u);
    EXPECT_EQ(world().dayChanges, std::vector<float>{3});
    EXPECT_EQ(world().emitted, (std::vector<int>{5, 5}));

    const auto nectar = bubblesOf(bee()->messagesBonus(), GameMessage::kInfoNectarBonus);
    const auto honey = bubblesOf(bee()->messagesBonus(), GameMessage::kInfoHoneyBonus);
    const auto time = bubblesOf(bee()->messagesBonus(), GameMessage::kInfoTimeBonus);
    ASSERT_EQ(nectar.size(), 1u);
    ASSERT_EQ(honey.size(), 1u);
    ASSERT_EQ(time.size(), 1u);
    EXPECT_EQ(nectar[0]->value(), 5);
    EXPECT_EQ(honey[0]->value(), 2);
    EXPECT_EQ(time[0]->value(), 3);
    EXPECT_EQ(bee()->nectarMessage()->owner(), bee()->messagesInfo());
    EXPECT_EQ(bee()->hiveHoneyMessage()->owner(), bee()->hiveMessagesInfo());
    EXPECT_EQ(bee()->statNectarBonuses(), 2);
    EXPECT_EQ(bee()->statHoneyBonuses(), 2);
    EXPECT_EQ(bee()->statTimeBonuses(), 1) << "only a gain of time counts";

    // Lost time goes through its own one-bubble pool.
    auto late = makeRef<FakePickup>(0, 0, -4, 0);
    touch({late.get()});
    EXPECT_EQ(world().dayChanges.back(), -4);
    ASSERT_EQ(bubblesOf(bee()->messagesBonus(), GameMessage::kInfoTimeLost).size(), 1u);

    // The largest payloads of one step add up without wrapping round to a loss.
    const uint64_t before = bee()->droplets();
    auto big = makeRef<FakePickup>(INT32_MAX, INT32_MAX, 0, 0);
    auto bigger = makeRef<FakePickup>(INT32_MAX, INT32_MAX, 0, 0);
    touch({big.get(), bigger.get()});
    EXPECT_GE(bee()->droplets(), before + 2 * uint64_t{INT32_MAX});
    EXPECT_GE(bee()->hiveDroplets(), 250000 + 2 * uint64_t{INT32_MAX});
}

TEST_F(PlayerEventsTest, BuddiesJoinAfterTheirPickupsNectarIsCreditedAndTheBonusIsPaidOnce) {
    world().buddies = 10;
    auto three = makeRef<FakePickup>(100000, 0, 0, 3);
    touch({three.get()});
    EXPECT_EQ(bee()->droplets(), 100000u) << "no bonus from the buddies this pickup brings";
    EXPECT_EQ(bee()->buddiesShowing(), 3);
    EXPECT_FLOAT_EQ(bee()->buddyBonus(), 0.3f);

    auto plain = makeRef<FakePickup>(100000, 0, 0, 0);
    touch({plain.get()});
    EXPECT_EQ(bee()->droplets(), 229999u) << "1.3 x 100000 formed in single precision, truncated";

    for (int i = 0; i < 6; ++i) bee()->swarm()->addBuddyAt(bee()->position(), 0);
    ASSERT_EQ(bee()->buddiesShowing(), 9);
    const uint64_t honeyBefore = bee()->hiveDroplets();
    auto crowd = makeRef<FakePickup>(0, 0, 0, 12);
    touch({crowd.get()});
    EXPECT_EQ(bee()->buddiesShowing(), 10);
    EXPECT_EQ(bee()->statBuddiesFound(), 15) << "all twelve count, though one more shows";
    EXPECT_TRUE(bee()->allBuddiesFoundBonusAwarded());
    EXPECT_EQ(bee()->hiveDroplets(), honeyBefore + 50000000u);
    EXPECT_EQ(effects_.count("sparkle_big"), 1);

    auto more = makeRef<FakePickup>(0, 0, 0, 1);
    touch({more.get()});
    EXPECT_EQ(bee()->hiveDroplets(), honeyBefore + 50000000u) << "paid once";
    EXPECT_EQ(effects_.count("sparkle_big"), 1);

    // The all-flowers bonus, too, is paid once as the streak goes on.
    auto flower = makeRef<FakeFlower>(10000000);
    world().visited = world().flowers;
    world().listener.flowersInContact() = {flower.get()};
    bee()->update(kFrame);
    bee()->update(kFrame);
    EXPECT_TRUE(bee()->allFlowersVisitedBonusAwarded());
    EXPECT_EQ(bee()->hiveDroplets(), honeyBefore + 2 * 50000000u);
    EXPECT_EQ(effects_.count("sparkle_big"), 2);
}

TEST_F(PlayerEventsTest, NegativeNectarAndPenaltiesTakeAtMostWhatIsCarried) {
    bee()->setDroplets(1000000);
    auto sour = makeRef<FakePickup>(-300000, 0, 0, 0);
    touch({sour.get()});
    EXPECT_EQ(bee()->droplets(), 700000u);
    EXPECT_TRUE(bubblesOf(bee()->messagesBonus(), GameMessage::kInfoNectarBonus).empty());
    ASSERT_EQ(bubblesOf(bee()->messagesBonus(), GameMessage::kInfoNectarLost).size(), 1u);
    EXPECT_EQ(bubblesOf(bee()->messagesBonus(), GameMessage::kInfoNectarLost)[0]->value(), -3);
    EXPECT_EQ(bee()->statNectarBonuses(), 0);

    struct Case {
        std::vector<uint32_t> penalties;
        uint64_t carried, left;
    } cases[] = {
        {{200000, 100000}, 700000, 400000},
        {{900000}, 400000, 0},            // more than carried: all of it
        {{0}, 500000, 500000},            // a contact during the enemy's delay
        {{0x80000000u, 100}, 500000, 500000},  // sums to a negative count: nothing
        {{0xFFFFFFFFu, 1}, 500000, 500000},    // sums to 0
    };
    for (const Case& c : cases) {
        bee()->setDroplets(c.carried);
        std::vector<std::unique_ptr<FakeProjectile>> hits;
        std::vector<EnemyProtocol*> enemies;
        std::vector<ProjectileProtocol*> shots;
        for (uint32_t p : c.penalties) {
            hits.push_back(std::make_unique<FakeProjectile>(p));
            enemies.push_back(hits.back().get());
        }
        world().listener.enemies() = enemies;
        bee()->handleEnemyContacts();
        EXPECT_EQ(bee()->droplets(), c.left) << c.penalties[0];
        EXPECT_TRUE(bee()->blinking());
        for (const auto& hit : hits) EXPECT_EQ(hit->asked, 1);

        bee()->setDroplets(c.carried);
        for (const auto& hit : hits) shots.push_back(hit.get());
        world().listener.projectilesHittingPlayer() = shots;
        bee()->handleProjectileContacts();
        EXPECT_EQ(bee()->droplets(), c.left) << "shots: " << c.penalties[0];
    }
}

TEST_F(PlayerEventsTest, PenaltyPoolsRecycleTheOldestBubble) {
    bee()->setDroplets(100000000);
    std::vector<GameMessage*> shown;
    for (int i = 0; i < 7; ++i) {
        FakeProjectile hit(100000 * (i + 1));
        world().listener.enemies() = {&hit};
        bee()->handleEnemyContacts();
        shown.push_back(bubblesOf(bee()->messagesBonus(), GameMessage::kInfoNectarLost).front());
    }
    const auto up = bubblesOf(bee()->messagesBonus(), GameMessage::kInfoNectarLost);
    EXPECT_EQ(up.size(), 6u);
    EXPECT_EQ(shown[6], shown[0]) << "the seventh reuses the first";
    EXPECT_EQ(up.front()->value(), -7);
    for (size_t i = 1; i < up.size(); ++i) EXPECT_NE(up[i], shown[0]);

    // Pools of two and one: the same bubble comes back at once.
    EXPECT_EQ(bee()->nextTimePenaltyMessage(), bee()->nextTimePenaltyMessage());
    GameMessage* first = bee()->nextTimeBonusMessage();
    EXPECT_NE(bee()->nextTimeBonusMessage(), first);
    EXPECT_EQ(bee()->nextTimeBonusMessage(), first);
}

TEST_F(PlayerEventsTest, LoopsPlayOnceAndTheDrinkingLoopFadesThePouringOne) {
    bee()->startAudio();
    bee()->startAudio();
    ASSERT_NE(bee()->windSoundSource(), nullptr) << "the second start found the channel free";
    ASSERT_NE(bee()->buzzSoundSource(), nullptr);
    EXPECT_TRUE(bee()->windSoundSource()->playing());
    EXPECT_TRUE(bee()->buzzSoundSource()->playing());
    EXPECT_NE(bee()->windSoundSource(), bee()->buzzSoundSource());

    bee()->playDrainSound();
    ALSource* drain = bee()->drainSoundSource();
    ASSERT_NE(drain, nullptr);
    EXPECT_FLOAT_EQ(drain->gain(), 0.2f);
    bee()->playSuckSound();
    ASSERT_NE(bee()->suckSoundSource(), nullptr);
    EXPECT_EQ(bee()->drainSoundSource(), drain) << "fading, not yet gone";
    runFades(0.3);
    EXPECT_EQ(bee()->drainSoundSource(), nullptr);
    EXPECT_FALSE(drain->playing());
    EXPECT_TRUE(bee()->suckSoundSource()->playing());

    // Taken up again while fading out, a loop stays.
    bee()->stopSuckSound();
    bee()->playSuckSound();
    runFades(0.3);
    ASSERT_NE(bee()->suckSoundSource(), nullptr);
    EXPECT_TRUE(bee()->suckSoundSource()->playing());

    ALChannelSource* hits = VantrelAudio::sharedInstance()->playerEventChannel1();
    bee()->update(kFrame);
    EXPECT_FALSE(hits->playing());
    bee()->setHasSolidContact(true);
    bee()->update(kFrame);
    EXPECT_TRUE(hits->playing()) << "a bump plays the hit";
    EXPECT_FALSE(bee()->hasSolidContact());

    bee()->endAudio();
    EXPECT_EQ(bee()->windSoundSource(), nullptr);
    EXPECT_EQ(bee()->suckSoundSource(), nullptr);
}

TEST_F(PlayerEventsTest, ClockAndTimeUpBubbles) {
    bee()->showTimeInfoMessage(6);
    EXPECT_EQ(bee()->timeInfoMessage()->owner(), bee()->messagesBonus());
    EXPECT_EQ(effects_.count("clock_tick"), 1);
    bee()->showTimeUpInfoMessage();
    EXPECT_EQ(bee()->timeInfoMessage()->valueText(), "TIME'S UP!");
    EXPECT_FALSE(bee()->timeInfoMessage()->autoUpdateValue());
    bee()->hideTimeInfoMessage();
    EXPECT_EQ(bee()->timeInfoMessage()->owner(), nullptr);
}

TEST_F(PlayerEventsTest, UpdateStatsAddsEveryCounterOnce) {
    struct Counter {
        const char* key;
        void (Player::*set)(int32_t);
    } counters[] = {
        {"hives_visited", &Player::setStatHivesVisited},     {"flowers_visited", &Player::setStatFlowersVisited},
        {"buddies_found", &Player::setStatBuddiesFound},     {"lightning_hits", &Player::setStatLightningHits},
        {"tornado_hits", &Player::setStatTornadoHits},       {"cloud_hits", &Player::setStatCloudHits},
        {"rain_hits", &Player::setStatRainHits},             {"bird_hits", &Player::setStatBirdHits},
        {"ground_hits", &Player::setStatGroundHits},         {"hornet_hits", &Player::setStatHornetHits},
        {"projectile_hits", &Player::setStatProjectileHits}, {"nectar_bonuses", &Player::setStatNectarBonuses},
        {"honey_bonuses", &Player::setStatHoneyBonuses},     {"time_bonuses", &Player::setStatTimeBonuses},
    };
    Stats* stats = Stats::sharedInstance();
    std::vector<uint32_t> before;
    for (const Counter& c : counters) before.push_back(stats->getStatUInt(c.key));
    const uint32_t honeyBefore = stats->getStatUInt("honey");
    for (size_t i = 0; i < std::size(counters); ++i) (bee()->*counters[i].set)(static_cast<int32_t>(i + 1));
    bee()->setHiveDroplets(12345678);  // 123.45678 honey
    bee()->updateStats();
    for (size_t i = 0; i < std::size(counters); ++i) {
        EXPECT_EQ(stats->getStatUInt(counters[i].key), before[i] + i + 1) << counters[i].key;
    }
    EXPECT_EQ(stats->getStatUInt("honey"), honeyBefore + 123);
}

TEST_F(PlayerEventsTest, EnemiesCountTheirHitsOnTheRunningBee) {
    using H = game::HitStatistic;
    const std::pair<H, int32_t (Player::*)() const> kinds[] = {
        {H::kCloud, &Player::statCloudHits},       {H::kRain, &Player::statRainHits},
        {H::kLightning, &Player::statLightningHits}, {H::kTornado, &Player::statTornadoHits},
        {H::kBird, &Player::statBirdHits},         {H::kGround, &Player::statGroundHits},
        {H::kHornet, &Player::statHornetHits},     {H::kProjectile, &Player::statProjectileHits},
    };
    for (const auto& [statistic, count] : kinds) game::EnemyRules::countHit(statistic);
    game::EnemyRules::countHit(H::kNone);
    for (const auto& [statistic, count] : kinds) EXPECT_EQ((bee()->*count)(), 1) << static_cast<int>(statistic);
    player_.reset();
    game::EnemyRules::countHit(H::kBird);  // no bee: nothing is counted anywhere
}

}  // namespace

// Without its sound files the bee is silent: nothing plays, fades or stops, and it flies on.
class SilentBeeTest : public BeeFixture<GLSceneTest> {
protected:
    static void SetUpTestSuite() { setenv("ALSOFT_DRIVERS", "null", 1); }
};

TEST_F(SilentBeeTest, MissingSoundsGiveNoSources) {
    bee()->startAudio();
    EXPECT_EQ(bee()->windSoundSource(), nullptr);
    EXPECT_EQ(bee()->buzzSoundSource(), nullptr);
    bee()->playSuckSound();
    bee()->playDrainSound();
    bee()->stopDrainSound();
    EXPECT_EQ(bee()->suckSoundSource(), nullptr);
    EXPECT_EQ(bee()->drainSoundSource(), nullptr);
    bee()->setHasSolidContact(true);
    bee()->update(kFrame);
    bee()->endAudio();
}
