// The works levels as the build ships them: every machine and composite they place is built from
// the shipped object data with the shipped pictures, and a while of play runs.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "shell/VantrelGlobal.h"
#include "engine/core/CCScene.h"
#include "engine/render/CCSprite.h"
#include "engine/render/CCSpriteBatchNode.h"
#include "engine/render/CCSpriteFrameCache.h"
#include "game/core/GameObjectFactory.h"
#include "game/core/Level.h"
#include "game/core/PhysicsSprite.h"
#include "game/core/VantrelGameLayer.h"
#include "engine/core/CCLayerColor.h"
#include "game/objects/Balloon.h"
#include "game/objects/Cart.h"
#include "game/objects/Dynamic.h"
#include "game/objects/Flower.h"
#include "game/objects/GameObjectKinds.h"
#include "game/objects/Rotator.h"
#include "game/objects/Structure.h"
#include "game/objects/VRope.h"
#include "platform/foundation/Log.h"
#include "support/GLSceneTest.h"
#include "tests/game/objects/ShippedLevelsTest.h"
#include "support/LevelTestSupport.h"
#include "support/TestSupport.h"

namespace {

class WorksLevelsTest : public ShippedLevelsTest {
protected:
    RefPtr<VantrelGameLayer> start(const char* id) {
        VantrelGlobal::sharedInstance()->setNextLevelId(id);
        RefPtr<VantrelGameLayer> layer = makeRef<VantrelGameLayer>();
        if (!layer->init()) return nullptr;
        RefPtr<CCScene> scene = CCScene::node();
        scene->addChild(layer.get());
        director_->replaceScene(scene);
        runFrames(1);
        return layer;
    }

    // Leaves the level's scene while the test still holds the layer, which then goes first.
    void leave() {
        director_->replaceScene(CCScene::node());
        runFrames(1);
    }

    // Frames of 1/60 s, drawn.
    void play(VantrelGameLayer* layer, int frames) {
        layer->onGameStart();
        runFrames(frames);
    }
};

TEST_F(WorksLevelsTest, EveryMachineIsBuiltDrawnAndPlays) {
    for (const char* id : {"works_a", "works_b", "works_c"}) {
        SCOPED_TRACE(id);
        LogCapture log;
        RefPtr<VantrelGameLayer> layer = start(id);
        ASSERT_TRUE(layer) << ::testing::PrintToString(log.lines());
        Level* level = layer->level();
        EXPECT_GE(level->flowers().count(), 8u);
        for (const std::string& line : log.lines()) {
            EXPECT_EQ(line.find("Game objects"), std::string::npos) << line;
        }
        // Ropes and balloons are stepped every frame and draw their ropes from the rope files.
        const GameObjectList& high = level->gameObjectsPriorityHigh();
        for (size_t i = 0; i < high.count(); ++i) {
            game::VRope* rope = nullptr;
            if (auto* structure = dynamic_cast<game::Structure*>(high.at(i))) rope = structure->rope();
            if (auto* balloon = dynamic_cast<game::Balloon*>(high.at(i))) rope = balloon->rope();
            if (!rope) continue;
            ASSERT_FALSE(rope->ropeSprites().empty());
            EXPECT_TRUE(rope->ropeSprites()[0]->parent());
        }
        play(layer.get(), 300);
        for (GameObjectList* list : {&level->gameObjectsPriorityNone(), &level->gameObjectsPriorityHigh()}) {
            for (size_t i = 0; i < list->count(); ++i) {
                b2Body* body = list->at(i)->getPrimaryBody();
                if (!body) continue;
                EXPECT_LT(body->GetPosition().Length() * 32, 1700) << "balloons held down by their ballast";
            }
        }
        leave();
    }
}

TEST_F(WorksLevelsTest, MachinesFindOrMakeTheirBatchNodesAndThePotStandsInFront) {
    RefPtr<VantrelGameLayer> layer = start("works_a");
    ASSERT_TRUE(layer);
    Level* level = layer->level();
    // A rotator whose picture has no batch node in the level gets one in the foreground layer and
    // keeps turning after the object is gone.
    RefPtr<CCTexture2D> texture = makeRef<CCTexture2D>();
    CCSpriteFrameCache::sharedSpriteFrameCache()->addSpriteFrame(
        CCSpriteFrame::frameWithTexture(texture, CGRectMake(0, 0, 64, 20)), "turbine_blade.png");
    RefPtr<game::Rotator> rotator =
        game::Rotator::rotatorWithType(1004, CGPointMake(0, 1600), 0, 1, 1, nullptr);
    const RefPtr<PhysicsSprite> blade(rotator->physicsSprite());
    EXPECT_EQ(rotator->priority(), 0u);
    rotator.reset();
    ASSERT_TRUE(blade->parent());
    EXPECT_EQ(blade->parent(), level->getSpriteBatchNodeForTexture(texture.get(), Level::kSpriteLayerForeground));
    play(layer.get(), 60);
    EXPECT_GT(blade->body()->GetAngularVelocity(), 0.5f);

    // The potted daisy: its pot after the flower in their batch node.
    game::Dynamic* pot = nullptr;
    for (size_t k = 0; k < level->gameObjectsPriorityNone().count(); ++k) {
        auto* dynamic = dynamic_cast<game::Dynamic*>(level->gameObjectsPriorityNone().at(k));
        if (dynamic && dynamic->type() == 501) pot = dynamic;
    }
    ASSERT_TRUE(pot && pot->getPrimaryBody());
    game::Flower* daisy = nullptr;
    for (b2JointEdge* edge = pot->getPrimaryBody()->GetJointList(); edge; edge = edge->next) {
        for (size_t i = 0; i < level->flowers().count(); ++i) {
            auto* flower = dynamic_cast<game::Flower*>(level->flowers().at(i));
            if (flower && flower->getPrimaryBody() == edge->other) daisy = flower;
        }
    }
    ASSERT_TRUE(daisy);
    CCNode* batch = pot->physicsSprite()->parent();
    ASSERT_TRUE(batch);
    ASSERT_EQ(daisy->physicsSprite()->parent(), batch);
    int64_t potIndex = -1, flowerIndex = -1;
    for (uint64_t i = 0; i < batch->children()->count(); ++i) {
        auto* child = static_cast<CCNode*>(batch->children()->objectAtIndex(i));
        if (child == pot->physicsSprite()) potIndex = static_cast<int64_t>(i);
        if (child == daisy->physicsSprite()) flowerIndex = static_cast<int64_t>(i);
    }
    EXPECT_GT(potIndex, flowerIndex);
    leave();
}

TEST_F(WorksLevelsTest, CartWheelsAreDrawnUnderOrOverTheDeckAsTheDataSays) {
    // The play scene is not entered: its level's batch node is drawn on its own below.
    VantrelGlobal::sharedInstance()->setNextLevelId("works_b");
    RefPtr<VantrelGameLayer> layer = makeRef<VantrelGameLayer>();
    ASSERT_TRUE(layer->init());
    scene_->addChild(CCLayerColor::layerWithColor(ccColor4B{255, 255, 255, 255}).get());
    struct Case {
        int32_t type;
        bool wheelsOnTop;
    } cases[] = {{1002, false}, {1008, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        const CGPoint place = CGPointMake(0, 2000);
        RefPtr<game::Cart> cart = game::Cart::cartWithType(c.type, place, 0, 1, 1);
        ASSERT_TRUE(cart && cart->getPrimaryBody());
        CCSpriteBatchNode* batch = layer->level()->getSpriteBatchNodeForTexture(
            cart->physicsSpriteDeck()->texture(), Level::kSpriteLayerForeground);
        ASSERT_TRUE(batch && cart->physicsSpriteDeck()->parent() == batch);
        const RefPtr<CCSpriteBatchNode> keep(batch);
        CCNode* holder = batch->parent();
        batch->removeFromParentAndCleanup(false);
        batch->setPosition(CGPointMake(kWidth / 2 - place.x, kHeight / 2 - place.y));
        scene_->addChild(batch);
        runFrames(1);
        // Where wheel 1 overlaps the deck's lower edge: deck blue, or the wheel's wood and rubber.
        const ccColor4B seen = pixel(kWidth / 2 + 34, kHeight / 2 - 10);
        EXPECT_EQ(seen.b > seen.r, !c.wheelsOnTop) << int(seen.r) << " " << int(seen.g) << " " << int(seen.b);
        batch->removeFromParentAndCleanup(false);
        batch->setPosition(CGPointZero);
        holder->addChild(batch);
    }
    // Its controls and what it scheduled hold the layer until it leaves, as with its scene.
    layer->onExit(), layer->cleanup();
}

}  // namespace
