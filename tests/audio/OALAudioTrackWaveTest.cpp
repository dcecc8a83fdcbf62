#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "audio/ALListener.h"
#include "audio/OALAudioTrack.h"
#include "audio/OALAudioTracks.h"
#include "audio/OpenALManager.h"
#include "audio/support/AudioTestSupport.h"
#include "platform/foundation/RunLoop.h"

namespace {

constexpr int kRate = 44100;
constexpr int64_t kToneFrames = kRate / 10;

// Music plays through the wave-file backend while the effects listener is silenced: a 0.1 s tone
// with two loops, then once more panned left, with a pause after each.
TEST(OALAudioTrackWave, MusicIgnoresTheEffectsListenerLoopsWithoutGapsAndPans) {
    TemporaryFolder folder;
    const std::string output = useWaveAudioBackend(folder);
    {
        RefPtr<ALDevice> device = ALDevice::deviceWithDeviceSpecifier("");
        ASSERT_TRUE(device);
        if (!std::filesystem::exists(output)) GTEST_SKIP() << "OpenAL already runs on another backend in this process";
        RefPtr<ALContext> effects = ALContext::contextOnDevice(device, {});
        OpenALManager::sharedInstance()->setCurrentContext(effects.get());
        effects->listener()->setGain(0);
        const std::string tone = writeTone(folder.file("tone.wav"), 1, double(kToneFrames) / kRate, 440);
        RefPtr<OALAudioTrack> track = OALAudioTrack::track();
        for (const int64_t loops : {2, 0}) {
            ASSERT_TRUE(track->playFile(tone, loops));
            ASSERT_TRUE(pumpUntil(RunLoop::main(), "the track to finish", [&] { return !track->playing(); }));
            ASSERT_TRUE(waitForMixing(device->device(), 0.05));  // the next play cannot join on
            track->setPan(-1);
        }
        track.reset();
        OALAudioTracks::purgeSharedInstance();
    }  // closing the device completes the file
    const std::vector<Sounding> heard = soundingsIn(readWaveOutput(output));
    ASSERT_GE(heard.size(), 2u);
    if (realTimeOutputChecksApply()) {  // the loops without a gap
        EXPECT_EQ(heard.size(), 2u);
        EXPECT_NEAR(heard.front().frames, 3 * kToneFrames, kRate / 200);
        EXPECT_NEAR(heard.back().frames, kToneFrames, kRate / 200);
    }
    // Centred, each channel carries at most the file's level (RMS 0.5 / sqrt 2); panned left, the
    // right channel is all but silent.
    const double rms = std::sqrt(heard.front().left / double(heard.front().frames));
    EXPECT_TRUE(rms > 0.1 && rms < 0.36) << rms;
    EXPECT_NEAR(heard.front().right / heard.front().left, 1, 0.02);
    EXPECT_LT(heard.back().right / heard.back().left, 0.01);
}

}  // namespace
