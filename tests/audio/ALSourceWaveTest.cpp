#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <vector>

#include "audio/ALBuffer.h"
#include "audio/ALSource.h"
#include "audio/OpenALManager.h"
#include "audio/support/AudioTestSupport.h"
#include "platform/foundation/RunLoop.h"

namespace {

constexpr int kRate = 44100;
constexpr int kToneFrames = kRate / 5;

// A 0.2 s 440 Hz file played through one source at gain 1, then 0.5.
TEST(ALSourceWave, ATonePlayedThroughASourceComesOutAtItsPitchAndGain) {
    TemporaryFolder folder;
    const std::string output = useWaveAudioBackend(folder);
    {
        RefPtr<ALDevice> device = ALDevice::deviceWithDeviceSpecifier("");
        ASSERT_TRUE(device);
        if (!std::filesystem::exists(output)) GTEST_SKIP() << "OpenAL already runs on another backend in this process";
        RefPtr<ALContext> context = ALContext::contextOnDevice(device, {});
        OpenALManager::sharedInstance()->setCurrentContext(context.get());
        RefPtr<ALBuffer> buffer = OpenALManager::sharedInstance()->bufferFromFile(
            writeTone(folder.file("tone.wav"), 1, double(kToneFrames) / kRate, 440));
        RefPtr<ALSource> source = ALSource::source();
        ASSERT_TRUE(buffer && source);
        for (const float gain : {1.0f, 0.5f}) {  // with a pause after each
            ASSERT_TRUE(source->play(buffer, gain, 1, 0, false));
            ASSERT_TRUE(pumpUntil(RunLoop::current(), "the tone to end", [&] { return !source->playing(); }));
            ASSERT_TRUE(waitForMixing(device->device(), 0.05));
        }
        source.reset();
        ASSERT_TRUE(pumpUntil(RunLoop::current(), "the delayed buffer release", [&] { return buffer->retainCount() == 1; }));
    }  // closing the device completes the file
    const std::vector<Sounding> tones = soundingsIn(readWaveOutput(output));
    ASSERT_GE(tones.size(), 2u);
    if (realTimeOutputChecksApply()) {
        EXPECT_EQ(tones.size(), 2u);
    }
    for (const Sounding& tone : tones) {
        if (realTimeOutputChecksApply()) {
            EXPECT_NEAR(tone.frames, kToneFrames, kRate / 200);
        }
        EXPECT_NEAR(tone.crossings * 0.5 * kRate / double(tone.frames), 440, 5);
        EXPECT_NEAR(tone.right / tone.left, 1, 0.02);  // pan 0 is the middle
    }
    // Each channel carries at most the file's level (0.5 / sqrt 2), the second tone half the first.
    const double rms = std::sqrt(tones.front().left / double(tones.front().frames));
    EXPECT_TRUE(rms > 0.1 && rms < 0.36) << rms;
    EXPECT_NEAR(std::sqrt(tones.back().left / double(tones.back().frames)) / rms, 0.5, 0.03);
}

}  // namespace
