#include "game/objects/SimpleSoundEffect.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/foundation/Log.h"
#include "platform/foundation/Random.h"
#include "support/ValueBuilders.h"
#include "tests/game/objects/RecordingSoundOutput.h"

using game::SimpleSoundEffect;

namespace {

TEST(SimpleSoundEffect, EachPlayDrawsVolumePitchAndPanInTheirRangesOnTheGeneralOutput) {
    RecordingSoundOutput output;
    Random::seed(17);
    RefPtr<SimpleSoundEffect> effect = SimpleSoundEffect::simpleSoundEffectWithDictionary(
        dict({{"sound_name", "buzz"}, {"volume_min", 0.2}, {"volume_max", 0.4}, {"pitch_min", 0.9},
              {"pan_min", -1}, {"pan_max", 1}}));
    ASSERT_EQ(output.loaded.size(), 1u);
    EXPECT_EQ(output.loaded[0].substr(output.loaded[0].size() - 8), "buzz.wav");
    for (int i = 0; i < 100; ++i) effect->play();
    ASSERT_EQ(output.played.size(), 100u);
    float lowVolume = 1;
    float highVolume = 0;
    bool leftAndRight[2] = {false, false};
    for (const auto& played : output.played) {
        EXPECT_EQ(played.path, output.loaded[0]);
        EXPECT_GE(played.gain, 0.2f);
        EXPECT_LE(played.gain, 0.4f);
        EXPECT_EQ(played.pitch, 1.0f);  // a lone pitch_min keeps the default
        leftAndRight[played.pan > 0] = true;
        lowVolume = std::min(lowVolume, played.gain);
        highVolume = std::max(highVolume, played.gain);
    }
    EXPECT_GT(highVolume - lowVolume, 0.15f);
    EXPECT_TRUE(leftAndRight[0] && leftAndRight[1]);

    effect->play(0.7f, 1.5f, -0.5f);
    EXPECT_EQ(output.played.back().gain, 0.7f);
    EXPECT_EQ(output.played.back().pitch, 1.5f);
}

TEST(SimpleSoundEffect, SoundsThatCannotLoadStaySilentWithOneLogLineAndNoDictionaryGivesNone) {
    RecordingSoundOutput output;
    for (const Value& data : {dict({{"sound_name", "missing_sound"}, {"volume", 1}}), dict({{"volume", 1}})}) {
        LogCapture log;
        RefPtr<SimpleSoundEffect> effect = SimpleSoundEffect::simpleSoundEffectWithDictionary(data);
        ASSERT_TRUE(effect);
        effect->play();
        EXPECT_EQ(log.lines().size(), 1u);
    }
    EXPECT_TRUE(output.played.empty());
    EXPECT_FALSE(SimpleSoundEffect::simpleSoundEffectWithDictionary(Value()));
}

}  // namespace
