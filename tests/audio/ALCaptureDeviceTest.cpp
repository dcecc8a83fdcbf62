#include "audio/ALCaptureDevice.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <numeric>
#include <thread>
#include <vector>

#include "audio/ALWrapper.h"
#include "audio/support/AudioTestSupport.h"
#include "platform/foundation/Log.h"

namespace {

constexpr ALCuint kRate = 8000;  // Hz
constexpr ALCsizei kBufferFrames = 4096;

// Every operation refused the same way: the neutral answer after one error line naming it.
void expectEveryCallRefused(ALCaptureDevice& device) {
    int16_t samples[16] = {};
    const struct {
        const char* name;
        std::function<bool()> neutral;
    } calls[] = {
        {"captureSamples]", [&] { return device.captureSamples() == 0; }},
        {"extensions]", [&] { return device.extensions().empty(); }},
        {"majorVersion]", [&] { return device.majorVersion() == 0; }},
        {"minorVersion]", [&] { return device.minorVersion() == 0; }},
        {"isExtensionPresent:]", [&] { return !device.isExtensionPresent("ALC_EXT_CAPTURE"); }},
        {"getProcAddress:]", [&] { return device.getProcAddress("alcCaptureStart") == nullptr; }},
        {"startCapture]", [&] { return !device.startCapture(); }},
        {"stopCapture]", [&] { return !device.stopCapture(); }},
        {"moveSamples:toBuffer:]", [&] { return !device.moveSamples(16, samples); }},
    };
    for (const auto& call : calls) {
        LogCapture log;
        EXPECT_TRUE(call.neutral()) << call.name;
        ASSERT_EQ(log.lines().size(), 1u) << call.name;
        EXPECT_TRUE(log.contains(call.name) && log.contains("The capture device is not open. Ignored")) << log.lines()[0];
    }
}

}  // namespace

// OpenAL's null output plays only: no capture device opens. The failed open is its one line, its
// error is not blamed on the next call, and a device left unopened refuses everything. The open,
// the first of the process, leaves the environment as the user had it: no log level of ours.
TEST(ALCaptureDevice, OneThatCannotOpenIsNullAfterOneLineAndRefusesEveryCall) {
    useNullAudioBackend();
    unsetenv("ALSOFT_LOGLEVEL");
    LogCapture log;
    EXPECT_FALSE(ALCaptureDevice::deviceWithDeviceSpecifier("", kRate, AL_FORMAT_MONO16, kBufferFrames));
    EXPECT_EQ(log.lines(), std::vector<std::string>{
        "OAL Error: +[ALWrapper openCaptureDevice:frequency:format:bufferSize:]: Could not open capture device "});
    EXPECT_EQ(getenv("ALSOFT_LOGLEVEL"), nullptr);
    log.clear();
    ALWrapper::isExtensionPresent(nullptr, "ALC_EXT_thread_local_context");
    EXPECT_TRUE(log.lines().empty()) << log.lines()[0];

    RefPtr<ALCaptureDevice> unopened(new ALCaptureDevice());
    EXPECT_FALSE(unopened->initWithDeviceSpecifier("no such capture device", kRate, AL_FORMAT_MONO16, kBufferFrames));
    expectEveryCallRefused(*unopened);
}

// ALSA, which OpenAL captures through, is given a default input that reads a file of known samples
// (a ramp 0, 1, 2, ...), so capture runs on a machine without a sound card. ALSA and OpenAL read
// their settings once, when first used: the test command runs each test in a process of its own.
// Whether this OpenAL can capture there at all is asked of OpenAL itself, not of the code under
// test: where it can, our device must open.
TEST(ALCaptureDevice, ACaptureDeviceReadsItsInputInOrderAndAClosedOneRefusesEveryCall) {
    TemporaryFolder folder;
    std::vector<int16_t> ramp(3 * kBufferFrames);
    std::iota(ramp.begin(), ramp.end(), int16_t{0});
    const std::string input =
        folder.write("input.raw", std::string(reinterpret_cast<const char*>(ramp.data()), ramp.size() * sizeof(int16_t)));
    const std::string config = folder.write(
        "asound.conf", "pcm.default { type file slave.pcm { type null } file \"/dev/null\" infile \"" + input +
                           "\" format \"raw\" }\n");
    setenv("ALSOFT_DRIVERS", "alsa", 1);
    setenv("ALSA_CONFIG_PATH", config.c_str(), 1);

    if (ALCdevice* probe = alcCaptureOpenDevice(nullptr, kRate, AL_FORMAT_MONO16, kBufferFrames)) {
        alcCaptureCloseDevice(probe);
    } else {
        GTEST_SKIP() << "no capture device opens: this OpenAL captures through no ALSA here";
    }
    RefPtr<ALCaptureDevice> device = ALCaptureDevice::deviceWithDeviceSpecifier("", kRate, AL_FORMAT_MONO16, kBufferFrames);
    ASSERT_TRUE(device);
    LogCapture log;
    EXPECT_TRUE(device->isExtensionPresent("ALC_EXT_CAPTURE"));
    ASSERT_TRUE(device->startCapture());
    std::vector<int16_t> captured(2 * 1000);
    for (int half = 0; half < 2; ++half) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(kWaitBoundSeconds);
        while (device->captureSamples() < 1000) {
            ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "still waiting for 1000 captured samples";
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        ASSERT_TRUE(device->moveSamples(1000, captured.data() + half * 1000));
    }
    EXPECT_TRUE(device->stopCapture());
    EXPECT_TRUE(std::equal(captured.begin(), captured.end(), ramp.begin()))
        << "sample 0 " << captured[0] << ", 1000 " << captured[1000] << ", 1999 " << captured[1999];
    EXPECT_TRUE(log.lines().empty()) << log.lines()[0];

    // A closed device: every capture call is refused with OpenAL's invalid-device error.
    ALCdevice* closed = ALWrapper::openCaptureDevice("", kRate, AL_FORMAT_MONO16, kBufferFrames);
    ASSERT_NE(closed, nullptr);
    ASSERT_TRUE(ALWrapper::closeCaptureDevice(closed));
    int16_t samples[16] = {};
    const struct {
        const char* name;
        std::function<bool()> call;
    } calls[] = {
        {"startCapture:]", [&] { return ALWrapper::startCapture(closed); }},
        {"stopCapture:]", [&] { return ALWrapper::stopCapture(closed); }},
        {"captureSamples:buffer:numSamples:]", [&] { return ALWrapper::captureSamples(closed, samples, 16); }},
        {"closeCaptureDevice:]", [&] { return ALWrapper::closeCaptureDevice(closed); }},
        {"getIntegerv:attribute:size:data:]", [&] { return ALWrapper::getInteger(closed, ALC_CAPTURE_SAMPLES) != 0; }},
    };
    for (const auto& call : calls) {
        log.clear();
        EXPECT_FALSE(call.call()) << call.name;
        ASSERT_EQ(log.lines().size(), 1u) << call.name;
        EXPECT_TRUE(log.contains(call.name) && log.contains("Invalid Device (error code 0x0000a001)")) << log.lines()[0];
    }
}
