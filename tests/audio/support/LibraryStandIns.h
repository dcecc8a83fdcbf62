#pragma once

#include <AL/al.h>
#include <AL/alc.h>
#include <gtest/gtest.h>
#include <sndfile.h>

#include "audio/support/AudioTestSupport.h"

// The audio test program stands in for a few calls of the libraries under the music player
// (libsndfile's sf_seek and sf_readf_float, OpenAL's alGetSourcei), so that a test can give the
// player what they give only by chance: a seek refused, a read that takes its time, a source that
// runs dry at one precise moment. Each call goes on to the library's own unless one of these
// guards is alive; only one guard of each kind at a time.

// While alive, every seek answers `answer` without moving: -1 as libsndfile refuses a seek, or a
// frame other than the one asked for, as a decoder that landed elsewhere.
class SeeksAnswer {
public:
    explicit SeeksAnswer(sf_count_t answer);
    ~SeeksAnswer();
    SeeksAnswer(const SeeksAnswer&) = delete;
    SeeksAnswer& operator=(const SeeksAnswer&) = delete;
};

// While alive, and until release(), every read waits, on whatever thread it was made.
class ReadsHeld {
public:
    ReadsHeld();
    ~ReadsHeld();  // releases
    ReadsHeld(const ReadsHeld&) = delete;
    ReadsHeld& operator=(const ReadsHeld&) = delete;

    // Waits until a read is held; a failure when none comes within `boundSeconds`.
    [[nodiscard]] ::testing::AssertionResult waitForHeldRead(double boundSeconds = kWaitBoundSeconds);
    void release();
};

// While alive, the next read of a source's sample offset or state made on this thread takes its
// answer, then resumes the mixing of `device` (paused by the test) and waits until that source has
// stopped: the source runs dry between that read and the next one. Once only.
class SourceRunsDryAfterNextRead {
public:
    explicit SourceRunsDryAfterNextRead(ALCdevice* device);
    ~SourceRunsDryAfterNextRead();
    SourceRunsDryAfterNextRead(const SourceRunsDryAfterNextRead&) = delete;
    SourceRunsDryAfterNextRead& operator=(const SourceRunsDryAfterNextRead&) = delete;

    // Whether a read was made and its source stopped after it (within kWaitBoundSeconds).
    bool happened() const;
};
