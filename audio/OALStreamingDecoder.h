#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/foundation/Error.h"

typedef struct sf_private_tag SNDFILE;

// The domain of the streaming player's errors; codes are the decoder's (0 for our own refusals).
inline constexpr const char* kOALStreamingErrorDomain = "OALStreamingPlayerErrorDomain";

// A sound file (anything the decoder reads: WAV, MP3, ...) decoded for streaming, one stretch of
// interleaved 32-bit float frames at a time, one or two channels (a file with more gives its first
// two). At the end of the file it goes round to the start while loops remain, inside the stretch
// it is filling: every stretch is whole until the last loop ends, whatever the file's length (one
// shorter than a stretch goes round several times in it), so a queue of stretches always holds its
// full length of sound. Not thread-safe: its owner serialises the calls.
class OALStreamingDecoder {
public:
    // Where a stretch lies in the file.
    struct Stretch {
        int64_t startFrame = 0;  // file frame of its first frame
        int64_t frames = 0;      // 0: the last loop has ended, or the decoder failed
        int64_t wrapAt = 0;      // its frames before it first goes round (all of them when it never does)
        int64_t passFrames = 0;  // frames of a whole pass of the file; 0 when it never goes round
        int64_t wraps = 0;       // times it goes round: at wrapAt, wrapAt + passFrames, ...
        // Once `heard` frames of the stretch (0 to frames) have been heard: the file frame reached,
        // and the wraps still to be heard. A wrap is heard with the first frame after it, so at a
        // wrap the position is the end of the pass it closes (passFrames), and that wrap is ahead.
        int64_t positionAfter(int64_t heard) const;
        int64_t wrapsAfter(int64_t heard) const;
    };

    OALStreamingDecoder() = default;
    ~OALStreamingDecoder();
    OALStreamingDecoder(const OALStreamingDecoder&) = delete;
    OALStreamingDecoder& operator=(const OALStreamingDecoder&) = delete;

    // Opens the file at `path` for stretches of up to `stretchFrames` frames (1 and up). False,
    // with the reason in `*error` when it is not null, when the decoder cannot open it or the file
    // has no channels or no sample rate.
    bool open(const std::string& path, int64_t stretchFrames, RefPtr<Error>* error);

    // Channels of each frame decoded: 1 or 2.
    int channels() const { return channels_; }
    int fileChannels() const { return fileChannels_; }
    int rate() const { return rate_; }  // Hz
    // The file's length as its header reports it (for compressed files an estimate).
    int64_t frames() const { return frames_; }
    // The file frame the next stretch starts from.
    int64_t nextFrame() const { return nextFrame_; }

    // The next stretch starts at `frame`; false when the decoder cannot seek there (nor when it
    // lands anywhere else).
    bool seek(int64_t frame);
    // Times still to go round from the end of the file to its start; negative: endlessly.
    int64_t loopsLeft() const { return loopsLeft_; }
    void setLoopsLeft(int64_t loops) { loopsLeft_ = loops; }
    // Decodes the next stretch into samples().
    Stretch read();
    // The last stretch read: its frames times channels() samples.
    const float* samples() const { return samples_.data(); }
    // What the decoder reported when it failed; null while it has not.
    RefPtr<Error> failure() const;

private:
    SNDFILE* file_ = nullptr;
    int fileChannels_ = 0;  // 1 and up
    int channels_ = 0;      // 1 or 2
    int rate_ = 0;
    int64_t frames_ = 0;
    int64_t stretchFrames_ = 0;
    int64_t nextFrame_ = 0;
    int64_t loopsLeft_ = 0;
    std::vector<float> samples_;  // one stretch of the file's own interleaved frames
};
