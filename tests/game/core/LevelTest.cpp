#include "game/core/Level.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/core/CCDirectorMac.h"
#include "game/core/GravityController.h"
#include "game/core/Player.h"
#include "game/core/RestartableParticleSystem.h"
#include "game/core/VantrelGameLayer.h"
#include "game/objects/SimpleEffect.h"
#include "platform/foundation/Log.h"
#include "support/HeadlessDirectorTest.h"
#include "support/LevelTestSupport.h"
#include "support/PhysicsOnlyLayer.h"

namespace {

// The bee standing at a chosen point, noting the time messages it is asked for.
class RecordingPlayer : public Player {
public:
    CGPoint position() const override { return at; }
    void showTimeInfoMessage(float seconds) override { timeMessages.push_back(seconds); }
    void showTimeUpInfoMessage() override { ++timeUp; }
    CGPoint at = CGPointZero;
    std::vector<float> timeMessages;
    int timeUp = 0;
};

// A play scene with only its physics, so that levels find a world and controllers.
class LevelTest : public HeadlessDirectorTest {
protected:
    void SetUp() override {
        HeadlessDirectorTest::SetUp();
        world_ = &LevelTestWorld::shared();
        dynamic_cast<CCDirectorMac*>(CCDirector::sharedDirector())->setOriginalWinSize(CGSizeMake(1024, 768));
        registerStandInKinds();
    }
    void TearDown() override {
        level_.reset();
        game::GameObjectKinds::unregisterKinds();
        HeadlessDirectorTest::TearDown();
    }

    // Loads a level of those files (objects built), failing the test when it is refused.
    Level* load(const Value& info, const Value& geometry = dict({}), const Value& objects = testLevelObjects()) {
        const std::string file = world_->writeLevel(info["id"].stringValue(), info, geometry, objects);
        level_.reset();
        level_ = Level::levelFromFile(file);
        if (!level_) {
            ADD_FAILURE() << "refused";
            return nullptr;
        }
        level_->loadLevelGeometry();
        EXPECT_TRUE(level_->loadLevelObjects());
        level_->setPlayer(&player_);
        return level_.get();
    }

    // Runs the clock in frames of 1/60 s for `seconds`.
    void run(float seconds) {
        for (int frames = static_cast<int>(std::lround(seconds * 60)); frames > 0; --frames) level_->updateDay(1 / 60.0f);
    }

    LevelTestWorld* world_ = nullptr;
    RefPtr<Level> level_;
    RecordingPlayer player_;
};

TEST_F(LevelTest, DefaultsAndDerivedValues) {
    PhysicsOnlyLayer layer;
    Value info = testLevelInfo("test_a", 120);
    info.set("gravity_magnitude", 0.5);
    Level* level = load(info, dict({{"front_sprites", array({})},
                                     {"camera_geometry", array({dict({{"fixtures", array({})}})})}}),
                        testLevelObjects({dict({{"type", 109}}), dict({{"type", 109}}),
                                          dict({{"type", 1000}, {"position", "{1000, 0}"}})}));
    ASSERT_NE(level, nullptr);
    EXPECT_FLOAT_EQ(level->gravityMagnitude(), 160);
    EXPECT_FLOAT_EQ(layer.gravityController()->strength(), 5);
    EXPECT_FLOAT_EQ(level->antiGravityMagnitude(), 320) << "absent: 320";
    EXPECT_FALSE(level->hasFrontLayer()) << "empty front sprites";
    EXPECT_FALSE(level->hasCameraInfo()) << "camera entries without fixtures";
    EXPECT_EQ(level->totalBuddies(), 2);
    EXPECT_EQ(level->referenceHoney(), 100u) << "from the catalogue";
    EXPECT_FLOAT_EQ(level->autoFlyFlightLevel(), 1750);
    EXPECT_FLOAT_EQ(level->groundFillRadius(), 904);
    EXPECT_FLOAT_EQ(level->hiveAngleRads(), static_cast<float>(M_PI / 2)) << "the first of two hives";
    EXPECT_EQ(Level::currentLevel(), level);
    level_.reset();
    EXPECT_EQ(Level::currentLevel(), nullptr);
}

TEST_F(LevelTest, WithoutGravityTheControllersPullAtTen) {
    PhysicsOnlyLayer layer;
    ASSERT_NE(load(testLevelInfo("test_a", 120)), nullptr);
    EXPECT_FLOAT_EQ(layer.gravityController()->strength(), 10);
}

TEST_F(LevelTest, MalformedLevelsAreRefused) {
    struct Case {
        const char* name;
        const char* key;
        Value value;
    };
    const Case cases[] = {
        {"no id", "id", Value()},
        {"an empty id", "id", ""},
        {"sky at the ground", "sky_radius", 1000},
        {"bottom at the sky", "bottom_radius", 2000},
        {"a day of no length", "length_of_day", 0},
        {"a negative day", "length_of_day", -5},
        {"a ring of one subdivision", "ground_subdivisions", 1},
        {"a ring beyond 16-bit indices", "bgfar_subdivisions", 40000},
        {"a fill of two segments", "ground_fill_subdivisions", 2},
        {"a ground repeated beyond an int's reach", "ground_repeat", 2147483647},
        {"a background never repeated", "bgfar_repeat", 0},
        {"a radius that is no number", "ground_radius", std::nan("")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Value info = testLevelInfo("bad", 120);
        Value copy = Value::dictionary();
        for (const auto& [key, value] : info.entries()) {
            if (key == c.key && c.value.isNone()) continue;
            copy.set(key, key == c.key ? c.value : value);
        }
        const std::string file = world_->writeLevel("bad", copy, dict({}), testLevelObjects());
        LogCapture log;
        EXPECT_EQ(Level::levelFromFile(file), nullptr);
        EXPECT_TRUE(log.contains("is refused")) << c.name;
        EXPECT_EQ(Level::currentLevel(), nullptr);
    }

    LogCapture log;
    EXPECT_EQ(Level::levelFromFile("missing.plist"), nullptr);
    world_->writeBytes("broken.plist", "<plist><dict><key>id</key>");
    EXPECT_EQ(Level::levelFromFile("broken.plist"), nullptr);

    const std::string file = world_->writeLevel("test_a", testLevelInfo("test_a", 120), dict({}),
                                                dict({{"gameobjects", array({dict({{"type", 1}})})}}));
    RefPtr<Level> level = Level::levelFromFile(file);
    ASSERT_NE(level, nullptr);
    EXPECT_FALSE(level->loadLevelObjects()) << "no hive";
    EXPECT_TRUE(log.contains("no hive"));
}

TEST_F(LevelTest, TimeWarningsComeOnceAt60And30And10Seconds) {
    Level* level = load(testLevelInfo("test_a", 120));
    ASSERT_NE(level, nullptr);
    run(119);
    EXPECT_EQ(player_.timeMessages, (std::vector<float>{6, 6, 11}));
    run(1.1f);
    EXPECT_EQ(player_.timeUp, 1);
    EXPECT_EQ(level->timeState(), Level::kTimeDusk);

    // One frame from 65 s left to 25 s left: one message.
    player_.timeMessages.clear();
    level = load(testLevelInfo("test_a", 120));
    run(55);
    level->updateDay(40);
    EXPECT_EQ(player_.timeMessages, (std::vector<float>{6}));
}

TEST_F(LevelTest, DayLengthChangesAtThirtySecondsPerSecond) {
    struct Case {
        float change;
        float seconds;
    } cases[] = {{30, 1.0f}, {-45, 1.5f}};
    for (const Case& c : cases) {
        Level* level = load(testLevelInfo("test_a", 120));
        run(10);
        level->changeLengthOfDay(c.change);
        run(c.seconds - 0.5f);
        EXPECT_TRUE(level->isDayLengthChanging()) << "not done after " << c.seconds - 0.5f << " s";
        run(0.5f);
        EXPECT_FALSE(level->isDayLengthChanging());
        EXPECT_NEAR(level->lengthOfDay(), 120 + c.change, 1e-2);
    }
}

TEST_F(LevelTest, SkyColoursFollowTheDay) {
    // Within one byte: the blends truncate single-precision products.
    auto near = [](ccColor3B got, ccColor3B expected) {
        return std::abs(got.r - expected.r) <= 1 && std::abs(got.g - expected.g) <= 1 &&
               std::abs(got.b - expected.b) <= 1;
    };
    Level* level = load(testLevelInfo("test_a", 100));
    level->updateDay(2.5f);
    EXPECT_TRUE(near(level->skyColourCurrentTop(), {50, 75, 145})) << "halfway through the dawn";
    EXPECT_EQ(level->timeState(), Level::kTimeDawn);
    level->updateDay(57.5f);
    EXPECT_EQ(level->timeState(), Level::kTimeDay);
    EXPECT_TRUE(near(level->skyColourCurrentTop(), {100, 150, 250})) << "held until 60 % of the day";
    level->updateDay(20);
    EXPECT_TRUE(near(level->skyColourCurrentTop(), {150, 125, 150})) << "80 %: halfway to the end colours";
    level->updateDay(20.5f);
    EXPECT_EQ(level->skyColourCurrentTop(), (ccColor3B{200, 100, 50})) << "the end colours when the day ends";
    EXPECT_TRUE(level->isNight());
    level->updateDay(3.9f);
    EXPECT_EQ(level->timeState(), Level::kTimeDusk);
    level->updateDay(0.2f);
    EXPECT_EQ(level->timeState(), Level::kTimeNight) << "night falls in 4 s";
    EXPECT_EQ(level->skyColourCurrentBottom(), (ccColor3B{20, 20, 80}));
    level->updateDay(1 / 60.0f);
    EXPECT_FALSE(level->skyColourRequiresUpdate()) << "nothing changes at night";
}

TEST_F(LevelTest, ListsFileByKindAndPriorityAndSurviveSelfRemoval) {
    Level* level = load(testLevelInfo("test_a", 120), dict({}),
                        testLevelObjects({dict({{"type", 1}}), dict({{"type", 2}, {"remove_self", true}}),
                                          dict({{"type", 3}}), dict({{"type", 800}, {"priority", 1}}),
                                          dict({{"type", 801}, {"priority", 0}}), dict({{"type", 701}})}));
    ASSERT_NE(level, nullptr);
    EXPECT_EQ(level->flowers().count(), 3u);
    EXPECT_EQ(level->gameObjectsPriorityNone().count(), 1u);
    EXPECT_EQ(level->gameObjectsPriorityHigh().count(), 2u) << "the hive and the emitter";

    std::vector<RefPtr<GameObject>> flowers;
    for (size_t i = 0; i < level->flowers().count(); ++i) flowers.emplace_back(level->flowers().at(i));
    level->update(0.1f);
    EXPECT_EQ(level->flowers().count(), 2u) << "the second flower left";
    for (const RefPtr<GameObject>& flower : flowers) {
        EXPECT_EQ(static_cast<StandInObject*>(flower.get())->updates, 1) << "each flower updated once";
    }

    // Removing others during a reversed walk visits each remaining object once.
    int visits = 0;
    level->flowers().forEachReversed([&](GameObject* object) {
        ++visits;
        if (object == flowers[2].get()) level->removeFlower(flowers[0].get());
    });
    EXPECT_EQ(visits, 1);

    level->onLevelEnding();
    EXPECT_EQ(static_cast<StandInObject*>(flowers[2].get())->daysOver, 1);
}

TEST_F(LevelTest, TheTwentyFirstProjectileDestroysTheOldest) {
    Level* level = load(testLevelInfo("test_a", 120));
    std::vector<RefPtr<StandInProjectile>> shots;
    for (int i = 0; i < 21; ++i) {
        shots.push_back(StandInProjectile::make());
        level->addGameObject(shots.back().get());
    }
    EXPECT_EQ(level->projectiles().count(), Level::kMaxProjectiles);
    EXPECT_TRUE(shots[0]->destroyed);
    EXPECT_FALSE(level->projectiles().contains(shots[0].get()));
    EXPECT_EQ(level->projectiles().at(0), shots[1].get());
    EXPECT_EQ(level->projectiles().at(19), shots[20].get());
}

TEST_F(LevelTest, CameraFloorFollowsTheCameraGeometry) {
    Level* level = load(testLevelInfo("test_a", 120));
    EXPECT_FLOAT_EQ(level->getCameraBottomAtPosition(CGPointMake(300, 400)), 1000) << "no geometry";

    const Value floor = dict({{"type", 1}, {"vertices", array({"{-2000, 1200}", "{2000, 1200}"})}});
    const Value nowhere = dict({{"type", 1}, {"vertices", array({"{-2000, 100}", "{2000, 100}"})}});
    LogCapture log;
    level = load(testLevelInfo("test_a", 120),
                 dict({{"camera_geometry", array({dict({{"position", "{0, 0}"}, {"fixtures", array({floor})}}),
                                                  dict({{"angle", std::nan("")}, {"fixtures", array({nowhere})}})})}}));
    EXPECT_TRUE(log.contains("is no place")) << "an entry turned by no number";
    ASSERT_TRUE(level->hasCameraInfo());
    EXPECT_NEAR(level->getCameraBottomAtPosition(CGPointMake(0, 500)), 1200, 0.1);
    EXPECT_NEAR(level->getCameraBottomAtPosition(CGPointMake(300, 400)), 1500, 0.1);
    EXPECT_FLOAT_EQ(level->getCameraBottomAtPosition(CGPointMake(0, -500)), 1000) << "nothing below";
    EXPECT_FLOAT_EQ(level->getCameraBottomAtPosition(CGPointZero), 1000) << "the centre itself";
    EXPECT_FLOAT_EQ(level->percOfAllowedLimitsAtPosition(CGPointMake(0, 2000)), 1);
    EXPECT_GT(level->percOfAllowedLimitsAtPosition(CGPointMake(0, 2100)), 1);
}

TEST_F(LevelTest, NightFlightHeadsForTheHive) {
    Level* level = load(testLevelInfo("test_a", 1));
    player_.at = CGPointMake(0, 1500);
    EXPECT_EQ(level->playerAutoAcceleration(), CGPointZero) << "by day";
    run(1.1f);
    ASSERT_TRUE(level->isNight());

    struct Case {
        CGPoint bee;
        CGPoint expected;
    } cases[] = {
        {{0, 1375}, {0, -0.3}},     // above the hive, 375 away: half the pull
        {{0, 2000}, {0, -0.6}},     // 1000 away: the whole pull
        {{0, 1000}, {0, 0}},        // on the hive's point: no pull
        {{-1750, 0}, {0, 0.75}},    // left of the planet at flight level: clockwise, up
        {{1750, 0}, {0, 0.75}},     // right of it: counter-clockwise, up
        {{1850, 0}, {-0.53033, 0.53033}},  // above the flight level: also down towards it
    };
    for (const Case& c : cases) {
        player_.at = c.bee;
        const CGPoint a = level->playerAutoAcceleration();
        EXPECT_NEAR(a.x, c.expected.x, 1e-4) << c.bee.x << ", " << c.bee.y;
        EXPECT_NEAR(a.y, c.expected.y, 1e-4) << c.bee.x << ", " << c.bee.y;
    }
}

TEST_F(LevelTest, ParticlePoolsPreferFreeSystems) {
    world_->writeList("drops.plist", dict({{"maxParticles", 20}, {"duration", 0.5}, {"particleLifespan", 1}}));
    Value info = testLevelInfo("test_a", 120);
    info.set("particles_info", dict({{"vantrel_collect_nectar", "drops.plist"}, {"bonus", "missing.plist"}}));
    LogCapture log;
    Level* level = load(info);
    level->createParticles();
    EXPECT_EQ(level->nextBonusParticles(), nullptr) << "an unreadable list builds no pool";
    EXPECT_EQ(level->nextVantrelLoseNectarParticles(), nullptr) << "a pool the level does not name";
    EXPECT_TRUE(log.contains("missing.plist"));

    int marker = 0;
    RestartableParticleSystem* first = level->nextVantrelCollectNectarParticles();
    RestartableParticleSystem* second = level->nextVantrelCollectNectarParticles();
    RestartableParticleSystem* third = level->nextVantrelCollectNectarParticles();
    ASSERT_NE(first, nullptr);
    EXPECT_NE(first, second);
    EXPECT_NE(second, third);
    first->setUserData(&marker);
    third->setUserData(&marker);
    EXPECT_EQ(level->nextVantrelCollectNectarParticles(), second) << "skips the attached ones";
    second->setUserData(&marker);
    RestartableParticleSystem* fourth = level->nextVantrelCollectNectarParticles();
    EXPECT_TRUE(fourth == first || fourth == second || fourth == third) << "all attached: one of them anyway";
    for (RestartableParticleSystem* system : {first, second, third}) system->setUserData(nullptr);
}

}  // namespace

namespace {

TEST_F(LevelTest, TheMeadowLevelsLoadAndCanBeFinished) {
    const struct {
        const char* id;
        float day;
    } levels[] = {{"meadow_a", 90}, {"meadow_b", 120}, {"meadow_c", 150}};
    ScopedResourceFolder resources(VANTREL_SOURCE_RESOURCES);
    CCFileUtils::sharedFileUtils()->purgeCachedEntries();
    for (const auto& expected : levels) {
        SCOPED_TRACE(expected.id);
        level_.reset();
        level_ = Level::levelFromFile(std::string(expected.id) + ".plist");
        ASSERT_NE(level_, nullptr);
        level_->loadLevelGeometry();
        ASSERT_TRUE(level_->loadLevelObjects());
        EXPECT_FLOAT_EQ(level_->lengthOfDay(), expected.day);
        EXPECT_GT(level_->skyRadius() - level_->groundRadius(), 768 * 2 / 3.0f);
        EXPECT_TRUE(level_->hasCameraInfo());
        EXPECT_GE(level_->flowers().count(), 7u) << "flowers around the planet";
        EXPECT_EQ(level_->totalBuddies(), 1);
        const CGPoint hive = static_cast<StandInHive*>(level_->hive())->position();
        // The hive's centre, half its height over the ground, is where the bee flies.
        EXPECT_GE(level_->percOfAllowedLimitsAtPosition(hive), 0.0f) << "the hive is sunk into the ground";
        EXPECT_LT(level_->percOfAllowedLimitsAtPosition(hive), 0.1f) << "the hive does not stand on the ground";
        EXPECT_NEAR(level_->getCameraBottomAtPosition(hive), level_->groundRadius() + 10, 3) << "a chord of the camera loop";
    }
    CCFileUtils::sharedFileUtils()->purgeCachedEntries();
}

}  // namespace

TEST_F(LevelTest, AnUnknownEffectIsLoggedOncePerLevel) {
    const RefPtr<game::SimpleEffect> effects[] = {
        game::SimpleEffect::simpleEffect("nowhere", 1, 1, 0, {255, 255, 255}, 255),
        game::SimpleEffect::simpleEffect("nowhere", 1, 2, 5, {255, 0, 0}, 255),
    };
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        ASSERT_NE(load(testLevelInfo("test_a", 120)), nullptr);
        LogCapture log;
        for (int i = 0; i < 3; ++i) {
            for (const auto& effect : effects) EXPECT_EQ(effect->showAt(CGPointMake(0, 1200), 0), nullptr);
        }
        size_t lines = 0;
        for (const std::string& line : log.lines()) lines += line.find("no effect \"nowhere\"") != std::string::npos;
        EXPECT_EQ(lines, 1u) << "each level says it once";
    }
}
