#include "game/objects/Hive.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/render/CCSprite.h"
#include "tests/game/objects/ObjectTestWorld.h"

using game::Hive;

namespace {

class HiveTest : public ObjectTestWorld {
protected:
    void SetUp() override {
        ObjectTestWorld::SetUp();
        if (HasFatalFailure()) return;
        addFrames({{"hive_inner.png", CGSizeMake(112, 140)},
                   {"hive_honey.png", CGSizeMake(112, 140)},
                   {"hive_outer.png", CGSizeMake(112, 140)}});
        load(dict({{"gameobjects", dict({{"1000", dict({{"type_name", "hive"}})}})}}));
    }
};

TEST_F(HiveTest, TheFillFollowsDeliveredHoneyWithinItsBounds) {
    Hive* hive = first<Hive>(level_->gameObjectsPriorityHigh());
    ASSERT_TRUE(hive);  // the level's hive, reference honey 100
    const std::pair<float, float> table[] = {{0, 0}, {50, 0.5f}, {100, 1}, {250, 1}, {-5, 0}, {NAN, 0}};
    for (const auto& [honey, fill] : table) {
        hive->showHoney(honey);
        EXPECT_FLOAT_EQ(hive->honeyFill(), fill) << honey;
    }
    run(1);
    EXPECT_FLOAT_EQ(hive->honeyFill(), 0);  // no player has delivered anything

    RefPtr<Hive> withoutLevel;
    level_.reset();  // no level: its reference honey reads 0
    withoutLevel = Hive::hiveWithType(1000, CGPointMake(0, 0), 0, 1, 1);
    withoutLevel->showHoney(0);
    EXPECT_FLOAT_EQ(withoutLevel->honeyFill(), 1);
}

TEST_F(HiveTest, TheMessageAnchorRidesTheHoneyAlongTheHivesAxis) {
    struct Case {
        float rotation;
        float honey;
        CGPoint anchor;  // from the hive's centre
    };
    const Case cases[] = {
        {0, 0, {0, -70}},  {0, 100, {0, 70}},   {0, 50, {0, 0}},
        {90, 0, {70, 0}},  {90, 100, {-70, 0}}, {-90, 100, {70, 0}},
    };
    for (const Case& c : cases) {
        RefPtr<Hive> hive = Hive::hiveWithType(1000, CGPointMake(100, 1100), c.rotation, 3, 3);
        hive->showHoney(c.honey);
        EXPECT_NEAR(hive->position().x - 100, c.anchor.x, 1e-3) << c.rotation << " " << c.honey;
        EXPECT_NEAR(hive->position().y - 1100, c.anchor.y, 1e-3) << c.rotation << " " << c.honey;
        EXPECT_FLOAT_EQ(hive->bg()->scaleX(), 1);  // placement scales are not used
    }
}

}  // namespace
