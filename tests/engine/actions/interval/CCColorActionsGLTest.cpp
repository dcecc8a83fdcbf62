#include <gtest/gtest.h>

#include <functional>

#include "engine/actions/interval/CCFadeIn.h"
#include "engine/actions/interval/CCFadeOut.h"
#include "engine/actions/interval/CCFadeTo.h"
#include "engine/actions/interval/CCTintBy.h"
#include "engine/actions/interval/CCTintTo.h"
#include "engine/core/CCLayerColor.h"
#include "support/GLSceneTest.h"

namespace {

using CCColorActionsGLTest = GLSceneTest;

// Progress outside 0..1 is what an overshooting ease (back, elastic) passes on.
TEST_F(CCColorActionsGLTest, FadesAndTintsTruncateClampAndOnlyTintByWraps) {
    struct Row {
        const char* name;
        std::function<RefPtr<CCFiniteTimeAction>()> make;
        ccColor4B start;
        float t;
        ccColor4B want;
    };
    const Row rows[] = {
        {"fade in", [] { return CCFadeIn::actionWithDuration(1); }, {1, 2, 3, 9}, 0.5f, {1, 2, 3, 127}},
        {"fade in below 0", [] { return CCFadeIn::actionWithDuration(1); }, {1, 2, 3, 9}, -0.1f, {1, 2, 3, 0}},
        {"fade in above 1", [] { return CCFadeIn::actionWithDuration(1); }, {1, 2, 3, 9}, 1.1f, {1, 2, 3, 255}},
        {"fade out", [] { return CCFadeOut::actionWithDuration(1); }, {1, 2, 3, 9}, 0.25f, {1, 2, 3, 191}},
        {"fade in, reversed", [] { return CCFadeIn::actionWithDuration(1)->reverse(); }, {1, 2, 3, 9}, 1,
         {1, 2, 3, 0}},
        {"fade out, reversed", [] { return CCFadeOut::actionWithDuration(1)->reverse(); }, {1, 2, 3, 9}, 0.5f,
         {1, 2, 3, 127}},
        {"fade to 0 from 255", [] { return CCFadeTo::actionWithDuration(1, 0); }, {1, 2, 3, 255}, 0.5f,
         {1, 2, 3, 127}},
        {"fade to, overshooting", [] { return CCFadeTo::actionWithDuration(1, 255); }, {1, 2, 3, 55}, 1.2f,
         {1, 2, 3, 255}},
        {"tint to", [] { return CCTintTo::actionWithDuration(1, 255, 0, 100); }, {0, 255, 100, 7}, 0.5f,
         {127, 127, 100, 7}},
        {"tint to, overshooting", [] { return CCTintTo::actionWithDuration(1, 255, 0, 0); }, {0, 200, 0, 7}, 1.1f,
         {255, 0, 0, 7}},
        {"tint by darkens and wraps", [] { return CCTintBy::actionWithDuration(1, -50, 100, 0); }, {40, 200, 9, 7},
         1, {246, 44, 9, 7}},
        {"tint by halfway", [] { return CCTintBy::actionWithDuration(1, -50, 100, 0); }, {40, 200, 9, 7}, 0.5f,
         {15, 250, 9, 7}},
        {"tint by, reversed", [] { return CCTintBy::actionWithDuration(1, -50, 100, 0)->reverse(); },
         {40, 200, 9, 7}, 1, {90, 100, 9, 7}},
    };
    for (const Row& row : rows) {
        RefPtr<CCLayerColor> layer = CCLayerColor::layerWithColor(row.start, 10, 10);
        RefPtr<CCFiniteTimeAction> action = row.make();
        action->startWithTarget(layer.get());
        action->update(row.t);
        const ccColor3B color = layer->color();
        EXPECT_EQ((ccColor4B{color.r, color.g, color.b, layer->opacity()}), row.want) << row.name;
        // A copy changes a colour layer the same way; a plain node is left alone.
        layer->setColor({row.start.r, row.start.g, row.start.b});
        layer->setOpacity(row.start.a);
        RefPtr<CCAction> copy = action->copy();
        copy->startWithTarget(layer.get());
        copy->update(row.t);
        EXPECT_EQ(layer->color(), (ccColor3B{row.want.r, row.want.g, row.want.b})) << row.name << ", copy";
        RefPtr<CCNode> node = CCNode::node();
        action->startWithTarget(node.get());
        action->update(row.t);
    }
}

TEST_F(CCColorActionsGLTest, ATintRunByTheDirectorShowsItsEndColour) {
    RefPtr<CCLayerColor> layer = CCLayerColor::layerWithColor({255, 255, 255, 255}, 40, 40);
    scene_->addChild(layer.get());
    layer->runAction(CCTintTo::actionWithDuration(0.25f, 0, 128, 255).get());
    runFrames(20);
    EXPECT_TRUE(pixelNear(20, 20, {0, 128, 255}));
}

}  // namespace
