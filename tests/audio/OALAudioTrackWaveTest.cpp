#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <cstdlib>
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

// A run of output frames louder than -60 dB in either channel, quiet gaps under 8 frames (a sine's
// zero crossings) included, with each channel's sum of squares.
struct Sounding {
    int64_t frames = 0;
    double left = 0, right = 0;
};

std::vector<Sounding> soundingsIn(const std::string& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    EXPECT_TRUE(file && info.channels == 2) << sf_strerror(file);
    std::vector<Sounding> found;
    int64_t quiet = 8;  // frames since the last loud one
    float frame[2];
    while (file && sf_readf_float(file, frame, 1) == 1) {
        const bool loud = std::max(std::fabs(frame[0]), std::fabs(frame[1])) >= 1e-3f;
        if (loud && quiet >= 8) found.emplace_back();
        quiet = loud ? 0 : quiet + 1;
        if (quiet >= 8) continue;
        found.back().frames += 1;
        found.back().left += frame[0] * frame[0];
        found.back().right += frame[1] * frame[1];
    }
    if (file) sf_close(file);
    return found;
}

// Music plays through the wave-file backend while the effects listener is silenced: a 0.1 s tone
// with two loops, then once more panned left. OpenAL picks its backend once per process; the test
// command runs each test in a process of its own.
TEST(OALAudioTrackWave, MusicIgnoresTheEffectsListenerLoopsWithoutGapsAndPans) {
    TemporaryFolder folder;
    const std::string output = folder.file("out.wav");
    setenv("ALSOFT_DRIVERS", "wave", 1);
    setenv("ALSOFT_CONF", folder.write("alsoft.conf", "[wave]\nfile=" + output + "\n").c_str(), 1);
    {
        RefPtr<ALDevice> device = ALDevice::deviceWithDeviceSpecifier("");
        ASSERT_TRUE(device);
        if (!std::filesystem::exists(output)) GTEST_SKIP() << "OpenAL already runs on another backend in this process";
        RefPtr<ALContext> effects = ALContext::contextOnDevice(device, {});
        OpenALManager::sharedInstance()->setCurrentContext(effects.get());
        effects->listener()->setGain(0);
        const std::string tone = writeSoundFile(folder.file("tone.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, kRate,
                                                kToneFrames, [](int64_t f, int c) { return sine440(f, c, kRate); });
        RefPtr<OALAudioTrack> track = OALAudioTrack::track();
        for (const int64_t loops : {2, 0}) {
            ASSERT_TRUE(track->playFile(tone, loops));
            for (int pass = 0; pass < 300 && track->playing(); ++pass) {
                RunLoop::main().waitForWork(0.01);
                RunLoop::main().runOnce();
            }
            ASSERT_FALSE(track->playing());
            track->setPan(-1);
        }
        track.reset();
        OALAudioTracks::purgeSharedInstance();
    }  // closing the device completes the file
    const std::vector<Sounding> heard = soundingsIn(output);
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_NEAR(heard[0].frames, 3 * kToneFrames, kRate / 200);
    EXPECT_NEAR(heard[1].frames, kToneFrames, kRate / 200);
    // Centred, each channel carries at most the file's level (RMS 0.5 / sqrt 2); panned left, the
    // right channel is all but silent.
    const double rms = std::sqrt(heard[0].left / double(heard[0].frames));
    EXPECT_TRUE(rms > 0.1 && rms < 0.36) << rms;
    EXPECT_NEAR(heard[0].right / heard[0].left, 1, 0.02);
    EXPECT_LT(heard[1].right / heard[1].left, 0.01);
}

}  // namespace
