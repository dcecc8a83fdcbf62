// Garden A played from start to end menu with the game's own objects and resources: a scripted
// player drinks from two flowers, takes a nectar pickup and a buddy, pours at the hive; the day
// ends, the bee is flown home, the summary shows, and a click on the end menu's buttons reaches
// the transition, with the statistics and scores saved and the sounds heard.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "shell/VantrelTransitionLayer.h"
#include "engine/core/support/CCArray.h"
#include "engine/core/support/CCFileUtils.h"
#include "engine/render/CCMenuItem.h"
#include "game/core/GameObjectFactory.h"
#include "game/core/HiveProtocol.h"
#include "game/core/Hud.h"
#include "game/core/KSMenu.h"
#include "game/core/Levels.h"
#include "game/core/PickupProtocol.h"
#include "game/core/PlaySceneTestSupport.h"
#include "game/core/PlayerSwarm.h"
#include "game/core/Stats.h"
#include "game/objects/GameObjectKinds.h"
#include "platform/foundation/Random.h"
#include "tests/game/core/RecordingSoundOutput.h"
#include "tests/game/objects/ShippedLevelsTest.h"

namespace {

constexpr float kFrame = 1.0f / 60;

// The transition's destinations, registered for one test: the play scene and a bare menu.
struct RegisteredScenes {
    RegisteredScenes() {
        VantrelGameLayer::registerScene();
        VantrelTransitionLayer::registerScene(VantrelTransitionLayer::kMenuClassName, [] { return CCScene::node(); });
    }
    ~RegisteredScenes() {
        VantrelTransitionLayer::registerScene(VantrelGameLayer::kClassName, nullptr);
        VantrelTransitionLayer::registerScene(VantrelTransitionLayer::kMenuClassName, nullptr);
    }
};

struct GameResult {
    bool summaryComplete = false;
    bool loopsPlayed = false;
    uint64_t stateHash = 0;
    std::string destination;
};

class GardenEndToEndTest : public PlaySceneGLTest {
protected:
    static void SetUpTestSuite() { setenv("ALSOFT_DRIVERS", "null", 1); }

    static void mix(uint64_t* hash, double value) {
        uint64_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        *hash = (*hash ^ bits) * 1099511628211ull;
    }

    // The object of the list nearest the point, held for the script.
    static RefPtr<GameObject> nearest(GameObjectList& list, CGPoint point) {
        GameObject* best = nullptr;
        double bestDistance = 1e18;
        list.forEach([&](GameObject* object) {
            auto* flower = dynamic_cast<FlowerProtocol*>(object);
            auto* pickup = dynamic_cast<PickupProtocol*>(object);
            PhysicsSprite* sprite = flower ? flower->physicsSprite() : pickup ? pickup->physicsSprite() : nullptr;
            if (!sprite) return;
            const double d = std::hypot(sprite->position().x - point.x, sprite->position().y - point.y);
            if (d < bestDistance) best = object, bestDistance = d;
        });
        return RefPtr<GameObject>(best);
    }

    // Plays garden A to its end menu and clicks play-again or main-menu there.
    void play(bool playAgain, GameResult* result) {
        game::GameObjectKinds::registerKinds();  // over the stand-ins of the fixture
        // The HUD's layout wants the game's window.
        ASSERT_NO_FATAL_FAILURE(useGameWindow());
        Random::seed(11);
        VantrelGlobal::sharedInstance()->setNextLevelId("garden_a");
        layer_ = makeRef<PlaySceneUnderTest>();
        ASSERT_TRUE(layer_->init()) << "garden A refused";
        scene_->addChild(layer_.get());
        Level* level = layer_->level();

        // Two flowers, the nectar pickup and the buddy near the start, in flying order.
        std::vector<RefPtr<GameObject>> targets = {
            nearest(level->flowers(), {534, 1146}), nearest(level->pickups(), {876, 1043}),
            nearest(level->flowers(), {1091, 630}), nearest(level->pickups(), {1430, 383})};
        for (const auto& target : targets) ASSERT_NE(target.get(), nullptr) << "a scripted target is missing";
        const CGPoint hive = dynamic_cast<HiveProtocol*>(level->hive())->position();

        MousePilot pilot(layer_.get());
        size_t next = 0;
        int onTarget = 0;
        uint64_t hash = 1469598103934665603ull;
        const int frames = static_cast<int>((level->lengthOfDay() + 60) * 60);
        for (int frame = 0; frame < frames && !bee()->finalNectarTransferComplete(); ++frame) {
            if (level->isDay()) {
                if (next < targets.size()) {
                    GameObject* target = targets[next].get();
                    auto* flower = dynamic_cast<FlowerProtocol*>(target);
                    auto* pickup = dynamic_cast<PickupProtocol*>(target);
                    const CGPoint at = flower ? flower->physicsSprite()->position() : pickup->physicsSprite()->position();
                    const CGPoint bee = this->bee()->position();
                    const bool arrived =
                        std::hypot(at.x - bee.x, at.y - bee.y) < 30 || (flower && this->bee()->isConsumingNectar());
                    if (flower ? arrived || onTarget > 0 : pickup->canBeConsumed()) {
                        // A pickup still not reached after two seconds lies too low: the bee dives
                        // at a point below it.
                        const double dive = (onTarget < 120 ? 0 : 150) / std::hypot(at.x, at.y);
                        if (flower) pilot.letGo(); else pilot.steerAt({at.x * (1 - dive), at.y * (1 - dive)});
                        if (flower && ++onTarget == 150) ++next, onTarget = 0;
                        if (!flower && ++onTarget == 900) ++next, onTarget = 0;  // give up on it
                    } else if (flower) {
                        pilot.steerAt(at);
                    } else {
                        ++next, onTarget = 0;
                    }
                } else if (bee()->droplets() > 0) {
                    pilot.steerAt(hive);
                } else {
                    pilot.letGo();
                }
            } else {
                pilot.letGo();
            }
            layer_->update(kFrame);
            result->loopsPlayed = result->loopsPlayed || (bee()->windSoundSource() && bee()->buzzSoundSource());
            const CGPoint now = bee()->position();
            mix(&hash, now.x);
            mix(&hash, now.y);
            mix(&hash, static_cast<double>(bee()->droplets()));
            mix(&hash, static_cast<double>(bee()->hiveDroplets()));
            mix(&hash, bee()->buddiesShowing());
        }
        result->summaryComplete = bee()->finalNectarTransferComplete();
        result->stateHash = hash;

        // The end menu slides in over 0.4 s; its buttons are clicked where they show.
        ASSERT_NO_FATAL_FAILURE(runFrames(40));
        Hud* hud = layer_->hud();
        EXPECT_EQ(hud->endGameMenuState(), Hud::kMenuOpen);
        KSMenu* menu = nullptr;
        CCArray* children = hud->endGameMenuHolder()->children();
        for (size_t i = 0; i < children->count(); ++i) {
            if (auto* m = dynamic_cast<KSMenu*>(children->objectAtIndex(i))) menu = m;
        }
        ASSERT_NE(menu, nullptr) << "no end menu";
        // Play again at the bottom left, main menu at the bottom right.
        CGPoint click = CGPointZero;
        for (size_t i = 0; i < menu->children()->count(); ++i) {
            auto* button = static_cast<CCNode*>(menu->children()->objectAtIndex(i));
            const CGSize size = button->contentSize();
            const CGPoint centre = button->convertToWorldSpace({size.width / 2, size.height / 2});
            if (i == 0 || (playAgain ? centre.x < click.x : centre.x > click.x)) click = centre;
        }
        EXPECT_TRUE(menu->ccMouseDown(mouse(EventType::mouseDown, click)));
        EXPECT_TRUE(menu->ccMouseUp(mouse(EventType::mouseUp, click)));
        if (CCScene* scene = CCDirector::sharedDirector()->nextScene(); scene && scene->children()) {
            if (auto* transition = dynamic_cast<VantrelTransitionLayer*>(scene->children()->objectAtIndex(0))) {
                result->destination = transition->destination();
            }
        }
    }
};

TEST_F(GardenEndToEndTest, GardenAIsPlayedToTheEndMenuTheSameWayTwice) {
    ScopedResourceFolder resources(VANTREL_APP_RESOURCES);
    CCFileUtils::sharedFileUtils()->purgeCachedEntries();
    ShippedObjectKinds kinds;
    RegisteredScenes scenes;
    RecordingSoundOutput sounds;
    Stats* stats = Stats::sharedInstance();
    const uint32_t finishedBefore = stats->getStatUInt("games_finished");
    const uint32_t startedBefore = stats->getStatUInt("games_started");
    const uint32_t buddiesBefore = stats->getStatUInt("buddies_found");
    const uint32_t flowersBefore = stats->getStatUInt("flowers_visited");
    const uint32_t honeyBefore = stats->getStatUInt("honey");

    GameResult first;
    ASSERT_NO_FATAL_FAILURE(play(true, &first));
    ASSERT_TRUE(first.summaryComplete);
    EXPECT_TRUE(first.loopsPlayed) << "the wind and buzz loops played";
    EXPECT_EQ(first.destination, VantrelGameLayer::kClassName) << "play again";
    Player* bee = layer_->player();
    EXPECT_GE(bee->statFlowersVisited(), 2);
    EXPECT_GE(bee->statNectarBonuses(), 1);
    EXPECT_EQ(bee->statBuddiesFound(), 1);
    EXPECT_EQ(bee->buddiesShowing(), 1);
    EXPECT_TRUE(bee->swarm()->buddiesUnderneath()) << "flown home at night";
    EXPECT_GT(bee->hiveHoney(), 1.0f);
    // The summary at the hive: flowers visited and buddies found.
    EXPECT_GE(bee->hiveMessagesBonus()->count(), 2u);
    EXPECT_EQ(sounds.count("clock_tick"), 3) << "60, 30 and 10 seconds left";
    EXPECT_GE(sounds.count("pickup_nectar"), 1);
    EXPECT_EQ(sounds.count("pickup_buddy"), 1);
    const uint32_t honey = static_cast<uint32_t>(bee->hiveHoney());
    EXPECT_EQ(stats->getStatUInt("games_started"), startedBefore + 1);
    EXPECT_EQ(stats->getStatUInt("buddies_found"), buddiesBefore + 1);
    EXPECT_EQ(stats->getStatUInt("flowers_visited"), flowersBefore + bee->statFlowersVisited());
    EXPECT_EQ(stats->getStatUInt("honey"), honeyBefore + honey);
    EXPECT_EQ(stats->getStatUInt("games_finished"), finishedBefore) << "play again does not finish the game";
    EXPECT_GE(Levels::sharedInstance()->getScoreForLevelId("garden_a"), honey);

    TearDown();
    ASSERT_NO_FATAL_FAILURE(SetUp());
    GameResult second;
    ASSERT_NO_FATAL_FAILURE(play(false, &second));
    EXPECT_TRUE(second.summaryComplete);
    EXPECT_EQ(second.destination, VantrelTransitionLayer::kMenuClassName) << "main menu";
    EXPECT_EQ(stats->getStatUInt("games_finished"), finishedBefore + 1);
    EXPECT_EQ(second.stateHash, first.stateHash);
}

}  // namespace
