// Every shipped level flown through a whole day by a scripted player who steers with the mouse,
// as a player does: it drinks from flowers until it carries a load, pours the load into the hive,
// and goes again, until the day ends and the bee is flown home. The best score the game saves for
// the level, read back from the scores archive, must reach the mark the level's hive shows for
// opening the next level; on a group's last level, the same share of that level's reference score.
// The scene is stepped at 1/60 s through the scheduler, without drawing.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "engine/core/CCScheduler.h"
#include "game/core/FlowerProtocol.h"
#include "game/core/HiveProtocol.h"
#include "game/core/Level.h"
#include "game/core/PhysicsSprite.h"
#include "game/core/PlaySceneTestSupport.h"
#include "game/core/Player.h"
#include "platform/foundation/Random.h"
#include "platform/foundation/StringUtils.h"
#include "shell/VantrelGlobal.h"
#include "tests/game/objects/ShippedLevelsTest.h"

namespace {

constexpr float kFrame = 1.0f / 60;
constexpr uint64_t kDropletsPerHoney = 100000;
// Each of the two bonuses (every flower visited, every buddy found) pays this much honey at once.
constexpr uint32_t kBonusHoney = 500;

// The script. Nectar in droplets, distances in points, gains per point and seconds per point.
constexpr uint64_t kLoad = 5 * kDropletsPerHoney;   // carried before turning for the hive
constexpr uint32_t kWorthAVisit = 30000;            // a flower holding less is passed by
constexpr double kHoverAboveHead = 36;              // the bee's head just clear of the flower's
constexpr double kCruiseAboveBottom = 120;          // over the flowers and props between targets
constexpr double kLookAhead = 300;                  // along the arc, while the goal is farther
constexpr double kPositionGain = 0.011;             // full input from 90 points away
constexpr double kVelocityGain = 0.0025;            // damps the approach (points per second)

struct Polar {
    double angle;   // radians, counter-clockwise from +x
    double radius;  // points from the planet's centre
};
Polar polarOf(CGPoint point) { return {std::atan2(point.y, point.x), std::hypot(point.x, point.y)}; }
CGPoint pointAt(double angle, double radius) { return {radius * std::cos(angle), radius * std::sin(angle)}; }
// The signed turn from one angle to another, -pi..pi.
double turnBetween(double from, double to) { return std::remainder(to - from, 2 * M_PI); }

struct Flight {
    bool summaryComplete = false;   // flown home, emptied, the end menu asked for
    uint32_t score = 0;             // the level's best score as saved
    uint32_t withoutBonuses = 0;    // the same less the 500-honey bonuses
    uint32_t flowersVisited = 0;
    uint32_t totalFlowers = 0;
};

class LevelFlightTest : public ShippedLevelsTest, public ::testing::WithParamInterface<const char*> {
protected:
    // No best score of an earlier flight stands for this one's.
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(ShippedLevelsTest::SetUp());
        Levels* levels = Levels::sharedInstance();
        ASSERT_EQ(levels->scoresFilePath().rfind(LevelTestWorld::shared().path(), 0), 0u)
            << "scores are deleted only in the test's own data folder";
        levels->deleteScores();
    }
    void TearDown() override {
        if (layer_) layer_->removeFromParentAndCleanup(true);
        layer_.reset();
        ShippedLevelsTest::TearDown();
    }

    // The flower the script flies to next: the most nectar for the way there.
    FlowerProtocol* nextFlower(const Polar& bee) const {
        FlowerProtocol* chosen = nullptr;
        double best = 0;
        layer_->level()->flowers().forEach([&](GameObject* object) {
            auto* flower = dynamic_cast<FlowerProtocol*>(object);
            if (!flower || flower->droplets() < kWorthAVisit) return;
            const double arc = std::fabs(turnBetween(bee.angle, polarOf(flower->physicsSprite()->position()).angle));
            const double worth = flower->droplets() / (arc * bee.radius + kLookAhead);
            if (worth > best) best = worth, chosen = flower;
        });
        return chosen;
    }

    // Where to steer for a goal: straight at it when near, else along the arc at cruising height.
    CGPoint waypointTowards(const Polar& bee, CGPoint goal) const {
        const Polar to = polarOf(goal);
        const double turn = turnBetween(bee.angle, to.angle);
        if (std::fabs(turn) * bee.radius <= kLookAhead) return goal;
        const double cruise = std::max<double>(layer_->level()->bottomRadius() + kCruiseAboveBottom, to.radius);
        return pointAt(bee.angle + std::copysign(kLookAhead / bee.radius, turn), cruise);
    }

    // The level's best score in the scores archive, read as the game reads it when it starts.
    static uint32_t savedBest(const std::string& id) {
        const Levels saved(std::string(VANTREL_APP_RESOURCES) + "/" + Levels::kLevelsFileName,
                           stringByDeletingLastPathComponent(Levels::sharedInstance()->scoresFilePath()), nullptr,
                           [] { return false; });
        return saved.getScoreForLevelId(id);
    }

    Flight fly() {
        Random::seed(7);
        useGameWindow();
        VantrelGlobal::sharedInstance()->setNextLevelId(GetParam());
        layer_ = makeRef<VantrelGameLayer>();
        EXPECT_TRUE(layer_->init());
        if (!layer_->level()) return {};
        scene_->addChild(layer_.get());
        Level* level = layer_->level();
        Player* bee = layer_->player();
        MousePilot pilot(layer_.get());
        const CGPoint hive = dynamic_cast<HiveProtocol*>(level->hive())->position();

        FlowerProtocol* flower = nullptr;
        const int frames = static_cast<int>((level->lengthOfDay() + 60) / kFrame);
        for (int frame = 0; frame < frames && !bee->finalNectarTransferComplete(); ++frame) {
            if (level->isDay()) {
                const CGPoint at = bee->position();
                const Polar here = polarOf(at);
                if (flower && flower->droplets() == 0) flower = nullptr;
                if (!flower && bee->droplets() < kLoad) flower = nextFlower(here);
                CGPoint goal = hive;
                if (flower) {
                    const Polar head = polarOf(flower->physicsSprite()->position());
                    goal = pointAt(head.angle, head.radius + kHoverAboveHead);
                }
                const CGPoint waypoint = waypointTowards(here, goal);
                const CGPoint velocity = bee->vantrelVelocity();
                double x = kPositionGain * (waypoint.x - at.x) - kVelocityGain * velocity.x;
                double y = kPositionGain * (waypoint.y - at.y) - kVelocityGain * velocity.y;
                const double length = std::hypot(x, y);
                if (length > 1) x /= length, y /= length;
                pilot.steerWith(x, y);
            } else {
                pilot.letGo();  // the level flies the bee home
            }
            director_->scheduler()->update(kFrame);
        }
        Flight flight;
        flight.summaryComplete = bee->finalNectarTransferComplete();
        flight.score = savedBest(GetParam());
        const uint32_t bonuses = (bee->allFlowersVisitedBonusAwarded() ? 1 : 0) +
                                 (bee->allBuddiesFoundBonusAwarded() ? 1 : 0);
        flight.withoutBonuses = flight.score - std::min(flight.score, bonuses * kBonusHoney);
        flight.flowersVisited = level->flowersVisited();
        flight.totalFlowers = level->totalFlowers();
        return flight;
    }

    RefPtr<VantrelGameLayer> layer_;
};

// The mark a level's hive shows for opening the next one; on a group's last level, the share of
// its reference score that the level before it asks of its own.
uint32_t markOf(const Levels& levels, const std::string& id) {
    if (!levels.getNextLevelId(id).empty()) return levels.getUnlockNextLevelScoreForLevelId(id);
    const std::string previous = levels.getPreviousLevelId(id);
    const double share = static_cast<double>(levels.getUnlockNextLevelScoreForLevelId(previous)) /
                         levels.getReferenceScoreForLevelId(previous);
    return static_cast<uint32_t>(std::ceil(share * levels.getReferenceScoreForLevelId(id)));
}

TEST_P(LevelFlightTest, ADayOfDrinkingAndDeliveringReachesTheMarkForTheNextLevel) {
    const ShippedCatalogue catalogue;
    const uint32_t mark = markOf(catalogue.levels, GetParam());
    ASSERT_GT(mark, 0u);
    const Flight flight = fly();
    RecordProperty("score", static_cast<int>(flight.score));
    RecordProperty("without_bonuses", static_cast<int>(flight.withoutBonuses));
    RecordProperty("mark", static_cast<int>(mark));
    EXPECT_TRUE(flight.summaryComplete) << "the day did not end with the bee home and emptied";
    EXPECT_EQ(flight.flowersVisited, flight.totalFlowers) << "a flower gave no nectar";
    EXPECT_GE(flight.score, mark);
    // Each bonus alone passes every mark; the flowers must reach it without them.
    EXPECT_GE(flight.withoutBonuses, mark);
}

INSTANTIATE_TEST_SUITE_P(Shipped, LevelFlightTest, ::testing::ValuesIn(kShippedLevelIds), shippedLevelName);

}  // namespace
