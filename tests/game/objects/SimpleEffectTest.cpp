#include "game/objects/SimpleEffect.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "platform/foundation/Random.h"
#include "support/ValueBuilders.h"

using game::SimpleEffect;

namespace {

TEST(SimpleEffect, ScalesAndRotationOffsetsAreDrawnWithinTheirRanges) {
    Random::seed(8);
    struct Case {
        Value data;
        float scaleLow, scaleHigh, offset;
    };
    const Case cases[] = {
        {dict({{"effect_name", "puff"}}), 1, 1, 0},
        {dict({{"effect_name", "puff"}, {"effect_scale_min", 3}}), 1, 1, 0},  // a lone bound: the default
        {dict({{"effect_name", "puff"}, {"effect_scale_min", 0.5}, {"effect_scale_max", 1.5},
               {"effect_rotation_offset", -40}}),
         0.5f, 1.5f, 40},
        {dict({{"effect_scale", 2}, {"effect_rotation_offset", 10}}), 2, 2, 10},
    };
    for (const Case& c : cases) {
        RefPtr<SimpleEffect> effect = SimpleEffect::simpleEffectWithDictionary(c.data);
        ASSERT_TRUE(effect);
        float lowScale = INFINITY, highScale = -INFINITY, lowOffset = INFINITY, highOffset = -INFINITY;
        for (int i = 0; i < 400; ++i) {
            lowScale = std::min(lowScale, effect->scale());
            highScale = std::max(highScale, effect->scale());
            lowOffset = std::min(lowOffset, effect->rotationOffset());
            highOffset = std::max(highOffset, effect->rotationOffset());
        }
        EXPECT_GE(lowScale, c.scaleLow);
        EXPECT_LE(highScale, c.scaleHigh);
        EXPECT_LT(lowScale, c.scaleLow + 0.05f);  // both ends are reached
        EXPECT_GT(highScale, c.scaleHigh - 0.05f);
        EXPECT_GT(lowOffset, -c.offset - 1e-4f);
        EXPECT_LE(highOffset, c.offset);
        EXPECT_GE(highOffset - lowOffset, c.offset * 1.8f);
    }
    EXPECT_FALSE(SimpleEffect::simpleEffectWithDictionary(Value()));
    // Outside a level nothing is shown, and nothing fails.
    EXPECT_EQ(SimpleEffect::simpleEffectWithDictionary(dict({{"effect_name", "puff"}}))->showAt(CGPointMake(1, 2), 3),
              nullptr);
}

}  // namespace
