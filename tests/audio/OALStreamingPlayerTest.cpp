#include "audio/OALStreamingPlayer.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include "audio/OALTools.h"
#include "audio/support/AudioTestSupport.h"

namespace {

constexpr int kRate = 44100;

using OALStreamingPlayerTest = AudioDeviceTest;

// The pump refills the queue only while the player plays, so the buffers queued before a start,
// or at a seek made while paused, are all the start or the seek queued itself: every buffer the
// sound fills (each up to 4096 frames), loops included, and no pass lost to what was decoded ahead.
TEST_F(OALStreamingPlayerTest, AStartOrASeekQueuesEveryBufferTheSoundFillsBeforeThePumpRuns) {
    const struct {
        const char* name;
        int64_t fileFrames, loops;
        int buffers;
    } rows[] = {
        {"a second, once", kRate, 0, 4},
        {"shorter than a buffer, once", 1000, 0, 1},
        {"shorter than a buffer, ten loops", 1000, 10, 3},  // 11000 frames
        {"shorter than a buffer, endless", 1000, -1, 4},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string file = writeSoundFile(folder_.file("music.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, kRate,
                                                row.fileFrames, [](int64_t, int) { return 0.25f; });
        RefPtr<Error> error;
        RefPtr<OALStreamingPlayer> player = OALStreamingPlayer::playerWithUrl(OALTools::urlForPath(file), &error);
        ASSERT_TRUE(player) << (error ? error->description() : "");
        player->setNumberOfLoops(row.loops);
        ASSERT_TRUE(player->prepareToPlay());
        EXPECT_EQ(player->queuedBufferCount(), row.buffers);
        player->setCurrentTime(0);
        EXPECT_EQ(player->queuedBufferCount(), row.buffers);
    }
    // Paused while playing a longer file, where no pass has ended yet.
    const std::string file = writeTone(folder_.file("long.wav"), 1, 2, 440);
    RefPtr<OALStreamingPlayer> player = OALStreamingPlayer::playerWithUrl(OALTools::urlForPath(file), nullptr);
    ASSERT_TRUE(player && player->play());
    player->pause();
    player->setCurrentTime(1);
    EXPECT_EQ(player->queuedBufferCount(), 4);
}

}  // namespace
