// Loading a second of sound into an OpenAL buffer, cold (open, decode, upload) and warm (decode
// and upload from a file already open), against libsndfile and OpenAL called directly; and one
// locked, error-checked setter of the call layer against the bare OpenAL call.
#include <AL/al.h>
#include <sndfile.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "BenchmarkPairs.h"
#include "audio/ALBuffer.h"
#include "audio/ALContext.h"
#include "audio/ALDevice.h"
#include "audio/ALWrapper.h"
#include "audio/OALAudioFile.h"
#include "audio/OpenALManager.h"

namespace {

constexpr int kRate = 44100;  // one second of 16-bit stereo
std::string soundPath;
RefPtr<ALDevice> device;
RefPtr<ALContext> context;

void setUp() {
    setenv("ALSOFT_DRIVERS", "null", 1);
    soundPath = (std::filesystem::temp_directory_path() / "vantrel-bench-second.wav").string();
    SF_INFO info {};
    info.samplerate = kRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(soundPath.c_str(), SFM_WRITE, &info);
    std::vector<float> samples(size_t(kRate) * 2);
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = 0.5f * float(std::sin(double(i / 2) * 2 * M_PI * 440 / kRate));
    sf_writef_float(file, samples.data(), kRate);
    sf_close(file);
    device = ALDevice::deviceWithDeviceSpecifier("");
    context = ALContext::contextOnDevice(device, {});
    OpenALManager::sharedInstance()->setCurrentContext(context.get());
}

// The peer's load: read the whole file as shorts and hand a copy to a new OpenAL buffer.
void peerLoad(SNDFILE* file, const SF_INFO& info, std::vector<short>& samples) {
    samples.resize(size_t(info.frames) * info.channels);
    sf_seek(file, 0, SEEK_SET);
    const sf_count_t frames = sf_readf_short(file, samples.data(), info.frames);
    ALuint buffer = 0;
    alGenBuffers(1, &buffer);
    alBufferData(buffer, AL_FORMAT_STEREO16, samples.data(), ALsizei(frames * info.channels * 2), info.samplerate);
    alDeleteBuffers(1, &buffer);
}

void coldOurs(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(OALAudioFile::bufferFromUrl("file://" + soundPath, false));
}

void coldPeer(benchmark::State& state) {
    std::vector<short> samples;
    for (auto _ : state) {
        SF_INFO info {};
        SNDFILE* file = sf_open(soundPath.c_str(), SFM_READ, &info);
        peerLoad(file, info, samples);
        sf_close(file);
    }
}

void warmOurs(benchmark::State& state) {
    RefPtr<OALAudioFile> file = OALAudioFile::fileWithUrl("file://" + soundPath, false);
    for (auto _ : state) benchmark::DoNotOptimize(file->bufferNamed("second", 0, -1));
}

void warmPeer(benchmark::State& state) {
    SF_INFO info {};
    SNDFILE* file = sf_open(soundPath.c_str(), SFM_READ, &info);
    std::vector<short> samples;
    for (auto _ : state) peerLoad(file, info, samples);
    sf_close(file);
}

void setterOurs(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(ALWrapper::listenerf(AL_GAIN, 0.5f));
}

void setterPeer(benchmark::State& state) {
    for (auto _ : state) alListenerf(AL_GAIN, 0.5f);
}

}  // namespace

int main(int argc, char** argv) {
    return runBenchmarkPairs(argc, argv,
                             {{"cold load of 1 s", coldOurs, coldPeer},
                              {"warm load of 1 s", warmOurs, warmPeer},
                              {"listener gain setter", setterOurs, setterPeer}},
                             "libsndfile+OpenAL", benchmark::kMicrosecond, setUp);
}
