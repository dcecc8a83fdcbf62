#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "audio/ALContext.h"
#include "audio/ALDevice.h"
#include "support/TestSupport.h"

class RunLoop;

// Audio tests run OpenAL on its null backend (no sound card needed; it mixes in real time, so
// keep sounds short). The first fixture made selects it, before any device opens.
void useNullAudioBackend();

// A default device with one context made current through the OpenAL manager, and a folder for
// generated sound files. Everything is released again after each test.
class AudioDeviceTest : public ::testing::Test {
protected:
    AudioDeviceTest();
    ~AudioDeviceTest() override;

    TemporaryFolder folder_;
    RefPtr<ALDevice> device_;
    RefPtr<ALContext> context_;
};

// The longest any wait for something a test brought about may take (seconds of wall time): far
// beyond what a healthy run needs, even under the sanitizers on a loaded machine, and far below the
// suite's time-out, so that a stalled device or a lost completion fails with a message instead of
// hanging. It bounds a wait; it never measures speed.
constexpr double kWaitBoundSeconds = 30;

// Whether checks of what plays in real time apply in this build: gaps heard, how many soundings,
// how long each lasts or a fade takes, positions sampled as they pass. Not under ThreadSanitizer,
// which slows the program many times over, so that a mixer thread running late and a refill or a
// step coming late can change what is heard however sound the program is. That stage still runs
// every audio test, for the races and lock-order faults only it catches; those checks decide the
// other stages. Every such check in the audio tests asks this, and only this.
// (GCC, the compiler of the sanitizer stages, defines __SANITIZE_THREAD__ there.)
constexpr bool realTimeOutputChecksApply() {
#ifdef __SANITIZE_THREAD__
    return false;
#else
    return true;
#endif
}

// Runs passes of `loop` (each waiting up to 5 ms for work), calling `watch` after each, until `done`
// answers true; a failure naming what it was `waitingFor` when that takes longer than `boundSeconds`.
[[nodiscard]] ::testing::AssertionResult pumpUntil(RunLoop& loop, const char* waitingFor, const std::function<bool()>& done,
                                                   const std::function<void()>& watch = {},
                                                   double boundSeconds = kWaitBoundSeconds);

// The null and wave backends mix on a thread of their own, in real time, and catch up in a burst
// when it was held up. Waits that the mix itself must show therefore count mixed time, never the
// clock on the wall.
//
// Waits until the device has mixed `seconds` more (its clock, ALC_SOFT_device_clock); a pause
// between sounds then is in the mix, however late the mixing thread runs. A failure when the
// device lacks that clock, or when its mixing stalls for `boundSeconds`.
[[nodiscard]] ::testing::AssertionResult waitForMixing(ALCdevice* device, double seconds,
                                                       double boundSeconds = kWaitBoundSeconds);

// While alive, the device mixes nothing (ALC_SOFT_pause_device): whatever plays holds its place.
class MixingPaused {
public:
    explicit MixingPaused(ALCdevice* device);
    ~MixingPaused();
    MixingPaused(const MixingPaused&) = delete;
    MixingPaused& operator=(const MixingPaused&) = delete;

private:
    ALCdevice* device_;
};

// Sample value of one channel of one frame, -1..1.
using SampleFunction = std::function<float(int64_t frame, int channel)>;

// A 440 Hz sine of amplitude 0.5 in every channel.
float sine440(int64_t frame, int channel, int rate);

// Writes `seconds` of a sine of amplitude 0.5 at `hertz` in every channel, a 16-bit 44.1 kHz WAV
// file, and returns its path.
std::string writeTone(const std::string& path, int channels, double seconds, double hertz);

// Writes a sound file with libsndfile (`format` an SF_FORMAT_* major|subtype) and returns its
// path; the test fails when the file cannot be written.
std::string writeSoundFile(const std::string& path, int format, int channels, int rate, int64_t frames,
                           const SampleFunction& sample);

// Hearing what OpenAL plays: its wave-file backend writes the mix (32-bit float stereo at 44.1 kHz,
// in real time) to the file answered, in `folder`, complete once the device closes. OpenAL picks
// its backend once per process, when the first device opens, so call this first; the test command
// runs each test in a process of its own. When the file is missing once a device is open, OpenAL
// runs on another backend and the test should skip itself.
std::string useWaveAudioBackend(const TemporaryFolder& folder);

// The interleaved left and right samples of such a file (the test fails on any other layout).
std::vector<float> readWaveOutput(const std::string& path);

// A run of frames louder than 1e-3 in either channel, from its first loud frame to its last, quiet
// gaps under 8 frames (a tone's zero crossings) included: its frames, each channel's sum of squares
// and the left one's zero crossings.
struct Sounding {
    int64_t frames = 0;
    double left = 0, right = 0;
    int crossings = 0;
};
std::vector<Sounding> soundingsIn(const std::vector<float>& stereo);
