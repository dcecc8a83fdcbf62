#include "app/shell/VantrelTransitionLayer.h"

#include <gtest/gtest.h>

#include "app/shell/VantrelGlobal.h"
#include "engine/core/CCScene.h"
#include "platform/foundation/Log.h"
#include "support/HeadlessDirectorTest.h"

namespace {

class VantrelTransitionLayerTest : public HeadlessDirectorTest {
protected:
    void TearDown() override {
        VantrelTransitionLayer::registerScene("Refusing", nullptr);
        VantrelTransitionLayer::registerScene(VantrelTransitionLayer::kMenuClassName, [] { return CCScene::node(); });
        HeadlessDirectorTest::TearDown();
    }
};

TEST_F(VantrelTransitionLayerTest, ASceneThatRefusesGivesWayToTheMenu) {
    RefPtr<CCScene> menu = CCScene::node();
    VantrelTransitionLayer::registerScene(VantrelTransitionLayer::kMenuClassName, [menu] { return menu; });
    VantrelTransitionLayer::registerScene("Refusing", [] { return RefPtr<CCScene>(); });
    LogCapture log;
    EXPECT_EQ(makeRef<VantrelTransitionLayer>("Refusing")->buildDestinationScene(), menu);
    EXPECT_TRUE(log.contains("\"Refusing\" could not be built; back to \"VantrelMenuLayer\""));

    // Neither builds: nothing, said once for the menu.
    VantrelTransitionLayer::registerScene(VantrelTransitionLayer::kMenuClassName, [] { return RefPtr<CCScene>(); });
    log.clear();
    EXPECT_EQ(makeRef<VantrelTransitionLayer>("Refusing")->buildDestinationScene(), nullptr);
    EXPECT_TRUE(log.contains("the menu could not be built"));
}

TEST_F(VantrelTransitionLayerTest, OnlyRegisteredScenesAreGoneTo) {
    LogCapture log;
    EXPECT_FALSE(VantrelTransitionLayer::sceneTransitionTo("Nowhere"));
    EXPECT_TRUE(log.contains("no scene is registered as \"Nowhere\""));
    EXPECT_EQ(CCDirector::sharedDirector()->nextScene(), nullptr) << "nothing changes";

    ASSERT_TRUE(VantrelTransitionLayer::isSceneRegistered(VantrelTransitionLayer::kMenuClassName))
        << "an empty scene stands for the menu";
    CCDirector::sharedDirector()->pushScene(CCScene::node());
    EXPECT_TRUE(VantrelTransitionLayer::sceneTransitionTo(VantrelTransitionLayer::kMenuClassName));
    CCScene* transition = CCDirector::sharedDirector()->nextScene();
    ASSERT_NE(transition, nullptr);
    auto* layer = dynamic_cast<VantrelTransitionLayer*>(static_cast<CCNode*>(transition->children()->objectAtIndex(0)));
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(layer->destination(), VantrelTransitionLayer::kMenuClassName);
    layer->onEnter();
    EXPECT_EQ(VantrelGlobal::sharedInstance()->gameState(), VantrelGlobal::kStateTransition);
    layer->onExit();
    layer->cleanup();
}

}  // namespace
