#include <gtest/gtest.h>
#include <sndfile.h>

#include "audio/ALWrapper.h"
#include "audio/OALActionManager.h"
#include "audio/OALAudioTrack.h"
#include "audio/OALAudioTracks.h"
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

// The track hands a seek straight to its player: to the end while playing, it ends the music as
// the file's end does.
TEST_F(OALAudioTrackPlayerTest, ASeekToTheEndWhilePlayingFinishesTheTrackOnce) {
    int finished = 0;
    NotificationCenter::defaultCenter().addObserver(this, kOALAudioTrackFinishedPlayingNotification, track_.get(),
                                                    [&](const Notification&) { ++finished; });
    ASSERT_TRUE(track_->playFile(tone("tone.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 2), 0));
    ASSERT_TRUE(waitForMixing(device_->device(), 0.05));
    track_->setCurrentTime(track_->duration());
    EXPECT_TRUE(pumpUntil(RunLoop::main(), "the finished notification", [&] { return finished > 0; }));
    RunLoop::main().runOnce();
    EXPECT_EQ(finished, 1);
    EXPECT_FALSE(track_->playing());
    EXPECT_EQ(track_->currentTime(), 0);
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
