#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <optional>

#include "audio/OALStreamingPlayer.h"
#include "audio/OALTools.h"
#include "audio/OpenALManager.h"
#include "audio/support/AudioTestSupport.h"
#include "audio/support/LibraryStandIns.h"
#include "platform/foundation/RunLoop.h"

namespace {

constexpr int kRate = 44100;
constexpr int64_t kShort = 1000;  // frames: several passes fit in one of the player's buffers
constexpr int64_t kLong = 6000;   // frames: longer than a buffer

// What the player does once it plays, on the device mixing it.
using Drive = std::function<void(OALStreamingPlayer& player, ALCdevice* device)>;

// Plays `file` on a device of its own through the wave-file backend, which writes `output`:
// `drive` starts the player and does what the test asks of it, then the music plays to its end.
// `samples` gets the output (as readWaveOutput answers it), complete once the device has closed.
void playThrough(const std::string& file, const std::string& output, const Drive& drive, std::vector<float>& samples) {
    {
        RefPtr<ALDevice> device = ALDevice::deviceWithDeviceSpecifier("");
        ASSERT_TRUE(device);
        if (!std::filesystem::exists(output)) GTEST_SKIP() << "OpenAL already runs on another backend in this process";
        RefPtr<ALContext> context = ALContext::contextOnDevice(device, {});
        OpenALManager::sharedInstance()->setCurrentContext(context.get());
        RefPtr<Error> error;
        RefPtr<OALStreamingPlayer> player = OALStreamingPlayer::playerWithUrl(OALTools::urlForPath(file), &error);
        EXPECT_TRUE(player) << (error ? error->description() : "");
        if (player) {
            drive(*player, device->device());
            EXPECT_TRUE(pumpUntil(RunLoop::main(), "the music to end", [&] { return !player->playing(); }));
            // The output lags the mix by a few frames: one more update brings the last of them out.
            EXPECT_TRUE(waitForMixing(device->device(), 0.05));
        }
        OpenALManager::sharedInstance()->setCurrentContext(nullptr);
    }  // closing the device completes the file
    samples = readWaveOutput(output);
}

// Every frame the player plays of these files is loud: the output's loud frames are those it played.
class OALStreamingPlayerWave : public ::testing::Test {
protected:
    std::string constantFile(const char* name, int64_t frames) {
        return writeSoundFile(folder_.file(name), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, kRate, frames,
                              [](int64_t, int) { return 0.25f; });
    }

    TemporaryFolder folder_;
    const std::string output_ = useWaveAudioBackend(folder_);
};

// A change made to the player, and what it has played of the file before it.
struct Change {
    const char* name;
    int64_t fileFrames;
    int64_t loops;                   // the count it plays with first
    double heardFirst;               // seconds mixed before the player pauses for the change; 0: before it starts
    std::optional<int64_t> seekTo;   // file frame
    std::optional<int64_t> loopsTo;  // the new count
};

// After a seek or a new loop count, what plays to the end is the rest of the pass it is in and the
// loops still to be heard, counted from what was heard, whichever of the queue's buffers the heard
// wraps lie in, and never the passes the decoder had queued ahead. The position read at the pause is
// where what was heard ends in its pass: at a wrap, the end of the pass, for the next has not begun.
// At the very end of a pass, a new count counts the passes after it.
TEST_F(OALStreamingPlayerWave, ASeekOrANewLoopCountPlaysTheLoopsStillToBeHeardAndNoMore) {
    const Change changes[] = {
        {"short, once, seek", kShort, 0, 0, 400, {}},
        {"short, one loop, seek", kShort, 1, 0, 400, {}},
        {"short, four loops, seek", kShort, 4, 0, 400, {}},
        {"short, endless, seek and one loop", kShort, -1, 0, 400, 1},
        {"short, four loops, seek to the end", kShort, 4, 0, kShort, {}},
        {"short, four loops, seek to the end, then three loops", kShort, 4, 0, kShort, 3},
        {"long, once, seek", kLong, 0, 0, 5000, {}},
        {"long, one loop, seek", kLong, 1, 0, 5000, {}},
        {"long, four loops, seek", kLong, 4, 0, 5000, {}},
        {"long, endless, seek and none", kLong, -1, 0, 5000, 0},
        {"short, four loops to none", kShort, 4, 0, {}, 0},
        {"short, endless to one", kShort, -1, 0, {}, 1},
        {"short, once to four loops", kShort, 0, 0, {}, 4},
        {"long, one loop to none", kLong, 1, 0, {}, 0},
        {"long, one loop to four", kLong, 1, 0, {}, 4},
        {"long, endless to one", kLong, -1, 0, {}, 1},
        // Heard first: loop counts that last seconds beyond the pause, so that a test thread held
        // up before it still finds the music playing.
        {"short, a hundred loops, heard, seek", kShort, 100, 0.03, 400, {}},
        {"short, a hundred loops, heard, to two", kShort, 100, 0.03, {}, 2},
        {"short, a hundred loops, heard, seek, then two loops", kShort, 100, 0.03, 400, 2},
        {"short, endless, heard, to none", kShort, -1, 0.03, {}, 0},
        {"long, twenty loops, heard, seek", kLong, 20, 0.15, 5000, {}},
    };
    const std::string shortFile = constantFile("short.wav", kShort);
    const std::string longFile = constantFile("long.wav", kLong);
    for (const Change& change : changes) {
        SCOPED_TRACE(change.name);
        const int64_t pass = change.fileFrames;
        const bool heardFirst = change.heardFirst > 0;
        int64_t pausedAt = 0;  // file frame
        std::vector<float> output;
        playThrough(pass == kShort ? shortFile : longFile, output_, [&](auto& player, auto device) {
            player.setNumberOfLoops(change.loops);
            if (heardFirst) {
                ASSERT_TRUE(player.play());
                ASSERT_TRUE(waitForMixing(device, change.heardFirst));
                ASSERT_TRUE(player.playing()) << "the music ended before the change";
                player.pause();
                pausedAt = std::llround(player.currentTime() * kRate);
                ASSERT_TRUE(waitForMixing(device, 0.03));  // a gap in the output marks the change
            } else {
                ASSERT_TRUE(player.prepareToPlay());
            }
            if (change.seekTo) player.setCurrentTime(double(*change.seekTo) / kRate);
            if (change.loopsTo) player.setNumberOfLoops(*change.loopsTo);
            ASSERT_TRUE(player.play());
        }, output);
        if (HasFatalFailure() || IsSkipped()) return;
        // What is heard first is one sounding only while the pump keeps up with the mixer, which a
        // program many times slower cannot promise.
        if (heardFirst && !realTimeOutputChecksApply()) continue;
        const std::vector<Sounding> soundings = soundingsIn(output);
        ASSERT_FALSE(soundings.empty());
        // After the change every sounding counts, gaps from a late refill or not.
        const int64_t before = heardFirst ? soundings.front().frames : 0;
        int64_t after = 0;
        for (auto s = soundings.begin() + (heardFirst ? 1 : 0); s != soundings.end(); ++s) after += s->frames;
        const int64_t wrapsHeard = before > 0 ? (before - 1) / pass : 0;
        if (heardFirst) {
            EXPECT_EQ(pausedAt, before - wrapsHeard * pass);
        }
        const int64_t from = change.seekTo.value_or(pausedAt);
        const int64_t loopsLeft = change.loopsTo.value_or(change.loops - wrapsHeard);
        EXPECT_EQ(after, pass - from + loopsLeft * pass) << before << " frames heard first";
    }
}

// A seek while the music sounds goes on from the frame sought at once, and the music ends where it
// should from there. The file's first second is positive and the half second after it negative,
// and every seek is made well before the first second ends, so the negative frames of the output
// are those played after the seek from the second part, and those of the loops after it.
TEST_F(OALStreamingPlayerWave, ASeekWhileTheMusicSoundsPlaysOnFromTheFrameSought) {
    constexpr int64_t kPositive = kRate, kFrames = kRate * 3 / 2;
    const struct {
        const char* name;
        int64_t loops, seekTo;
    } rows[] = {
        {"once, into the negative part", 0, kRate * 5 / 4},
        {"once, back to the start", 0, 0},
        {"once, to the end", 0, kFrames},
        {"one loop, into the negative part", 1, kRate * 5 / 4},
        {"one loop, to the end", 1, kFrames},
    };
    const std::string file =
        writeSoundFile(folder_.file("halves.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, kRate, kFrames,
                       [](int64_t frame, int) { return frame < kPositive ? 0.25f : -0.25f; });
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<float> output;
        playThrough(file, output_, [&](auto& player, auto device) {
            player.setNumberOfLoops(row.loops);
            ASSERT_TRUE(player.play());
            ASSERT_TRUE(waitForMixing(device, 0.03));
            player.setCurrentTime(double(row.seekTo) / kRate);
        }, output);
        if (HasFatalFailure() || IsSkipped()) return;
        if (!realTimeOutputChecksApply()) continue;  // the seek must come within the first second
        int64_t negative = 0;
        for (size_t i = 0; i < output.size(); i += 2) negative += output[i] < -1e-3f;
        EXPECT_EQ(negative, kFrames - std::max(row.seekTo, kPositive) + row.loops * (kFrames - kPositive));
    }
}

// The pump refills the queue while the source plays. When the source runs dry during a refill (a
// pump held up long enough), the buffers it had then are played, though they still lead the queue:
// the restart plays on from the new buffers, and every frame of the file is heard once. The reads
// of the refill are held here until the source has surely run dry.
TEST_F(OALStreamingPlayerWave, ASourceThatRunsDryWhileItsRefillDecodesPlaysNoBufferTwice) {
    const std::string file = constantFile("second.wav", kRate);
    std::vector<float> output;
    playThrough(file, output_, [&](auto& player, auto device) {
        ASSERT_TRUE(player.play());  // queues the first buffers itself
        ReadsHeld reads;
        ASSERT_TRUE(reads.waitForHeldRead());
        ASSERT_TRUE(waitForMixing(device, 0.5));  // more than the whole queue
        reads.release();
    }, output);
    if (HasFatalFailure() || IsSkipped()) return;
    int64_t heard = 0;
    for (const Sounding& sounding : soundingsIn(output)) heard += sounding.frames;
    EXPECT_EQ(heard, kRate);
}

}  // namespace
