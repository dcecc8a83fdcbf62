#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "platform/foundation/Object.h"

class ALBuffer;
typedef struct sf_private_tag SNDFILE;

// A sound file opened for decoding to 16-bit signed linear PCM, interleaved, at the file's own
// rate, with one or two channels. Any format the decoder knows is accepted (WAV in its encodings,
// MP3, ...). Files with more than two channels give their first two; mono takes the mean of the
// first two. Floating-point samples are scaled by 32768 and clamped to the 16-bit range;
// integer samples keep their top 16 bits.
//
// Whatever the file holds, decoding stays within InputLimits::kDecodedBytes: a larger request is
// refused with one error line.
class OALAudioFile : public Object {
public:
    // The decoded (client) format.
    struct StreamDescription {
        double sampleRate = 0;          // Hz, the file's own
        uint32_t channelsPerFrame = 0;  // 1 or 2
        uint32_t bitsPerChannel = 16;
        uint32_t bytesPerFrame = 0;     // channelsPerFrame * 2
    };

    // Opens the file at a file address; null, after one error line, when it cannot be opened or
    // has no channels or no positive rate.
    static RefPtr<OALAudioFile> fileWithUrl(const std::string& url, bool reduceToMono);

    OALAudioFile() = default;
    bool initWithUrl(const std::string& url, bool reduceToMono);

    // Decodes `numFrames` frames from `startFrame` (a negative count: to the end of the file) and
    // answers the bytes, storing their count in `*bufferSize` when it is not null. Null, after one
    // error line, when the start is not inside the file, the result would exceed the decode budget
    // or the decoder fails.
    std::unique_ptr<uint8_t[]> audioDataWithStartFrame(int64_t startFrame, int64_t numFrames, uint32_t* bufferSize);
    // The same frames as a buffer on the current context, or null.
    RefPtr<ALBuffer> bufferNamed(const std::string& name, int64_t startFrame, int64_t numFrames);
    // The whole file as a buffer named by its address, or null.
    static RefPtr<ALBuffer> bufferFromUrl(const std::string& url, bool reduceToMono);

    bool reduceToMono() const;
    void setReduceToMono(bool reduceToMono);
    const std::string& url() const { return url_; }
    // The file's length in frames as the decoder reports it.
    int64_t totalFrames() const { return totalFrames_; }
    StreamDescription streamDescription() const;

    // "<OALAudioFile: 0x...: url>"
    std::string description() const override;

protected:
    ~OALAudioFile() override;

private:
    // Reads up to `frames` frames into `out` in the client format; answers the frames read, or -1
    // on a decoder error.
    int64_t readFrames(int16_t* out, int64_t frames);
    template <typename Sample>
    int64_t readFrames(int16_t* out, int64_t frames);

    mutable std::recursive_mutex mutex_;
    std::string url_;
    bool reduceToMono_ = false;
    int64_t totalFrames_ = 0;
    StreamDescription streamDescription_;
    SNDFILE* fileHandle_ = nullptr;      // null once closed
    uint32_t fileChannels_ = 0;          // channels in the file, at least 1
    uint32_t originalChannelsPerFrame_ = 0;  // fileChannels_ capped at 2
    // Floating-point files are read as floats: the decoder's 16-bit reading of them is near silence.
    bool floatSamples_ = false;
};
