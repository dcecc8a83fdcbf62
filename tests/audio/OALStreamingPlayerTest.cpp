#include "audio/OALStreamingPlayer.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <optional>
#include <vector>

#include "audio/OALTools.h"
#include "audio/support/AudioTestSupport.h"
#include "audio/support/LibraryStandIns.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"

namespace {

constexpr int kRate = 44100;

// What the player reported of each finish, in order.
struct Finishes : OALAudioPlayerDelegate {
    void audioPlayerDidFinishPlaying(OALAudioPlayer*, bool successfully) override { outcomes.push_back(successfully); }
    std::vector<bool> outcomes;
};

class OALStreamingPlayerTest : public AudioDeviceTest {
protected:
    RefPtr<OALStreamingPlayer> playerFor(const std::string& file) {
        RefPtr<Error> error;
        RefPtr<OALStreamingPlayer> player = OALStreamingPlayer::playerWithUrl(OALTools::urlForPath(file), &error);
        EXPECT_TRUE(player) << (error ? error->description() : "");
        if (player) player->setDelegate(&finishes_);
        return player;
    }
    // Runs the main loop until the player's first finish has arrived, and what was posted with it.
    void waitForAFinish() {
        EXPECT_TRUE(pumpUntil(RunLoop::main(), "the player's finish", [&] { return !finishes_.outcomes.empty(); }));
        RunLoop::main().runOnce();
    }

    Finishes finishes_;
};

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

// A seek while the music plays goes on from the frame sought. One that leaves nothing to play ends
// the sound as the file's end does; one the decoder refuses, or that lands anywhere else, ends it
// not successfully, with its line. Ended, the player is back at 0 and plays again from there.
TEST_F(OALStreamingPlayerTest, ASeekWhilePlayingGoesOnFromThereOrEndsTheSoundWhenItCannot) {
    constexpr double kEnd = -1;  // duration()
    const struct {
        const char* name;
        double seconds;
        std::optional<sf_count_t> seekAnswer;  // what the file answers the seek, when not its own answer
        std::optional<bool> finish;            // how the sound ends at the seek; none: it plays on
    } rows[] = {
        {"to the start", 0, {}, {}},
        {"to the middle", 1, {}, {}},
        {"to the end", kEnd, {}, true},
        {"refused", 1, -1, false},
        {"landing elsewhere", 1, 0, false},
    };
    const std::string file = writeTone(folder_.file("tone.wav"), 1, 2, 440);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        finishes_.outcomes.clear();
        RefPtr<OALStreamingPlayer> player = playerFor(file);
        ASSERT_TRUE(player && player->play());
        ASSERT_TRUE(waitForMixing(device_->device(), 0.05));
        {
            const MixingPaused still(device_->device());  // the position read is the one sought
            std::optional<SeeksAnswer> answer;
            if (row.seekAnswer) answer.emplace(*row.seekAnswer);
            LogCapture log;
            const double seconds = row.seconds == kEnd ? player->duration() : row.seconds;
            player->setCurrentTime(seconds);
            EXPECT_EQ(player->playing(), !row.finish);
            EXPECT_EQ(player->currentTime(), row.finish ? 0 : seconds);
            if (row.seekAnswer) {
                EXPECT_TRUE(log.contains("Could not seek to frame 44100 in " + OALTools::urlForPath(file)));
            } else {
                EXPECT_TRUE(log.lines().empty()) << log.lines().front();
            }
        }
        if (row.finish) {
            waitForAFinish();
            EXPECT_EQ(finishes_.outcomes, std::vector<bool>{*row.finish});
            EXPECT_TRUE(player->play());
        } else {
            RunLoop::main().runOnce();
            EXPECT_TRUE(finishes_.outcomes.empty());
        }
        EXPECT_TRUE(player->playing());
    }
}

// Paused or prepared, a seek to the end keeps its position, and nothing ends: play() then finds
// nothing to start, or plays the loops left from there and finishes once. A count set at the end
// counts the passes after it.
TEST_F(OALStreamingPlayerTest, ASeekToTheEndWhilePausedOrPreparedLeavesPlayTheLoopsLeft) {
    const struct {
        const char* name;
        int64_t loops;
        std::optional<int64_t> loopsAtTheEnd;  // a count set after the seek
        bool plays;
    } rows[] = {
        {"once", 0, {}, false},
        {"one loop", 1, {}, true},
        {"one loop, then none at the end", 1, 0, false},
    };
    const std::string file = writeTone(folder_.file("short.wav"), 1, 0.1, 440);
    for (const bool paused : {false, true}) {
        for (const auto& row : rows) {
            SCOPED_TRACE(std::string(paused ? "paused, " : "prepared, ") + row.name);
            finishes_.outcomes.clear();
            RefPtr<OALStreamingPlayer> player = playerFor(file);
            ASSERT_TRUE(player);
            player->setNumberOfLoops(row.loops);
            if (paused) {
                const MixingPaused still(device_->device());  // paused before the first wrap is heard
                ASSERT_TRUE(player->play());
                player->pause();
            } else {
                ASSERT_TRUE(player->prepareToPlay());
            }
            player->setCurrentTime(player->duration());
            EXPECT_EQ(player->currentTime(), player->duration());
            if (row.loopsAtTheEnd) player->setNumberOfLoops(*row.loopsAtTheEnd);
            EXPECT_FALSE(player->playing());
            RunLoop::main().runOnce();
            EXPECT_TRUE(finishes_.outcomes.empty());
            EXPECT_EQ(player->play(), row.plays);
            if (row.plays) {
                waitForAFinish();
                EXPECT_EQ(finishes_.outcomes, std::vector<bool>{true});
            }
            EXPECT_FALSE(player->playing());
        }
    }
}

// Where the music is comes from two answers of the source, its offset and its state. A source that
// runs dry between the two has played everything queued: the position is the end of the file, not
// the start of the queue.
TEST_F(OALStreamingPlayerTest, ASourceRunningDryWhileItsPlaceIsReadHasPlayedEverything) {
    RefPtr<OALStreamingPlayer> player = playerFor(writeTone(folder_.file("short.wav"), 1, 0.1, 440));
    ASSERT_TRUE(player);
    const MixingPaused still(device_->device());  // until the first answer is in
    ASSERT_TRUE(player->play());
    const SourceRunsDryAfterNextRead dry(device_->device());
    EXPECT_EQ(player->currentTime(), player->duration());
    EXPECT_TRUE(dry.happened());
}

}  // namespace
