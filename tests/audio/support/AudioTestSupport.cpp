#include "audio/support/AudioTestSupport.h"

#define AL_ALEXT_PROTOTYPES
#include <AL/alext.h>
#include <sndfile.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>
#include <vector>

#include "audio/OpenALManager.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/StringUtils.h"

void useNullAudioBackend() {
    static const bool selected = setenv("ALSOFT_DRIVERS", "null", 1) == 0;
    (void)selected;
}

AudioDeviceTest::AudioDeviceTest() {
    useNullAudioBackend();
    device_ = ALDevice::deviceWithDeviceSpecifier("");
    if (device_) context_ = ALContext::contextOnDevice(device_, {});
    if (context_) OpenALManager::sharedInstance()->setCurrentContext(context_.get());
}

AudioDeviceTest::~AudioDeviceTest() {
    context_.reset();
    device_.reset();
}

namespace {

// The moment a wait that starts now gives up.
std::chrono::steady_clock::time_point deadlineIn(double seconds) {
    return std::chrono::steady_clock::now() +
           std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(seconds));
}

}  // namespace

::testing::AssertionResult pumpUntil(RunLoop& loop, const char* waitingFor, const std::function<bool()>& done,
                                     const std::function<void()>& watch, double boundSeconds) {
    const auto deadline = deadlineIn(boundSeconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return ::testing::AssertionFailure() << stringWithFormat("still waiting for %s after %g s", waitingFor, boundSeconds);
        }
        loop.waitForWork(0.005);
        loop.runOnce();
        if (watch) watch();
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult waitForMixing(ALCdevice* device, double seconds, double boundSeconds) {
    if (!alcIsExtensionPresent(device, "ALC_SOFT_device_clock")) {
        return ::testing::AssertionFailure() << "the device has no ALC_SOFT_device_clock to count mixed time by";
    }
    const auto deadline = deadlineIn(boundSeconds);
    const ALCint64SOFT wanted = ALCint64SOFT(seconds * 1e9);
    ALCint64SOFT start = 0, now = 0;  // nanoseconds of mixed sound
    alcGetInteger64vSOFT(device, ALC_DEVICE_CLOCK_SOFT, 1, &start);
    for (now = start; now - start < wanted; alcGetInteger64vSOFT(device, ALC_DEVICE_CLOCK_SOFT, 1, &now)) {
        if (std::chrono::steady_clock::now() > deadline) {
            return ::testing::AssertionFailure() << stringWithFormat("the device mixed %g s of %g s in %g s: its mixing stalled",
                                                                     double(now - start) * 1e-9, seconds, boundSeconds);
        }
        std::this_thread::yield();
    }
    return ::testing::AssertionSuccess();
}

MixingPaused::MixingPaused(ALCdevice* device) : device_(device) {
    EXPECT_TRUE(alcIsExtensionPresent(device, "ALC_SOFT_pause_device"));
    alcDevicePauseSOFT(device_);
}

MixingPaused::~MixingPaused() { alcDeviceResumeSOFT(device_); }

float sine440(int64_t frame, int, int rate) {
    return 0.5f * float(std::sin(2.0 * M_PI * 440.0 * double(frame) / rate));
}

std::string writeTone(const std::string& path, int channels, double seconds, double hertz) {
    return writeSoundFile(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, channels, 44100, int64_t(seconds * 44100),
                          [hertz](int64_t frame, int) { return 0.5f * float(std::sin(2 * M_PI * hertz * frame / 44100)); });
}

std::string writeSoundFile(const std::string& path, int format, int channels, int rate, int64_t frames,
                           const SampleFunction& sample) {
    SF_INFO info {};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    EXPECT_NE(file, nullptr) << sf_strerror(nullptr);
    if (!file) return path;
    std::vector<float> samples(size_t(frames) * channels);
    for (int64_t frame = 0; frame < frames; ++frame) {
        for (int channel = 0; channel < channels; ++channel) samples[size_t(frame * channels + channel)] = sample(frame, channel);
    }
    EXPECT_EQ(sf_writef_float(file, samples.data(), frames), frames);
    sf_close(file);
    return path;
}

std::string useWaveAudioBackend(const TemporaryFolder& folder) {
    const std::string output = folder.file("out.wav");
    setenv("ALSOFT_DRIVERS", "wave", 1);
    setenv("ALSOFT_CONF", folder.write("alsoft.conf", "[wave]\nfile=" + output + "\n").c_str(), 1);
    return output;
}

std::vector<float> readWaveOutput(const std::string& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    EXPECT_TRUE(file && info.channels == 2 && info.samplerate == 44100) << sf_strerror(file);
    if (!file) return {};
    std::vector<float> samples(size_t(info.frames) * size_t(info.channels));
    samples.resize(size_t(sf_readf_float(file, samples.data(), info.frames)) * size_t(info.channels));
    sf_close(file);
    return info.channels == 2 ? samples : std::vector<float>{};
}

std::vector<Sounding> soundingsIn(const std::vector<float>& stereo) {
    std::vector<Sounding> found;
    int64_t quiet = 8;  // frames since the last loud one
    Sounding gap;       // those frames: they join the sounding only when a loud one follows them soon
    for (size_t i = 2; i + 1 < stereo.size(); i += 2) {
        const float left = stereo[i], right = stereo[i + 1];
        const bool loud = std::max(std::fabs(left), std::fabs(right)) >= 1e-3f;
        if (!loud && ++quiet >= 8) continue;
        Sounding& part = loud ? (quiet >= 8 ? found.emplace_back() : found.back()) : gap;
        ++part.frames, part.left += left * left, part.right += right * right;
        part.crossings += (left < 0) != (stereo[i - 2] < 0);
        if (!loud) continue;
        if (quiet < 8) part.frames += gap.frames, part.left += gap.left, part.right += gap.right, part.crossings += gap.crossings;
        gap = {};
        quiet = 0;
    }
    return found;
}
