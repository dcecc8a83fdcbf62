#include "audio/support/AudioTestSupport.h"

#include <sndfile.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "audio/OpenALManager.h"

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

float sine440(int64_t frame, int, int rate) {
    return 0.5f * float(std::sin(2.0 * M_PI * 440.0 * double(frame) / rate));
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
