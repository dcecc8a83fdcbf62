#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <vector>

#include "audio/ALWrapper.h"
#include "audio/OALActionManager.h"
#include "audio/OALAudioTrack.h"
#include "audio/OALAudioTracks.h"
#include "audio/OALStreamingDecoder.h"
#include "audio/OpenALManager.h"
#include "audio/support/AudioTestSupport.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"

namespace {

constexpr int kRate = 44100;

// Tracks on our streaming player over the null backend, which plays in real time: files are a
// fraction of a second and every wait ends on a condition (or fails once its bound passes).
class OALAudioTrackPlayerTest : public AudioDeviceTest {
protected:
    ~OALAudioTrackPlayerTest() override {
        NotificationCenter::defaultCenter().removeObserver(this);
        track_.reset();
        OALAudioTracks::purgeSharedInstance();
        OALActionManager::purgeSharedInstance();
    }

    std::string tone(const std::string& name, int format, int channels, double seconds) {
        return writeSoundFile(folder_.file(name), format, channels, kRate, int64_t(seconds * kRate),
                              [](int64_t frame, int channel) { return sine440(frame, channel, kRate); });
    }

    RefPtr<OALAudioTrack> track_ = OALAudioTrack::track();
};

// Stretches of 1000 frames from files whose every sample tells its own frame (channel 0 the frame,
// channel 1 its negative, a third channel the frame again): each stretch is whole until the last
// loop ends, however short the file, and maps each of its frames to the frame the file holds there.
TEST(OALStreamingDecoder, EveryStretchIsWholeAcrossTheLoopPointUntilTheLastLoopEnds) {
    constexpr int64_t kStretch = 1000;
    const struct {
        const char* name;
        int64_t fileFrames, loops, from;
        int channels;
        std::vector<int64_t> stretches;  // frames of each read in turn
    } rows[] = {
        {"longer than a stretch, no loops", 2500, 0, 0, 1, {1000, 1000, 500, 0}},
        {"longer than a stretch, two loops", 2500, 2, 0, 1, {1000, 1000, 1000, 1000, 1000, 1000, 1000, 500, 0, 0}},
        {"shorter than a stretch, four loops", 300, 4, 0, 2, {1000, 500, 0}},
        {"shorter than a stretch, endless", 300, -1, 0, 3, {1000, 1000, 1000, 1000}},
        {"from a seek, one loop", 2500, 1, 2200, 1, {1000, 1000, 800, 0}},
        {"from the end, one loop", 2500, 1, 2500, 1, {1000, 1000, 500, 0}},
        {"an empty file never goes round", 0, -1, 0, 1, {0}},
    };
    TemporaryFolder folder;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string path = writeSoundFile(
            folder.file("frames.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, row.channels, kRate, row.fileFrames,
            [](int64_t frame, int channel) { return float(channel == 1 ? -frame : frame) / 32768; });
        OALStreamingDecoder decoder;
        RefPtr<Error> error;
        ASSERT_TRUE(decoder.open(path, kStretch, &error)) << (error ? error->description() : "");
        ASSERT_TRUE(decoder.seek(row.from));
        decoder.setLoopsLeft(row.loops);
        const int channels = decoder.channels();
        EXPECT_EQ(channels, std::min(row.channels, 2));
        int64_t expected = row.from;  // the file frame heard next
        for (const int64_t frames : row.stretches) {
            const OALStreamingDecoder::Stretch stretch = decoder.read();
            ASSERT_EQ(stretch.frames, frames);
            for (int64_t offset = 0; offset < frames; ++offset, ++expected) {
                if (expected == row.fileFrames) expected = 0;
                ASSERT_EQ(stretch.fileFrame(offset), expected) << offset;
                const float* frame = decoder.samples() + offset * channels;
                ASSERT_EQ(frame[0] * 32768, float(expected)) << offset;
                if (channels == 2) {
                    ASSERT_EQ(frame[1] * 32768, -float(expected)) << offset;
                }
            }
        }
        EXPECT_FALSE(decoder.failure());
    }
}

TEST_F(OALAudioTrackPlayerTest, LoopsNPlayAnMP3NPlusOneTimesThenFinishOnceInTheTracksOwnContext) {
    const std::string mp3 = tone("tone.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 1, 0.25);
    int finished = 0;
    NotificationCenter::defaultCenter().addObserver(this, kOALAudioTrackFinishedPlayingNotification, track_.get(),
                                                    [&](const Notification&) { ++finished; });
    track_->setMeteringEnabled(true);
    for (const int64_t loops : {0, 2}) {
        finished = 0;
        ASSERT_TRUE(track_->playFile(mp3, loops));
        EXPECT_EQ(ALWrapper::getCurrentContext(), context_->context());
        track_->updateMeters();  // a 0.5 sine: peak -6 dB, average (RMS) -9 dB
        EXPECT_NEAR(track_->peakPowerForChannel(0), -6.02, 0.5);
        EXPECT_NEAR(track_->averagePowerForChannel(0), -9.03, 0.5);
        EXPECT_EQ(track_->peakPowerForChannel(1), -160);
        int wraps = 0;
        double last = 0;
        EXPECT_TRUE(pumpUntil(RunLoop::main(), "the finished notification", [&] { return finished > 0; }, [&] {
            const double now = track_->currentTime();
            if (!track_->player()->playing()) return;  // the end went back to 0
            wraps += now < last - 0.1;
            last = now;
        }));
        if (realTimeOutputChecksApply()) {  // each wrap seen as it passed
            EXPECT_EQ(wraps, loops);
        }
        EXPECT_EQ(finished, 1);
        EXPECT_FALSE(track_->playing());
        EXPECT_EQ(track_->currentTime(), 0);
    }
}

TEST_F(OALAudioTrackPlayerTest, PauseHoldsThePositionUnpauseResumesItAndPlayOrASeekMovesIt) {
    ASSERT_TRUE(track_->preloadFile(tone("tone.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 2), 0.5));
    EXPECT_DOUBLE_EQ(track_->currentTime(), 0.5);
    ASSERT_TRUE(track_->play());
    EXPECT_TRUE(pumpUntil(RunLoop::main(), "the track to play past 0.6 s", [&] { return track_->currentTime() > 0.6; }));
    track_->setPaused(true);
    const double held = track_->currentTime();
    EXPECT_TRUE(waitForMixing(device_->device(), 0.05));  // two mixer updates
    EXPECT_EQ(track_->currentTime(), held);
    track_->setPaused(false);
    EXPECT_GE(track_->currentTime(), held);
    EXPECT_TRUE(pumpUntil(RunLoop::main(), "the unpaused track to move on", [&] { return track_->currentTime() > held + 0.05; }));
    const MixingPaused still(device_->device());  // nothing moves on while the places are read
    ASSERT_TRUE(track_->play());  // from the stored position, not from where it was
    EXPECT_DOUBLE_EQ(track_->currentTime(), 0.5);
    track_->setCurrentTime(1.5);
    EXPECT_DOUBLE_EQ(track_->currentTime(), 1.5);
    EXPECT_TRUE(track_->playing());
}

TEST_F(OALAudioTrackPlayerTest, AFileThatCannotPlayOrAMissingDeviceLeavesTheTrackEmpty) {
    const std::string wav = tone("tone.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 0.1);
    const struct {
        std::string url;
        bool withDevice;
        const char* why;
    } cases[] = {
        {"file://" + folder_.file("missing.wav"), true, "System error"},
        {"file://" + folder_.write("noise.mp3", std::string(4000, 'x')), true, "Could not load URL"},
        {"file://" + wav, false, "no audio device is open"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        ASSERT_TRUE(track_->playUrl("file://" + wav));
        OpenALManager::sharedInstance()->setCurrentContext(c.withDevice ? context_.get() : nullptr);
        LogCapture log;
        EXPECT_FALSE(track_->preloadUrl(c.url));
        EXPECT_TRUE(log.contains("Could not load URL " + c.url)) << log.lines().front();
        EXPECT_TRUE(log.contains(c.why));
        EXPECT_FALSE(track_->player() || track_->playing() || track_->preloaded());
        OpenALManager::sharedInstance()->setCurrentContext(context_.get());
    }
}

}  // namespace
