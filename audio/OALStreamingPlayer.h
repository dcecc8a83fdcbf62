#pragma once

#include <AL/al.h>

#include <array>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "audio/OALAudioPlayer.h"
#include "audio/OALStreamingDecoder.h"

class ALContext;

// Music from a sound file (anything the decoder reads: WAV, MP3, ...), decoded a little at a time
// into a few OpenAL buffers queued on one source, which a pump thread of the player's own refills
// as they play out. Loops are gapless: at the end of the file the decoder goes on from the start
// inside the buffer it is filling, so every buffer is full however short the file, and the queue
// holds its whole length ahead of the mixer until the last loop ends. A loop counts as spent when
// its pass is heard, not when it is decoded: a seek or a new loop count reckons from the pass
// playing then. A seek the decoder refuses while playing ends the sound, not successfully; paused
// or prepared, the next play() tries the seek again.
//
// The player plays in an OpenAL context of its own on the device of the OpenAL manager's current
// context, bound per thread only while the player makes its calls, so that the listener of the
// effects context (effects volume, muting, ducking) never scales music, and the process-wide
// current context never changes for it.
//
// Samples go to OpenAL as 32-bit floats, mono or stereo; files with more channels play their first
// two.
class OALStreamingPlayer : public OALAudioPlayer {
public:
    // Null, with the reason in `*error`, when the address is not a file's, the decoder cannot open
    // it, no context is current (no device), or OpenAL cannot make the context, source or buffers.
    static RefPtr<OALStreamingPlayer> playerWithUrl(const std::string& url, RefPtr<Error>* error);

    // OALAudioPlayer's operations. Metering measures each buffer as it is decoded, so it covers
    // sound decoded after it was enabled; levels are the file's, before the volume.
    bool prepareToPlay() override;
    bool play() override;
    bool playAtTime(double deviceTime) override;
    void pause() override;
    void stop() override;
    bool playing() const override;

    float volume() const override;
    void setVolume(float volume) override;
    float pan() const override;
    void setPan(float pan) override;
    int64_t numberOfLoops() const override;
    void setNumberOfLoops(int64_t loops) override;
    double currentTime() const override;
    void setCurrentTime(double seconds) override;
    double deviceCurrentTime() const override;
    double duration() const override;
    uint64_t numberOfChannels() const override;

    // Buffers queued on the source now: four, or fewer where the sound ends sooner. A start or a
    // seek fills the whole queue at once, so the mixer has all of it ahead before the pump's first
    // pass.
    int queuedBufferCount() const;

    bool meteringEnabled() const override;
    void setMeteringEnabled(bool enabled) override;
    void updateMeters() override;
    float averagePowerForChannel(uint64_t channel) const override;
    float peakPowerForChannel(uint64_t channel) const override;

protected:
    ~OALStreamingPlayer() override;

private:
    static constexpr int kBufferCount = 4;

    // One buffer on the source's queue: where it lies in the file and its levels.
    struct QueuedBuffer {
        OALStreamingDecoder::Stretch stretch;
        std::array<float, 2> peak{};        // largest magnitude per output channel, 0..1+
        std::array<float, 2> meanSquare{};  // per output channel
    };

    // Where the source is in its queue: the buffer playing (counted from the oldest queued;
    // queueCount_ once all of them have played) and the frames of it heard already.
    struct QueuePlace {
        int buffer = 0;
        int64_t offset = 0;
    };

    OALStreamingPlayer() = default;
    bool open(const std::string& url, RefPtr<Error>* error);

    // Everything below runs with mutex_ held and the player's context bound on the thread.
    // Empties the queue and fills it from `frame`, so that sound can start at once with the whole
    // queue ahead of the mixer. False when nothing could be queued.
    bool queueFrom(int64_t frame);
    // queueFrom(frame) going round `loops` more times (negative: endlessly); sound that was playing
    // goes on from there, or finishes when nothing is left to play.
    void requeueFrom(int64_t frame, int64_t loops);
    // Decodes the next stretch into a spare buffer and queues it; false when there is no spare, at
    // the end of the last loop, or on a decoder error (which also posts the decode error).
    bool queueNext();
    // Rewinds the source (so it plays nothing) and takes every buffer off its queue.
    void emptyQueue();
    // Takes the `count` oldest buffers, played, off the queue and back to the spares.
    void takePlayedBuffers(int count);
    bool startSource();
    const QueuedBuffer& queuedAt(int index) const { return queue_[size_t((queueHead_ + index) % kBufferCount)]; }
    QueuePlace playingPlace() const;
    // The file frame heard up to now: at a wrap, the end of the pass it closes.
    int64_t playingFrame() const;
    // The wraps queued that have not been heard yet: the decoder counted them as loops spent when
    // it decoded them, up to the queue's length (about 0.37 s) ahead of what is heard.
    int64_t wrapsQueuedAhead() const;
    // One pump pass: refills the queue, restarts a starved source, reports the end.
    void service();
    // The sound has ended: at the end of its last loop, on a decoder error, or at a seek that left
    // nothing to play. Back to the start with the loops set; the delegate hears of it once.
    void finish();
    void pumpLoop();
    void applyPan();

    mutable std::mutex mutex_;
    std::condition_variable wake_;  // the pump waits on it
    std::thread pump_;
    bool quit_ = false;

    RefPtr<ALContext> context_;
    ALuint source_ = 0;
    std::array<ALuint, kBufferCount> buffers_{};
    std::array<ALuint, kBufferCount> spare_{};  // buffers off the queue, spareCount_ of them
    int spareCount_ = 0;
    std::array<QueuedBuffer, kBufferCount> queue_{};  // ring, oldest at queueHead_
    int queueHead_ = 0;
    int queueCount_ = 0;

    OALStreamingDecoder decoder_;  // its loops left are the wraps still to decode
    std::string url_;

    int64_t position_ = 0;     // file frame to start from when nothing is queued
    bool decoderDone_ = false; // nothing more will be queued
    bool decodeFailed_ = false;
    bool prepared_ = false;    // the queue holds sound from the position onwards
    bool playing_ = false;
    std::optional<double> startAt_;  // device time of a scheduled start not reached yet

    float volume_ = 1.0f;
    float pan_ = 0;
    int64_t numberOfLoops_ = 0;
    bool meteringEnabled_ = false;
    std::array<float, 2> averagePower_{-160, -160};  // dB
    std::array<float, 2> peakPower_{-160, -160};     // dB
};
