#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <filesystem>
#include <optional>

#include "audio/OALStreamingPlayer.h"
#include "audio/OALTools.h"
#include "audio/OpenALManager.h"
#include "audio/support/AudioTestSupport.h"
#include "platform/foundation/RunLoop.h"

namespace {

constexpr int kRate = 44100;
constexpr int64_t kShort = 1000;  // frames: several passes fit in one of the player's buffers
constexpr int64_t kLong = 6000;   // frames: longer than a buffer

// A change made to the player, and what it has played of the file before it.
struct Change {
    const char* name;
    int64_t fileFrames;
    int64_t loops;                   // the count it plays with first
    double heardFirst;               // seconds mixed before the player pauses for the change; 0: before it starts
    std::optional<int64_t> seekTo;   // file frame
    std::optional<int64_t> loopsTo;  // the new count
};

// What the output of one change held: frames played before it (the first sounding, when the player
// played first: its pause leaves a gap) and after it, and the file frame it was at when it paused.
struct Heard {
    int64_t before = 0, after = 0, pausedAt = 0;
};

// Plays `change` on a device of its own through the wave-file backend, which writes `output`.
void play(const Change& change, const std::string& file, const std::string& output, Heard& heard) {
    {
        RefPtr<ALDevice> device = ALDevice::deviceWithDeviceSpecifier("");
        ASSERT_TRUE(device);
        if (!std::filesystem::exists(output)) GTEST_SKIP() << "OpenAL already runs on another backend in this process";
        RefPtr<ALContext> context = ALContext::contextOnDevice(device, {});
        OpenALManager::sharedInstance()->setCurrentContext(context.get());
        RefPtr<Error> error;
        RefPtr<OALStreamingPlayer> player = OALStreamingPlayer::playerWithUrl(OALTools::urlForPath(file), &error);
        ASSERT_TRUE(player) << (error ? error->description() : "");
        player->setNumberOfLoops(change.loops);
        if (change.heardFirst > 0) {
            ASSERT_TRUE(player->play());
            ASSERT_TRUE(waitForMixing(device->device(), change.heardFirst));
            ASSERT_TRUE(player->playing()) << "the music ended before the change";
            player->pause();
            heard.pausedAt = std::llround(player->currentTime() * kRate);
            ASSERT_TRUE(waitForMixing(device->device(), 0.03));  // a gap in the output marks the change
        } else {
            ASSERT_TRUE(player->prepareToPlay());
        }
        if (change.seekTo) player->setCurrentTime(double(*change.seekTo) / kRate);
        if (change.loopsTo) player->setNumberOfLoops(*change.loopsTo);
        ASSERT_TRUE(player->play());
        ASSERT_TRUE(pumpUntil(RunLoop::main(), "the music to end", [&] { return !player->playing(); }));
        // The output lags the mix by a few frames: one more update brings the last of them out.
        ASSERT_TRUE(waitForMixing(device->device(), 0.05));
        OpenALManager::sharedInstance()->setCurrentContext(nullptr);
    }  // closing the device completes the file
    const std::vector<Sounding> soundings = soundingsIn(readWaveOutput(output));
    ASSERT_FALSE(soundings.empty());
    // What is heard first is one sounding: the first queue outlasts it, so the player cannot have
    // run dry before the change. After it, every sounding counts, gaps from a late refill or not.
    const bool heardFirst = change.heardFirst > 0;
    heard.before = heardFirst ? soundings.front().frames : 0;
    for (auto s = soundings.begin() + (heardFirst ? 1 : 0); s != soundings.end(); ++s) heard.after += s->frames;
}

// Music whose every frame is loud (a constant level), so the loud frames of the output are the
// frames the player played. After a seek or a new loop count, what plays to the end is the rest of
// the pass it is in and the loops still to be heard, counted from what was heard, whichever of the
// queue's buffers the heard wraps lie in, and never the passes the decoder had queued ahead. The
// position read at the pause is the file frame heard there, in whatever pass.
TEST(OALStreamingPlayerWave, ASeekOrANewLoopCountPlaysTheLoopsStillToBeHeardAndNoMore) {
    const Change changes[] = {
        {"short, once, seek", kShort, 0, 0, 400, {}},
        {"short, one loop, seek", kShort, 1, 0, 400, {}},
        {"short, four loops, seek", kShort, 4, 0, 400, {}},
        {"short, endless, seek and one loop", kShort, -1, 0, 400, 1},
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
        {"short, twenty loops, heard, seek", kShort, 20, 0.03, 400, {}},
        {"short, twenty loops, heard, to two", kShort, 20, 0.03, {}, 2},
        {"short, endless, heard, to none", kShort, -1, 0.03, {}, 0},
        {"long, four loops, heard, seek", kLong, 4, 0.15, 5000, {}},
    };
    TemporaryFolder folder;
    const std::string output = useWaveAudioBackend(folder);
    const auto level = [](int64_t, int) { return 0.25f; };
    const std::string shortFile = writeSoundFile(folder.file("short.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, kRate, kShort, level);
    const std::string longFile = writeSoundFile(folder.file("long.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, kRate, kLong, level);
    for (const Change& change : changes) {
        SCOPED_TRACE(change.name);
        const int64_t pass = change.fileFrames;
        Heard heard;
        play(change, pass == kShort ? shortFile : longFile, output, heard);
        if (testing::Test::HasFatalFailure() || testing::Test::IsSkipped()) return;
        EXPECT_EQ(heard.pausedAt, heard.before % pass);
        const int64_t passesHeard = heard.before / pass;  // wraps heard before the change
        const int64_t from = change.seekTo.value_or(heard.pausedAt);
        const int64_t loopsLeft = change.loopsTo.value_or(change.loops - passesHeard);
        EXPECT_EQ(heard.after, pass - from + loopsLeft * pass) << heard.before << " frames heard first";
    }
}

}  // namespace
