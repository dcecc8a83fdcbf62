#include "game/core/SimpleSoundEffect.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/foundation/Log.h"
#include "platform/foundation/Random.h"
#include "support/ValueBuilders.h"
#include "tests/game/core/RecordingSoundOutput.h"
#include "audio/OALSimpleAudio.h"
#include "audio/VantrelAudio.h"
#include "support/LevelTestSupport.h"

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

    // Without a sound device no sound loads, and that is no fault of the data.
    output.silent = true;
    LogCapture log;
    EXPECT_FALSE(
        SimpleSoundEffect::simpleSoundEffectWithDictionary(dict({{"sound_name", "missing_sound"}}))->isLoaded());
    EXPECT_TRUE(log.lines().empty()) << log.lines().front();
}

}  // namespace

namespace {

// A tenth of a second of 16-bit mono silence at 8 kHz as a WAV file.
std::string silentWav() {
    const uint32_t samples = 800;
    const uint32_t dataBytes = samples * 2;
    std::string wav = "RIFF";
    auto put = [&wav](uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) wav.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    };
    put(36 + dataBytes, 4);
    wav += "WAVEfmt ";
    put(16, 4);
    put(1, 2);  // PCM
    put(1, 2);  // mono
    put(8000, 4);
    put(16000, 4);
    put(2, 2);
    put(16, 2);
    wav += "data";
    put(dataBytes, 4);
    wav.append(dataBytes, '\0');
    return wav;
}

}  // namespace

// On the game's audio front the effect plays the buffer it kept: emptying the shared cache and
// losing the file make no play decode it again.
TEST(SimpleSoundEffect, TheAudioFrontPlaysTheKeptBufferWithoutTheCacheOrTheFile) {
    LevelTestWorld& world = LevelTestWorld::shared();
    world.writeBytes("kept_tone.wav", silentWav());
    RefPtr<SimpleSoundEffect> effect =
        SimpleSoundEffect::simpleSoundEffectWithDictionary(dict({{"sound_name", "kept_tone"}, {"volume", 1}}));
    ASSERT_TRUE(effect && effect->isLoaded());
    std::remove((world.path() + "/kept_tone.wav").c_str());
    OALSimpleAudio* audio = VantrelAudio::sharedInstance()->simpleAudio();
    audio->setPreloadCacheEnabled(false);  // empties the cache
    LogCapture log;
    for (int i = 0; i < 3; ++i) effect->play();
    audio->setPreloadCacheEnabled(true);
    EXPECT_TRUE(log.lines().empty()) << log.lines().front();
}
