#include "audio/OALAudioFile.h"

#include <AL/al.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <new>
#include <type_traits>
#include <vector>

#include "audio/ALBuffer.h"
#include "audio/OALTools.h"
#include "platform/foundation/InputLimits.h"
#include "platform/foundation/StringUtils.h"

namespace {

constexpr int64_t kChunkSamples = 65536;  // floats decoded per read, over all file channels

sf_count_t readChunk(SNDFILE* file, short* samples, sf_count_t frames) { return sf_readf_short(file, samples, frames); }
sf_count_t readChunk(SNDFILE* file, float* samples, sf_count_t frames) { return sf_readf_float(file, samples, frames); }

short mean(short a, short b) { return short((int(a) + int(b)) / 2); }
float mean(float a, float b) { return (a + b) * 0.5f; }

int16_t toPCM16(short sample) { return sample; }

// Float samples are -1..1 nominally; anything beyond is clipped rather than wrapped.
int16_t toPCM16(float sample) {
    if (std::isnan(sample)) return 0;
    const float scaled = sample * 32768.0f;
    if (scaled <= -32768.0f) return -32768;
    if (scaled >= 32767.0f) return 32767;
    return int16_t(std::lrint(scaled));
}

}  // namespace

RefPtr<OALAudioFile> OALAudioFile::fileWithUrl(const std::string& url, bool reduceToMono) {
    RefPtr<OALAudioFile> file(new OALAudioFile());
    return file->initWithUrl(url, reduceToMono) ? file : nullptr;
}

bool OALAudioFile::initWithUrl(const std::string& url, bool reduceToMono) {
    constexpr const char* function = "-[OALAudioFile initWithUrl:reduceToMono:]";
    if (url.empty()) {
        OALTools::logError(function, "Cannot open NULL file / url");
        return false;
    }
    url_ = url;
    SF_INFO info {};
    fileHandle_ = sf_open(OALTools::pathForUrl(url).c_str(), SFM_READ, &info);
    if (!fileHandle_) {
        OALTools::notifyExtAudioError(sf_error(nullptr), function, "Could not open url %s (%s)", url.c_str(),
                                      sf_strerror(nullptr));
        return false;
    }
    if (info.frames < 0) {
        OALTools::logError(function, "Could not get frame count for file (url = %s)", url.c_str());
        return false;
    }
    if (info.channels < 1 || info.samplerate <= 0) {
        OALTools::logError(function, "Could not get audio format for file (url = %s): %d channels at %d Hz", url.c_str(),
                           info.channels, info.samplerate);
        return false;
    }
    totalFrames_ = info.frames;
    fileChannels_ = uint32_t(info.channels);
    originalChannelsPerFrame_ = std::min(fileChannels_, 2u);
    if (fileChannels_ > 2 && !reduceToMono) {
        OALTools::logWarning(function, "Audio stream in %s contains %ld channels. Capping at 2", url.c_str(), long(fileChannels_));
    }
    streamDescription_.sampleRate = info.samplerate;
    const int subtype = info.format & SF_FORMAT_SUBMASK;
    floatSamples_ = subtype == SF_FORMAT_FLOAT || subtype == SF_FORMAT_DOUBLE;
    reduceToMono_ = !reduceToMono;  // so that the setter applies the flag
    setReduceToMono(reduceToMono);
    return true;
}

OALAudioFile::~OALAudioFile() {
    if (!fileHandle_) return;
    if (const int status = sf_close(fileHandle_)) {
        OALTools::notifyExtAudioError(status, "-[OALAudioFile dealloc]", "Error closing file (url = %s)", url_.c_str());
    }
}

bool OALAudioFile::reduceToMono() const {
    std::lock_guard lock(mutex_);
    return reduceToMono_;
}

void OALAudioFile::setReduceToMono(bool reduceToMono) {
    std::lock_guard lock(mutex_);
    if (reduceToMono == reduceToMono_) return;
    reduceToMono_ = reduceToMono;
    streamDescription_.channelsPerFrame = reduceToMono ? 1 : originalChannelsPerFrame_;
    streamDescription_.bytesPerFrame = streamDescription_.channelsPerFrame * streamDescription_.bitsPerChannel / 8;
}

OALAudioFile::StreamDescription OALAudioFile::streamDescription() const {
    std::lock_guard lock(mutex_);
    return streamDescription_;
}

std::unique_ptr<uint8_t[]> OALAudioFile::audioDataWithStartFrame(int64_t startFrame, int64_t numFrames, uint32_t* bufferSize) {
    constexpr const char* function = "-[OALAudioFile audioDataWithStartFrame:numFrames:bufferSize:]";
    std::lock_guard lock(mutex_);
    if (!fileHandle_) {
        OALTools::logError(function, "Attempted to read from closed file. Returning nil (url = %s)", url_.c_str());
        return nullptr;
    }
    if (startFrame < 0 || startFrame >= totalFrames_) {
        OALTools::logError(function, "Start frame %lld is outside the %lld frames of file (url = %s). Returning nil",
                           static_cast<long long>(startFrame), static_cast<long long>(totalFrames_), url_.c_str());
        return nullptr;
    }
    const int64_t remaining = totalFrames_ - startFrame;
    const int64_t frames = numFrames < 0 ? remaining : std::min(numFrames, remaining);
    const uint64_t bytes = uint64_t(frames) * streamDescription_.bytesPerFrame;
    if (bytes > InputLimits::kDecodedBytes) {
        OALTools::logError(function, "Could not allocate %llu bytes for audio buffer from file (url = %s): the limit is %llu",
                           static_cast<unsigned long long>(bytes), url_.c_str(),
                           static_cast<unsigned long long>(InputLimits::kDecodedBytes));
        return nullptr;
    }
    std::unique_ptr<uint8_t[]> data(new (std::nothrow) uint8_t[bytes]);
    if (!data) {
        OALTools::logError(function, "Could not allocate %llu bytes for audio buffer from file (url = %s)",
                           static_cast<unsigned long long>(bytes), url_.c_str());
        return nullptr;
    }
    if (sf_seek(fileHandle_, startFrame, SEEK_SET) < 0) {
        OALTools::notifyExtAudioError(sf_error(fileHandle_), function, "Could not seek to %lld in file (url = %s)",
                                      static_cast<long long>(startFrame), url_.c_str());
        return nullptr;
    }
    const int64_t read = readFrames(reinterpret_cast<int16_t*>(data.get()), frames);
    if (read < 0) {
        OALTools::notifyExtAudioError(sf_error(fileHandle_), function, "Could not read audio data in file (url = %s)",
                                      url_.c_str());
        return nullptr;
    }
    if (bufferSize) *bufferSize = uint32_t(uint64_t(read) * streamDescription_.bytesPerFrame);
    return data;
}

int64_t OALAudioFile::readFrames(int16_t* out, int64_t frames) {
    return floatSamples_ ? readFrames<float>(out, frames) : readFrames<short>(out, frames);
}

template <typename Sample>
int64_t OALAudioFile::readFrames(int16_t* out, int64_t frames) {
    const uint32_t clientChannels = streamDescription_.channelsPerFrame;
    if (std::is_same_v<Sample, short> && clientChannels == fileChannels_) {
        const sf_count_t got = sf_readf_short(fileHandle_, out, frames);
        return got > 0 || sf_error(fileHandle_) == SF_ERR_NO_ERROR ? got : -1;
    }
    const int64_t chunkFrames = std::max<int64_t>(1, kChunkSamples / fileChannels_);
    std::vector<Sample> chunk(size_t(chunkFrames) * fileChannels_);
    int64_t done = 0;
    while (done < frames) {
        const sf_count_t got = readChunk(fileHandle_, chunk.data(), std::min(chunkFrames, frames - done));
        if (got <= 0) return sf_error(fileHandle_) == SF_ERR_NO_ERROR ? done : -1;
        for (sf_count_t i = 0; i < got; ++i) {
            const Sample* frame = &chunk[size_t(i) * fileChannels_];
            if (clientChannels == 1) {
                *out++ = toPCM16(fileChannels_ > 1 ? mean(frame[0], frame[1]) : frame[0]);
            } else {
                *out++ = toPCM16(frame[0]);
                *out++ = toPCM16(frame[1]);
            }
        }
        done += got;
    }
    return done;
}

RefPtr<ALBuffer> OALAudioFile::bufferNamed(const std::string& name, int64_t startFrame, int64_t numFrames) {
    std::lock_guard lock(mutex_);
    uint32_t size = 0;
    std::unique_ptr<uint8_t[]> data = audioDataWithStartFrame(startFrame, numFrames, &size);
    if (!data) return nullptr;
    const ALenum format = streamDescription_.channelsPerFrame == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16;
    return ALBuffer::bufferWithName(name, std::move(data), ALsizei(size), format, ALsizei(streamDescription_.sampleRate));
}

RefPtr<ALBuffer> OALAudioFile::bufferFromUrl(const std::string& url, bool reduceToMono) {
    RefPtr<OALAudioFile> file = fileWithUrl(url, reduceToMono);
    return file ? file->bufferNamed(url, 0, -1) : nullptr;
}

std::string OALAudioFile::description() const {
    return stringWithFormat("<%s: %p: %s>", className(*this).c_str(), static_cast<const void*>(this), url_.c_str());
}
