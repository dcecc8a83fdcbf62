#include "audio/VantrelAudio.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "audio/ALBuffer.h"
#include "audio/ALChannelSource.h"
#include "audio/ALSource.h"
#include "audio/ALWrapper.h"
#include "audio/OALActionManager.h"
#include "audio/OALAudioSession.h"
#include "audio/OALAudioTrack.h"
#include "audio/OALAudioTracks.h"
#include "audio/OALSimpleAudio.h"
#include "audio/OALTools.h"
#include "audio/OpenALManager.h"
#include "audio/support/AudioTestSupport.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"

namespace {

// Runs `loop` for about `seconds` of wall time (one short pass for 0).
void pump(RunLoop& loop, double seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    do {
        loop.waitForWork(0.005);
        loop.runOnce();
    } while (std::chrono::steady_clock::now() < end);
}

// A front on the null backend with three 0.1 s tones, its fades stepped on a clock the test moves.
class VantrelAudioTest : public ::testing::Test {
protected:
    VantrelAudioTest() { OALActionManager::sharedInstance()->setClock([this] { return now_; }); }
    ~VantrelAudioTest() override { audio_->destroyAudio(), OALActionManager::purgeSharedInstance(); }
    // The first step adopts the fades started since the last one.
    void stepThrough(double seconds) {
        OALActionManager::sharedInstance()->step();
        now_ += uint64_t(seconds * 1e9);
        OALActionManager::sharedInstance()->step();
    }

    uint64_t now_ = 1'000'000'000;  // nanoseconds
    TemporaryFolder folder_;
    const std::string a_ = writeTone(folder_.file("a.wav"), 1, 0.1, 440), b_ = writeTone(folder_.file("b.wav"), 1, 0.1, 440),
                      c_ = writeTone(folder_.file("c.wav"), 1, 0.1, 440);
    RefPtr<VantrelAudio> audio_ = (useNullAudioBackend(), makeRef<VantrelAudio>());
};

TEST_F(VantrelAudioTest, ASwitchStartsOnlyTheLastFileAskedForWhenTheFadeOutEnds) {
    OALAudioTrack* track = audio_->audioTrack();
    audio_->playTrack(a_, true, true, -1, 1.0f);  // nothing plays: starts at once
    audio_->playTrack(b_, true, true, -1, 0.8f);
    stepThrough(0.25);
    audio_->playTrack(c_, false, true, 2, 0.6f);  // fades out again from 0.5
    stepThrough(0.25);
    EXPECT_TRUE(track->currentlyLoadedUrl() == OALTools::urlForPath(a_) && std::fabs(track->volume() - 0.25f) < 1e-4f);
    stepThrough(0.3);
    EXPECT_EQ(track->currentlyLoadedUrl(), OALTools::urlForPath(c_));
    EXPECT_TRUE(track->playing() && track->volume() == 0.6f && track->numberOfLoops() == 2);
    audio_->playTrack(c_, false, true, 5, 0.6f);  // the same file at its volume: nothing changes
    EXPECT_EQ(track->numberOfLoops(), 2);
    audio_->playTrack(c_, false, true, 5, 0.2f);  // the same file: a fade to the new volume
    stepThrough(0.25);
    EXPECT_NEAR(track->volume(), 0.4f, 1e-4f);
    audio_->fadeTrackAndStop();
    stepThrough(0.55);
    EXPECT_TRUE(!track->playing() && track->currentlyLoadedUrl().empty() && track->volume() == 1.0f);
}

// Every channel is filled with looping sounds; only player loop 1 refuses one more. Pause
// and game over leave the interface channel playing, the purge keeps the decoded buffer cached, and
// one unducking undoes two duckings.
TEST_F(VantrelAudioTest, PauseAndGameOverSpareTheInterfaceChannelAndOneUnduckUndoesTwoDucks) {
    const RefPtr<ALBuffer> buffer = audio_->simpleAudio()->preloadEffect(a_);
    ALChannelSource* const interface = audio_->interfaceChannel();
    std::vector<std::pair<ALChannelSource*, RefPtr<ALSource>>> played;
    for (ALChannelSource* channel : {interface, audio_->playerLoopChannel1(), audio_->playerLoopChannel2(),
                                     audio_->playerEventChannel1(), audio_->generalChannel()}) {
        for (int i = channel->reservedSources(); i > 0; --i) played.emplace_back(channel, channel->play(buffer, true));
        EXPECT_EQ(channel->play(buffer, true) == nullptr, channel == audio_->playerLoopChannel1());
    }
    audio_->playTrack(b_, true, false, -1, 1.0f);
    audio_->onGamePause();
    EXPECT_TRUE(audio_->audioTrack()->paused());
    for (const auto& [channel, source] : played) EXPECT_EQ(source->state(), channel == interface ? AL_PLAYING : AL_PAUSED);
    audio_->onGameOver();
    EXPECT_FALSE(audio_->audioTrack()->paused());
    for (const auto& [channel, source] : played) {
        EXPECT_TRUE(source->state() == (channel == interface ? AL_PLAYING : AL_STOPPED) && !channel->paused());
    }
    audio_->purgeCachedBuffers();
    for (const auto& [channel, source] : played) EXPECT_FALSE(source->buffer());
    EXPECT_EQ(audio_->simpleAudio()->preloadEffect(a_), buffer);
    audio_->duckAudio(), audio_->duckAudio();
    EXPECT_TRUE(ALWrapper::getListenerf(AL_GAIN) == 0.0f && audio_->audioTrack()->paused());
    audio_->unduckAudio();
    EXPECT_TRUE(ALWrapper::getListenerf(AL_GAIN) == 1.0f && audio_->audioTrack()->playing() && !audio_->audioTrack()->paused());
}

// The reset makes a new session: suspending it must reach the manager, the registry and the track.
TEST_F(VantrelAudioTest, AResetHangsTheManagerAndTheTrackRegistryBelowTheNewSession) {
    audio_->resetAudio();
    audio_->playTrack(a_, true, false, -1, 1.0f);
    for (const bool on : {true, false}) {
        OALAudioSession::sharedInstance()->setManuallySuspended(on);
        EXPECT_TRUE(OpenALManager::sharedInstance()->suspended() == on && OALAudioTracks::sharedInstance()->suspended() == on &&
                    audio_->audioTrack()->suspended() == on) << on;
    }
    EXPECT_TRUE(audio_->audioTrack()->playing());
}

// OpenAL opens no device on a backend that does not exist: the front and the facade run on, and
// everything that would sound answers null or false.
TEST(VantrelAudioNoDevice, EveryCallAnswersNullOrFalseAndNothingFails) {
    setenv("ALSOFT_DRIVERS", "nosuch", 1);
    TemporaryFolder folder;
    const std::string tone = writeTone(folder.file("tone.wav"), 1, 0.1, 440);
    LogCapture log;
    RefPtr<VantrelAudio> front = makeRef<VantrelAudio>();
    OALSimpleAudio* audio = front->simpleAudio();
    if (audio->device()) GTEST_SKIP() << "OpenAL already runs on another backend in this process";
    EXPECT_TRUE(log.contains("Could not open device") && !audio->context());
    EXPECT_TRUE(log.contains("the game plays without sound")) << "the player is told in words";
    EXPECT_FALSE(log.contains("context was nil")) << "and not again for every channel";
    log.clear();
    EXPECT_FALSE(audio->preloadEffect(tone));
    front->playTrack(tone, true, true, -1, 1.0f);
    EXPECT_TRUE(log.lines().empty()) << "nor for every sound and track the game loads: " << log.lines().front();
    EXPECT_FALSE(audio->playEffect(tone) || audio->playBg(tone, true) || audio->playBg());
    audio->setEffectsVolume(0.5f), audio->setMuted(true), audio->setPaused(true);
    EXPECT_FALSE(front->audioTrack()->playing() || front->generalChannel()->reservedSources() || audio->effectsVolume());
    front->duckAudio(), front->onGamePause(), front->onGameOver(), front->purgeCachedBuffers(), front->resetAudio();
    front->destroyAudio();
}

// Run again under ThreadSanitizer. The engine thread switches tracks with fades, plays effects and
// pauses the game, its own loop stepping the fades; meanwhile the main thread ducks and unducks, and
// a second track loads and plays on its queue, its notifications posted to the main loop.
TEST(VantrelAudioStress, EngineThreadPlaysAndFadesWhileTheMainThreadDucksAndTracksWorkOnTheirQueues) {
    useNullAudioBackend();
    TemporaryFolder folder;
    const std::string a = writeTone(folder.file("a.wav"), 1, 0.1, 440), b = writeTone(folder.file("b.wav"), 1, 0.1, 440);
    RefPtr<VantrelAudio> audio = makeRef<VantrelAudio>();
    RefPtr<OALAudioTrack> other = OALAudioTrack::track();
    std::atomic<bool> done = false;
    std::thread engine([&] {
        const RefPtr<ALBuffer> buffer = audio->simpleAudio()->preloadEffect(a);
        for (int pass = 0; pass < 150; ++pass, pump(RunLoop::current(), 0)) {
            audio->playTrack(pass % 2 ? a : b, true, pass % 3 != 0, -1, 1.0f);
            audio->generalChannel()->play(buffer, 1.0f, 1.0f, 0.0f, false);
            if (pass % 10 == 5) audio->onGamePause();
            if (pass % 10 == 7) audio->onGameResume();
        }
        done = true;
    });
    bool otherBusy = false;  // work queued on the other track
    const auto mainThreadWork = [&] {
        audio->duckAudio(), audio->unduckAudio();
        if (otherBusy || done) return;
        otherBusy = true;
        other->playFileAsync(b, {});
        other->preloadFileAsync(a, [&](OALAudioTrack*) { otherBusy = false; });
    };
    mainThreadWork();
    const ::testing::AssertionResult finished = pumpUntil(
        RunLoop::main(), "the engine thread and the other track's queue", [&] { return done && !otherBusy; }, mainThreadWork);
    if (!finished) {  // a deadlocked engine thread can be neither joined nor left running on our locals
        ADD_FAILURE() << finished.message();
        std::abort();
    }
    engine.join();
    EXPECT_TRUE(audio->audioTrack()->playing() && !audio->audioTrack()->paused());
    other.reset();
    audio->purgeCachedBuffers();
    pump(RunLoop::main(), 0.2);  // the sources' buffers go 0.1 s later, before the context
    audio->destroyAudio();
    OALActionManager::purgeSharedInstance();
}

// A 440 Hz track switched to an 880 Hz one asked for at volume 0, then faded in to 1, the effects
// volume 0 throughout. Heard in 20 ms windows of the left channel (level, and zero crossings: 17.6
// for 440 Hz, 35.2 for 880 Hz), a linear 0.5 s fade passes between 90 % and 10 % in 0.4 s.
TEST(VantrelAudioWave, TheTrackFadesOutThenTheNextFadesInOverHalfASecondWhateverTheEffectsVolume) {
    TemporaryFolder folder;
    const std::string output = useWaveAudioBackend(folder);
    const std::string low = writeTone(folder.file("low.wav"), 1, 3, 440), high = writeTone(folder.file("high.wav"), 1, 3, 880);
    {
        RefPtr<VantrelAudio> audio = makeRef<VantrelAudio>();
        if (!std::filesystem::exists(output)) GTEST_SKIP() << "OpenAL already runs on another backend in this process";
        audio->simpleAudio()->setEffectsVolume(0);
        audio->playTrack(low, true, false, -1, 1.0f);
        pump(RunLoop::main(), 0.4);
        audio->playTrack(high, true, true, -1, 0.0f);
        pump(RunLoop::main(), 0.8);
        audio->playTrack(high, true, true, -1, 1.0f);
        pump(RunLoop::main(), 0.8);
        audio->destroyAudio();
        pump(RunLoop::main(), 0);  // posted notifications let go of the track
        OALActionManager::purgeSharedInstance();
    }  // closing the device completes the file
    const std::vector<float> stereo = readWaveOutput(output);
    std::vector<double> level(stereo.size() / 1764);  // mean squares, then levels
    std::vector<int> crossings(level.size());
    for (size_t frame = 1; frame < level.size() * 882; ++frame) {
        level[frame / 882] += stereo[frame * 2] * stereo[frame * 2] / 882;
        crossings[frame / 882] += (stereo[frame * 2] < 0) != (stereo[frame * 2 - 2] < 0);
    }
    for (double& window : level) window = std::sqrt(window);
    const double full = *std::max_element(level.begin(), level.end());
    EXPECT_GT(full, 0.1);  // heard although the effects volume is 0
    // The first window from `from` on the far side of `fraction` of the full level, going up or down.
    const auto next = [&](size_t from, double fraction, bool up) {
        while (from < level.size() && (level[from] > fraction * full) != up) ++from;
        return from;
    };
    const size_t outHigh = next(next(0, 0.9, true), 0.9, false), outLow = next(outHigh, 0.1, false);
    const size_t inLow = next(outLow, 0.1, true), inHigh = next(inLow, 0.9, true);
    ASSERT_LT(inHigh, level.size());
    if (realTimeOutputChecksApply()) {  // how long the fades took, as heard
        EXPECT_NEAR((outLow - outHigh) * 0.02, 0.4, 0.07);
        EXPECT_NEAR((inHigh - inLow) * 0.02, 0.4, 0.07);
        EXPECT_GT((inLow - outLow) * 0.02, 0.1);  // the next track starts silent
    }
    EXPECT_NEAR(crossings[outHigh], 17.6, 2);
    EXPECT_NEAR(crossings[inHigh], 35.2, 2);
}

}  // namespace
