// The garden levels as the build ships them: every object they place is built by its real kind
// from the shipped object data, with the shipped pictures and sounds, and a minute of play runs.

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "shell/VantrelGlobal.h"
#include "engine/core/CCScheduler.h"
#include "engine/render/CCSpriteFrameCache.h"
#include "game/core/GameObjectFactory.h"
#include "game/core/Level.h"
#include "game/core/PhysicsSprite.h"
#include "game/core/VantrelGameLayer.h"
#include "game/objects/Flower.h"
#include "game/objects/GameObjectKinds.h"
#include "game/objects/Pickup.h"
#include "game/objects/SimpleEffect.h"
#include "engine/render/CCSprite.h"
#include "support/ValueBuilders.h"
#include "platform/foundation/Log.h"
#include "support/GLSceneTest.h"
#include "tests/game/objects/ShippedLevelsTest.h"
#include "support/LevelTestSupport.h"
#include "support/TestSupport.h"

namespace {

class GardenLevelsTest : public ShippedLevelsTest {};

TEST_F(GardenLevelsTest, EveryPlacedObjectIsBuiltWithItsPicturesAndSoundsAndPlays) {
    for (const char* id : {"garden_a", "garden_b", "garden_c"}) {
        SCOPED_TRACE(id);
        LogCapture log;
        VantrelGlobal::sharedInstance()->setNextLevelId(id);
        RefPtr<VantrelGameLayer> layer = makeRef<VantrelGameLayer>();
        ASSERT_TRUE(layer->init()) << ::testing::PrintToString(log.lines());
        Level* level = layer->level();
        const Value objects = *Value::fromFile(std::string(VANTREL_APP_RESOURCES) + "/" + id + "_objects.plist",
                                               nullptr);
        const size_t placed = objects["gameobjects"].count();
        const size_t filed = level->flowers().count() + level->pickups().count() +
                             level->gameObjectsPriorityHigh().count() + level->gameObjectsPriorityNone().count();
        EXPECT_EQ(filed, placed);
        EXPECT_GE(level->flowers().count(), 8u);
        for (const std::string& line : log.lines()) {
            EXPECT_EQ(line.find("Game objects"), std::string::npos) << line;
        }
        for (size_t i = 0; i < level->flowers().count(); ++i) {
            auto* flower = dynamic_cast<game::Flower*>(level->flowers().at(i));
            ASSERT_TRUE(flower);
            EXPECT_TRUE(flower->physicsSprite()->parent()) << "drawn in the foreground";
        }
        layer->onGameStart();
        for (int frame = 0; frame < 600; ++frame) director_->scheduler()->update(1 / 60.0f);
        for (size_t i = 0; i < level->pickups().count(); ++i) {
            auto* pickup = dynamic_cast<game::Pickup*>(level->pickups().at(i));
            ASSERT_TRUE(pickup && pickup->getPrimaryBody());
            EXPECT_LT(pickup->getPrimaryBody()->GetPosition().Length() * 32, 1600) << "still on the planet";
        }
    }
}

TEST_F(GardenLevelsTest, EffectsShowThroughTheLevelTintedOnlyWhenTheirColourSaysSo) {
    VantrelGlobal::sharedInstance()->setNextLevelId("garden_a");
    RefPtr<VantrelGameLayer> layer = makeRef<VantrelGameLayer>();
    ASSERT_TRUE(layer->init());
    struct Case {
        const char* colour;
        ccColor3B shown;
        uint8_t opacity;
    };
    const Case cases[] = {
        {"{255,255,255,255}", {255, 255, 255}, 255},
        {"{255,255,255,254}", {255, 255, 255}, 254},
        {"{10,20,30,40}", {10, 20, 30}, 40},
    };
    for (const Case& c : cases) {
        const Value data = dict({{"effect_name", "sparkle"}, {"effect_colour", c.colour}});
        RefPtr<game::SimpleEffect> effect = game::SimpleEffect::simpleEffectWithDictionary(data);
        CCSprite* sprite = effect->showAt(CGPointMake(0, 1300), 30);
        ASSERT_TRUE(sprite) << c.colour;
        EXPECT_EQ(sprite->color().r, c.shown.r);
        EXPECT_EQ(sprite->color().b, c.shown.b);
        EXPECT_EQ(sprite->opacity(), c.opacity);
    }
    RefPtr<game::SimpleEffect> unknown =
        game::SimpleEffect::simpleEffectWithDictionary(dict({{"effect_name", "fizz"}}));
    LogCapture log;
    EXPECT_EQ(unknown->showAt(CGPointMake(0, 1300)), nullptr);
    EXPECT_EQ(unknown->showAt(CGPointMake(0, 1300)), nullptr);
    const std::vector<std::string> lines = log.lines();
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& line) { return line.find("no effect \"fizz\"") != std::string::npos; }),
              1) << "once for the level";
}

}  // namespace
