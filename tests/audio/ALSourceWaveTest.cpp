#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
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

// A stretch of sound in the left channel, silences under 8 frames (a tone's zero crossings)
// bridged: its frames, the sums of squares of both channels and the left one's zero crossings.
struct Tone { int64_t frames = 0; double left = 0, right = 0; int crossings = 0; };

std::vector<Tone> tonesIn(const std::string& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    EXPECT_TRUE(file && info.channels == 2 && info.samplerate == kRate) << sf_strerror(file);
    if (!file) return {};
    std::vector<float> samples(size_t(info.frames) * 2);
    sf_readf_float(file, samples.data(), info.frames);
    sf_close(file);
    std::vector<Tone> tones;
    int64_t lastLoud = -kRate;
    for (int64_t frame = 1; frame < info.frames; ++frame) {
        const float left = samples[size_t(frame * 2)], right = samples[size_t(frame * 2 + 1)];
        if (std::fabs(left) >= 1e-3f) {
            if (frame - lastLoud > 8) tones.emplace_back();
            lastLoud = frame;
        }
        if (frame - lastLoud > 8) continue;
        Tone& tone = tones.back();
        ++tone.frames, tone.left += left * left, tone.right += right * right;
        tone.crossings += (left < 0) != (samples[size_t(frame * 2 - 2)] < 0);
    }
    return tones;
}

// A 0.2 s 440 Hz file played through one source at gain 1, then 0.5. OpenAL picks its backend
// once per process, when it starts; the test command runs every test in a process of its own.
TEST(ALSourceWave, ATonePlayedThroughASourceComesOutAtItsPitchAndGain) {
    TemporaryFolder folder;
    const std::string output = folder.file("out.wav");
    setenv("ALSOFT_DRIVERS", "wave", 1);
    setenv("ALSOFT_CONF", folder.write("alsoft.conf", "[wave]\nfile=" + output + "\n").c_str(), 1);
    {
        RefPtr<ALDevice> device = ALDevice::deviceWithDeviceSpecifier("");
        ASSERT_TRUE(device);
        if (!std::filesystem::exists(output)) GTEST_SKIP() << "OpenAL already runs on another backend in this process";
        RefPtr<ALContext> context = ALContext::contextOnDevice(device, {});
        OpenALManager::sharedInstance()->setCurrentContext(context.get());
        const auto sine = [](int64_t frame, int channel) { return sine440(frame, channel, kRate); };
        RefPtr<ALBuffer> buffer = OpenALManager::sharedInstance()->bufferFromFile(writeSoundFile(
            folder.file("tone.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, kRate, kToneFrames, sine));
        RefPtr<ALSource> source = ALSource::source();
        ASSERT_TRUE(buffer && source);
        for (const float gain : {1.0f, 0.5f}) {  // with a pause after each
            ASSERT_TRUE(source->play(buffer, gain, 1, 0, false));
            for (int wait = 0; wait < 400 && source->playing(); ++wait) usleep(5000);
            usleep(50000);
        }
        source.reset();
        while (buffer->retainCount() > 1) RunLoop::current().waitForWork(0.05), RunLoop::current().runOnce();
    }  // closing the device completes the file
    const std::vector<Tone> tones = tonesIn(output);
    ASSERT_EQ(tones.size(), 2u);
    for (const Tone& tone : tones) {
        EXPECT_NEAR(tone.frames, kToneFrames, kRate / 200);
        EXPECT_NEAR(tone.crossings * 0.5 * kRate / double(tone.frames), 440, 5);
        EXPECT_NEAR(tone.right / tone.left, 1, 0.02);  // pan 0 is the middle
    }
    // Each channel carries at most the file's level (0.5 / sqrt 2), the second tone half the first.
    const double rms = std::sqrt(tones[0].left / double(tones[0].frames));
    EXPECT_TRUE(rms > 0.1 && rms < 0.36) << rms;
    EXPECT_NEAR(std::sqrt(tones[1].left / tones[0].left), 0.5, 0.03);
}

}  // namespace
