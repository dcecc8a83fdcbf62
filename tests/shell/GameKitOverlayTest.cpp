#include "shell/GameKitOverlay.h"

#include <gtest/gtest.h>

#include "shell/GameKitHelper.h"
#include "engine/core/CCNode.h"
#include "support/FakeGameService.h"
#include "support/HeadlessDirectorTest.h"
#include "support/TestSupport.h"

namespace {
class GameKitOverlayTest : public HeadlessDirectorTest {};
}  // namespace

// With no window there is nowhere to draw: nothing is shown, nothing is loaded, and the
// director's notification node stays.
TEST_F(GameKitOverlayTest, WithoutAViewNothingIsShown) {
    TemporaryFolder folder;
    auto service = makeRef<FakeGameService>();
    service->holdCompletions = true;
    GameKitHelper helper(service, folder.path());
    GameKitOverlay overlay(helper, service);
    const auto node = CCNode::node();
    CCDirector::sharedDirector()->setNotificationNode(node);
    EXPECT_FALSE(overlay.presentView(0));
    EXPECT_EQ(overlay.layer(), nullptr);
    EXPECT_EQ(CCDirector::sharedDirector()->notificationNode(), node.get());
    EXPECT_EQ(service->heldCount(), 0u);
}
