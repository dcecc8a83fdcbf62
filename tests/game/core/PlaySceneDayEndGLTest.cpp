// The end of the day in the real play scene, run by the scheduler at 1/60 s a frame: wherever the
// bee waits when the day ends, and however the player pauses across its end, the night flight
// brings it into the hive and the end menu comes; the day's result is saved as the summary shows,
// once; the hive's bubbles hang from the top of its honey.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "engine/core/CCScheduler.h"
#include "engine/core/support/ccPointMath.h"
#include "engine/render/CCSprite.h"
#include "game/core/GameMessage.h"
#include "game/core/HiveProtocol.h"
#include "game/core/Hud.h"
#include "game/core/Levels.h"
#include "game/core/PlaySceneTestSupport.h"
#include "game/core/Stats.h"
#include "platform/foundation/Random.h"

namespace {

constexpr float kFrame = 1 / 60.0f;
constexpr int kDawnFrames = 310;  // the dawn lasts 5 s
constexpr float kHeadRadius = 19;

// A level of the test planet whose hive sensor, a box 170 x 140 centred at (0, 1130), stands
// above the hive's point (0, 1000): an empty hive's honey may top out below its doorway.
void writeNightLevel(const std::string& id) {
    const Value sensor = dict({{"position", "{0, 1130}"},
                               {"fixtures", array({dict({{"type", 4},
                                                         {"width", 170},
                                                         {"height", 140},
                                                         {"is_sensor", true},
                                                         {"sensor_name", "hive"}})})}});
    LevelTestWorld::shared().writeLevel(id, testLevelInfo(id, 60), dict({{"static_geometry", array({sensor})}}),
                                        testLevelObjects());
}

// Moves the bee's four bodies together so that its head stands still at `at` (points).
void placeBee(Player* bee, CGPoint at) {
    const b2Vec2 shift = b2Vec2(static_cast<float>(at.x / 32), static_cast<float>(at.y / 32)) -
                         bee->vantrelBody()->GetPosition();
    for (b2Body* body : {bee->vantrelBody(), bee->bodyBody(), bee->antennaeRightBody(), bee->antennaeLeftBody()}) {
        body->SetTransform(body->GetPosition() + shift, body->GetAngle());
        body->SetLinearVelocity({0, 0});
        body->SetAngularVelocity(0);
    }
}

class PlaySceneDayEndGLTest : public GLSceneTest {
protected:
    void SetUp() override {
        LevelTestWorld::shared();
        GLSceneTest::SetUp();
    }
    void TearDown() override {
        leave();
        GLSceneTest::TearDown();
    }

    // Builds the level's scene and enters it.
    VantrelGameLayer* enter(const std::string& id) {
        Random::seed(11);
        layer_ = makeRef<VantrelGameLayer>();
        if (runPlayScene(layer_.get(), id, director_.get())) return layer_.get();
        layer_.reset();
        return nullptr;
    }
    void leave() {
        if (!layer_) return;
        layer_->removeFromParentAndCleanup(true);
        layer_.reset();
        runFrames(1);
    }

    void tick(int frames) {
        for (int i = 0; i < frames; ++i) director_->scheduler()->update(kFrame);
    }
    // Past the dawn, then `seconds` of day left.
    void endDayIn(float seconds) {
        tick(kDawnFrames);
        layer_->level()->setLengthOfDay(layer_->level()->currentTimeOfDay() + seconds);
    }
    // Runs until the end menu starts to slide in, at most `seconds`; whether it did.
    bool endMenuComesWithin(float seconds) {
        for (int frame = 0; frame < seconds * 60; ++frame) {
            if (layer_->hud()->endGameMenuState() != Hud::kMenuClosed) return true;
            tick(1);
        }
        return layer_->hud()->endGameMenuState() != Hud::kMenuClosed;
    }

    static Event escape() {
        Event event;
        event.type = EventType::keyDown;
        event.keyCode = kKeyCodeEscape;
        return event;
    }

    RefPtr<VantrelGameLayer> layer_;
};

TEST_F(PlaySceneDayEndGLTest, TheNightFlightBringsTheBeeIntoTheHiveFromARingAroundItsSensor) {
    writeNightLevel("night_test");
    struct Row {
        const char* level;
        bool shipped;
    } rows[] = {{"night_test", false}, {"meadow_a", true}, {"meadow_b", true}, {"works_b", true}};
    for (const Row& row : rows) {
        std::optional<ScopedResourceFolder> resources;
        std::optional<ShippedObjectKinds> kinds;
        if (row.shipped) {
            resources.emplace(VANTREL_APP_RESOURCES);
            kinds.emplace();
        } else {
            registerStandInKinds();
        }
        CCFileUtils::sharedFileUtils()->purgeCachedEntries();
        // The sensor's middle, then places round it on the ground's side of the sky: beside the
        // doorway, above it, and far enough that the bee first flies in from the side.
        std::vector<CGPoint> starts;
        ASSERT_TRUE(enter(row.level));
        ASSERT_TRUE(layer_->level()->hasHiveSensor());
        const CGPoint centre = layer_->level()->hiveSensorPosition();
        const double ground = layer_->level()->groundRadius();
        ASSERT_NO_FATAL_FAILURE(leave());
        const double length = std::hypot(centre.x, centre.y);
        const CGPoint up{centre.x / length, centre.y / length}, right{up.y, -up.x};
        starts.push_back(centre);
        for (double radius : {120.0, 350.0}) {
            for (int degrees = 0; degrees <= 180; degrees += 30) {
                const double a = degrees * M_PI / 180;
                const CGPoint at{centre.x + radius * (std::cos(a) * right.x + std::sin(a) * up.x),
                                 centre.y + radius * (std::cos(a) * right.y + std::sin(a) * up.y)};
                if (std::hypot(at.x, at.y) >= ground + kHeadRadius + 5) starts.push_back(at);
            }
        }
        for (const CGPoint& start : starts) {
            SCOPED_TRACE(std::string(row.level) + " from " + std::to_string(start.x) + ", " + std::to_string(start.y));
            ASSERT_TRUE(enter(row.level));
            endDayIn(0.5f);
            placeBee(layer_->player(), start);
            layer_->player()->setNectar(20);
            EXPECT_TRUE(endMenuComesWithin(40));
            EXPECT_TRUE(layer_->level()->isNight());
            ASSERT_NO_FATAL_FAILURE(leave());
        }
        if (!row.shipped) game::GameObjectKinds::unregisterKinds();
    }
}

TEST_F(PlaySceneDayEndGLTest, PausingAndResumingAtAnyFrameOfTheDaysLastSecondStillEndsWithTheMenu) {
    writeNightLevel("night_test");
    registerStandInKinds();
    for (int pauseAt = 0; pauseAt < 60; ++pauseAt) {
        for (int pausedFor : {1, 20}) {
            SCOPED_TRACE("paused at frame " + std::to_string(pauseAt) + " for " + std::to_string(pausedFor));
            ASSERT_TRUE(enter("night_test"));
            endDayIn(1.0f);
            placeBee(layer_->player(), layer_->level()->hiveSensorPosition());
            layer_->player()->setNectar(5);
            tick(pauseAt);
            ASSERT_TRUE(layer_->ccKeyDown(escape()));
            EXPECT_TRUE(layer_->gamePaused());
            tick(pausedFor);
            EXPECT_TRUE(layer_->level()->isDay()) << "the day stands still while paused";
            ASSERT_TRUE(layer_->ccKeyDown(escape()));
            EXPECT_FALSE(layer_->gamePaused());
            EXPECT_TRUE(endMenuComesWithin(10));
            EXPECT_FALSE(layer_->ccKeyDown(escape())) << "Escape does nothing at night";
            ASSERT_NO_FATAL_FAILURE(leave());
        }
    }
    game::GameObjectKinds::unregisterKinds();
}

TEST_F(PlaySceneDayEndGLTest, TheDaysResultIsSavedAsTheSummaryShowsAndNotAgainOnLeaving) {
    // Test A: unlocking test B takes 50 honey.
    writeNightLevel("test_a");
    registerStandInKinds();
    Levels* levels = Levels::sharedInstance();
    Stats* stats = Stats::sharedInstance();
    levels->deleteScores();  // test B closed again, whatever an earlier run opened
    ASSERT_FALSE(levels->isLevelAvailableAndUnLocked("test_b"));
    const uint32_t honeyBefore = stats->getStatUInt("honey");
    const uint32_t finishedBefore = stats->getStatUInt("games_finished");
    VantrelGlobal::sharedInstance()->setLastLevelUnlockedNewLevel(false);
    const auto saved = [](const std::string& path, const char* key) {
        const std::optional<Value> file = Value::fromFile(path, nullptr);
        return file ? (*file)[key].integerValue() : -1;
    };

    ASSERT_TRUE(enter("test_a"));
    endDayIn(0.5f);
    placeBee(layer_->player(), layer_->level()->hiveSensorPosition());
    layer_->player()->setNectar(60);
    ASSERT_TRUE(endMenuComesWithin(20));
    const int64_t honey = static_cast<int64_t>(layer_->player()->hiveHoney());
    EXPECT_GE(honey, 60) << "with the bonus of pouring before the day's end";
    // On disk before anything else is pressed: closing the window now keeps the day.
    EXPECT_EQ(saved(levels->scoresFilePath(), "test_a"), honey);
    EXPECT_EQ(saved(stats->statsFilePath(), "honey"), honeyBefore + honey);
    EXPECT_TRUE(levels->isLevelAvailableAndUnLocked("test_b"));
    EXPECT_TRUE(VantrelGlobal::sharedInstance()->lastLevelUnlockedNewLevel());
    EXPECT_EQ(VantrelGlobal::sharedInstance()->unlockedLevelId(), "test_b");
    ASSERT_NE(layer_->hud()->endGameHiveUnlockedMessageHolder()->children(), nullptr)
        << "the summary still announces the hive it opens";

    // Leaving by the main menu counts the finished game, and nothing twice.
    layer_->finishGame();
    EXPECT_EQ(saved(stats->statsFilePath(), "honey"), honeyBefore + honey);
    EXPECT_EQ(saved(stats->statsFilePath(), "games_finished"), finishedBefore + 1);
    EXPECT_EQ(saved(levels->scoresFilePath(), "test_a"), honey);
    game::GameObjectKinds::unregisterKinds();
}

TEST_F(PlaySceneDayEndGLTest, TheHivesBubblesHangFromTheTopOfItsHoney) {
    ScopedResourceFolder resources(VANTREL_APP_RESOURCES);
    CCFileUtils::sharedFileUtils()->purgeCachedEntries();
    ShippedObjectKinds kinds;
    ASSERT_TRUE(enter("meadow_a"));
    auto* hive = dynamic_cast<HiveProtocol*>(layer_->level()->hive());
    ASSERT_NE(hive, nullptr);
    placeBee(layer_->player(), layer_->level()->hiveSensorPosition());
    tick(300);  // the camera, which turns the bubbles, settles on the bee
    // The hive's honey bubble sits at its offset (left of its target), turned with the camera.
    GameMessage* honey = layer_->player()->hiveHoneyMessage();
    ASSERT_TRUE(honey->visible());
    ASSERT_EQ(layer_->player()->hiveMessagesInfo()->queue(), honey);
    const CGPoint offset = ccPointRotateAround(honey->positionOffset(), CGPointZero, -honey->rotation() * M_PI / 180);
    EXPECT_NEAR(honey->position().x, hive->position().x + offset.x, 0.5);
    EXPECT_NEAR(honey->position().y, hive->position().y + offset.y, 0.5);
}

}  // namespace
