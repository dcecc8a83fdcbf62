#include "audio/OALSimpleAudio.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>

#include "audio/ALBuffer.h"
#include "audio/ALSource.h"
#include "audio/ALWrapper.h"
#include "audio/OALAudioTrack.h"
#include "audio/OpenALManager.h"
#include "audio/support/AudioTestSupport.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"

namespace {

// The shared facade with two effect sources on the null backend, and 0.1 s stereo tones.
class OALSimpleAudioTest : public ::testing::Test {
protected:
    ~OALSimpleAudioTest() override { OALSimpleAudio::purgeSharedInstance(); }
    std::string tone(const char* name) { return writeTone(folder_.file(name), 2, 0.1, 440); }

    TemporaryFolder folder_;
    OALSimpleAudio* audio_ = (useNullAudioBackend(), OALSimpleAudio::sharedInstanceWithSources(2));
};

// A second preload decodes nothing (the file is gone by then) and answers the cached stereo
// buffer even when asked for mono; without the cache every preload decodes.
TEST_F(OALSimpleAudioTest, APreloadDecodesEachFileOnceWhileTheCacheIsEnabled) {
    for (const bool cached : {true, false}) {
        audio_->setPreloadCacheEnabled(cached);
        const std::string path = tone(cached ? "cached.wav" : "uncached.wav");
        const RefPtr<ALBuffer> first = audio_->preloadEffect(path);
        ASSERT_TRUE(first && std::remove(path.c_str()) == 0);
        EXPECT_EQ(audio_->preloadEffect(path, true), cached ? first : nullptr);
        EXPECT_TRUE(first->channels() == 2 && audio_->preloadCacheCount() == (cached ? 1u : 0u));
    }
}

TEST_F(OALSimpleAudioTest, UnloadingIsRefusedWhileASourcePlaysTheBufferAndSparesBuffersNoSourceHeld) {
    const std::string played = tone("played.wav"), kept = tone("kept.wav");
    const RefPtr<ALSource> source = audio_->playEffect(played, true);
    ASSERT_TRUE(source && audio_->preloadEffect(kept));
    EXPECT_FALSE(audio_->unloadEffect(played));
    source->stop();
    audio_->unloadAllEffects();
    EXPECT_EQ(source->buffer(), nullptr);
    EXPECT_EQ(audio_->preloadCacheCount(), 1u);  // the buffer no source held stays
}

// Each row sets flags in order from all clear: M muted, B bgMuted, E effectsMuted, lower case
// clears. The listener (effects) stays muted while muted or effectsMuted, the track while muted or
// bgMuted.
TEST_F(OALSimpleAudioTest, TheMuteMatrixKeepsEachSideMutedByEitherOfItsFlags) {
    const struct {
        std::string steps;
        bool effectsSilent, musicMuted;
    } rows[] = {{"E", true, false}, {"B", false, true}, {"M", true, true},
                {"EMm", true, false}, {"BMm", false, true}, {"Meb", true, true}};
    for (const auto& row : rows) {
        audio_->setMuted(false), audio_->setBgMuted(false), audio_->setEffectsMuted(false);
        for (const char step : row.steps) {
            const char flag = char(std::toupper(step));
            if (flag == 'M') audio_->setMuted(flag == step);
            if (flag == 'B') audio_->setBgMuted(flag == step);
            if (flag == 'E') audio_->setEffectsMuted(flag == step);
        }
        EXPECT_EQ(ALWrapper::getListenerf(AL_GAIN) == 0.0f, row.effectsSilent) << row.steps;
        EXPECT_EQ(audio_->backgroundTrack()->muted(), row.musicMuted) << row.steps;
    }
    audio_->setBgPaused(true);
    EXPECT_FALSE(audio_->paused());  // the effects play on
}

// Buffers are deleted through a context on their device: the cache must go before the context.
TEST_F(OALSimpleAudioTest, TeardownReleasesTheCacheBeforeTheContextAndClosesTheDevice) {
    ASSERT_TRUE(audio_->preloadEffect(tone("tone.wav")) && audio_->playBg(tone("music.wav"), true));
    RunLoop::current().runOnce();  // the track's posted notifications hold it
    LogCapture log;
    OALSimpleAudio::purgeSharedInstance();
    EXPECT_EQ(log.lines(), std::vector<std::string>{});
    EXPECT_TRUE(OpenALManager::sharedInstance()->devices().empty());
}

}  // namespace
