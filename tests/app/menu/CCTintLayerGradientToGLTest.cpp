#include "app/menu/CCTintLayerGradientTo.h"

#include <gtest/gtest.h>

#include "engine/core/CCLayerGradient.h"
#include "support/GLSceneTest.h"

namespace {

using CCTintLayerGradientToTest = GLSceneTest;

TEST_F(CCTintLayerGradientToTest, BothEndsMoveToTheirTargetsTruncatedAndOpacitiesStay) {
    const RefPtr<CCLayerGradient> layer = CCLayerGradient::layerWithColor({0, 100, 255, 200}, {255, 10, 3, 60});
    const RefPtr<CCTintLayerGradientTo> tint = CCTintLayerGradientTo::actionWithDuration(1.0f, 255, 0, 0, 0, 255, 250);
    tint->startWithTarget(layer.get());
    const struct {
        float t;
        ccColor3B start, end;
    } steps[] = {
        {0.0f, {0, 100, 255}, {255, 10, 3}},
        // 0 + 255 x 0.5 = 127.5 and 10 + 245 x 0.5 = 132.5 are cut to 127 and 132, never rounded up;
        // downwards 255 - 127.5 = 127.5 gives 127 too.
        {0.5f, {127, 50, 127}, {127, 132, 126}},
        {0.999f, {254, 0, 0}, {0, 254, 249}},
        {1.0f, {255, 0, 0}, {0, 255, 250}},
    };
    for (const auto& step : steps) {
        tint->update(step.t);
        EXPECT_EQ(layer->startColor(), step.start) << step.t;
        EXPECT_EQ(layer->endColor(), step.end) << step.t;
    }
    EXPECT_EQ(layer->startOpacity(), 200);
    EXPECT_EQ(layer->endOpacity(), 60);

    // A copy starts from the colours the layer has when it starts.
    const RefPtr<CCAction> copy = tint->copy();
    layer->setStartColor({10, 10, 10});
    copy->startWithTarget(layer.get());
    copy->update(0.5f);
    EXPECT_EQ(layer->startColor(), (ccColor3B{132, 5, 5}));
}

}  // namespace
