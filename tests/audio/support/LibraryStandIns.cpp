#include "audio/support/LibraryStandIns.h"

#define AL_ALEXT_PROTOTYPES
#include <AL/alext.h>
#include <dlfcn.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <thread>

namespace {

std::mutex mutex;
std::condition_variable changed;
std::optional<sf_count_t> seekAnswer;  // set while a SeeksAnswer is alive
bool readsHeld = false;
int heldReads = 0;  // reads waiting now
// The thread whose next source read is followed by the source running dry, while a
// SourceRunsDryAfterNextRead waits for it; the device to resume then.
std::optional<std::thread::id> dryAfterReadOn;
ALCdevice* dryDevice = nullptr;
bool ranDry = false;

// The library's own definition of a call this program stands in for.
template <typename Function>
Function* hiddenDefinition(const char* symbol) {
    auto function = reinterpret_cast<Function*>(dlsym(RTLD_NEXT, symbol));
    if (!function) std::abort();
    return function;
}

}  // namespace

sf_count_t sf_seek(SNDFILE* file, sf_count_t frames, int whence) {
    static const auto hidden = hiddenDefinition<sf_count_t(SNDFILE*, sf_count_t, int)>("sf_seek");
    {
        const std::lock_guard lock(mutex);
        if (seekAnswer) return *seekAnswer;
    }
    return hidden(file, frames, whence);
}

sf_count_t sf_readf_float(SNDFILE* file, float* samples, sf_count_t frames) {
    static const auto hidden = hiddenDefinition<sf_count_t(SNDFILE*, float*, sf_count_t)>("sf_readf_float");
    {
        std::unique_lock lock(mutex);
        if (readsHeld) {
            ++heldReads;
            changed.notify_all();
            changed.wait(lock, [] { return !readsHeld; });
            --heldReads;
        }
    }
    return hidden(file, samples, frames);
}

void alGetSourcei(ALuint source, ALenum parameter, ALint* value) {
    static const auto hidden = hiddenDefinition<void(ALuint, ALenum, ALint*)>("alGetSourcei");
    hidden(source, parameter, value);
    if (parameter != AL_SAMPLE_OFFSET && parameter != AL_SOURCE_STATE) return;
    ALCdevice* device;
    {
        const std::lock_guard lock(mutex);
        if (dryAfterReadOn != std::this_thread::get_id()) return;
        dryAfterReadOn.reset();
        device = dryDevice;
    }
    alcDeviceResumeSOFT(device);
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::duration<double>(kWaitBoundSeconds);
    ALint state = AL_PLAYING;
    for (;;) {
        hidden(source, AL_SOURCE_STATE, &state);
        if (state == AL_STOPPED || std::chrono::steady_clock::now() > giveUp) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const std::lock_guard lock(mutex);
    ranDry = state == AL_STOPPED;
}

SeeksAnswer::SeeksAnswer(sf_count_t answer) {
    const std::lock_guard lock(mutex);
    seekAnswer = answer;
}

SeeksAnswer::~SeeksAnswer() {
    const std::lock_guard lock(mutex);
    seekAnswer.reset();
}

ReadsHeld::ReadsHeld() {
    const std::lock_guard lock(mutex);
    readsHeld = true;
}

ReadsHeld::~ReadsHeld() {
    release();
}

::testing::AssertionResult ReadsHeld::waitForHeldRead(double boundSeconds) {
    std::unique_lock lock(mutex);
    if (changed.wait_for(lock, std::chrono::duration<double>(boundSeconds), [] { return heldReads > 0; })) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "no read came to be held within " << boundSeconds << " s";
}

void ReadsHeld::release() {
    {
        const std::lock_guard lock(mutex);
        readsHeld = false;
    }
    changed.notify_all();
}

SourceRunsDryAfterNextRead::SourceRunsDryAfterNextRead(ALCdevice* device) {
    const std::lock_guard lock(mutex);
    dryAfterReadOn = std::this_thread::get_id();
    dryDevice = device;
    ranDry = false;
}

SourceRunsDryAfterNextRead::~SourceRunsDryAfterNextRead() {
    const std::lock_guard lock(mutex);
    dryAfterReadOn.reset();
}

bool SourceRunsDryAfterNextRead::happened() const {
    const std::lock_guard lock(mutex);
    return ranDry;
}
