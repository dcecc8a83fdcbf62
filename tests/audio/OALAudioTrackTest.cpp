#include "audio/OALAudioTrack.h"

#include <gtest/gtest.h>

#include <thread>

#include "audio/OALActionManager.h"
#include "audio/OALAudioTracks.h"
#include "audio/support/AudioTestSupport.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/StringUtils.h"

namespace {

// Keeps what the track hands it; finish() ends the file as a real player would.
class FakePlayer : public OALAudioPlayer {
public:
    bool prepareToPlay() override { return true; }
    bool play() override { return playing_ = true; }
    bool playAtTime(double) override { return play(); }
    void pause() override { playing_ = false; }
    void stop() override { playing_ = false; }
    bool playing() const override { return playing_; }
    float volume() const override { return volume_; }
    void setVolume(float volume) override { volume_ = volume; }
    float pan() const override { return 0; }
    void setPan(float) override {}
    int64_t numberOfLoops() const override { return 0; }
    void setNumberOfLoops(int64_t) override {}
    double currentTime() const override { return time_; }
    void setCurrentTime(double seconds) override { time_ = seconds; }
    double deviceCurrentTime() const override { return 0; }
    double duration() const override { return 10; }
    uint64_t numberOfChannels() const override { return 2; }
    bool meteringEnabled() const override { return false; }
    void setMeteringEnabled(bool) override {}
    void updateMeters() override {}
    float averagePowerForChannel(uint64_t) const override { return 0; }
    float peakPowerForChannel(uint64_t) const override { return 0; }

    void finish() {
        playing_ = false;
        time_ = 0;
        postDidFinishPlaying(true);
    }

    bool playing_ = false;
    float volume_ = 1;
    double time_ = 0;
};

// Tracks over fake players ("missing..." files cannot be opened), their notifications recorded as
// "Started", "Stopped", ... with a "!" added when one is delivered off the main thread.
class OALAudioTrackTest : public ::testing::Test {
protected:
    OALAudioTrackTest() {
        OALAudioPlayer::setFactory([this](const std::string& url, RefPtr<Error>* error) -> RefPtr<OALAudioPlayer> {
            if (hasPrefix(lastPathComponent(url), "missing") || failReloads_) {
                *error = makeRef<Error>("test", 2, "no such file");
                return nullptr;
            }
            return players_.emplace_back(new FakePlayer());
        });
        NotificationCenter::defaultCenter().addObserver(this, "", nullptr, [this](const Notification& posted) {
            if (!hasPrefix(posted.name, "OALAudioTrack")) return;
            std::string name = stringByReplacingOccurrences(posted.name, "OALAudioTrack", "");
            name = stringByReplacingOccurrences(stringByReplacingOccurrences(name, "Notification", ""), "Playing", "");
            events_.push_back(RunLoop::main().isCurrent() ? name : name + "!");
        });
        OALActionManager::sharedInstance()->setClock([this] { return now_; });
    }
    ~OALAudioTrackTest() override {
        NotificationCenter::defaultCenter().removeObserver(this);
        OALAudioPlayer::setFactory({});
        track_.reset();
        OALAudioTracks::purgeSharedInstance();
        OALActionManager::purgeSharedInstance();
    }

    // Delivers what was posted to the main thread and answers the notifications since last time.
    std::vector<std::string> delivered() {
        while (RunLoop::main().runOnce() > 0) {}
        return std::exchange(events_, {});
    }
    FakePlayer* player() const { return static_cast<FakePlayer*>(track_->player().get()); }
    void stepThrough(double seconds) {
        OALActionManager::sharedInstance()->step();
        now_ += uint64_t(seconds * 1e9);
        OALActionManager::sharedInstance()->step();
    }

    std::vector<RefPtr<FakePlayer>> players_;
    std::vector<std::string> events_;
    bool failReloads_ = false;
    uint64_t now_ = 1'000'000'000;  // nanoseconds
    RefPtr<OALAudioTrack> track_ = OALAudioTrack::track();
};

TEST_F(OALAudioTrackTest, EachStepPostsItsNotificationsInOrderOnTheMainThreadWhicheverThreadActs) {
    using Events = std::vector<std::string>;
    const struct {
        const char* step;
        std::function<void(OALAudioTrack&, FakePlayer*)> act;
        Events events;
        bool playing, paused, preloaded, hasPlayer;
    } steps[] = {
        {"preload", [](auto& t, auto) { EXPECT_TRUE(t.preloadUrl("file:///a.mp3")); }, {"SourceChanged"}, false, false, true, true},
        {"play", [](auto& t, auto) { EXPECT_TRUE(t.play()); }, {"Started"}, true, false, true, true},
        {"pause", [](auto& t, auto) { t.setPaused(true); }, {"Stopped"}, true, true, true, true},
        {"pause again", [](auto& t, auto) { t.setPaused(true); }, {}, true, true, true, true},
        {"resume", [](auto& t, auto) { t.setPaused(false); }, {"Started"}, true, false, true, true},
        {"end of file", [](auto&, auto p) { p->finish(); }, {"Finished"}, false, false, false, true},
        {"play after the end", [](auto& t, auto) { EXPECT_TRUE(t.play()); }, {"Started"}, true, false, false, true},
        {"load while playing", [](auto& t, auto) { EXPECT_TRUE(t.playUrl("file:///b.mp3")); }, {"Stopped", "SourceChanged", "Started"}, true, false, true, true},
        {"stop", [](auto& t, auto) { t.stop(); }, {"Stopped"}, false, false, false, true},
        {"stop again", [](auto& t, auto) { t.stop(); }, {}, false, false, false, true},
        {"play stopped", [](auto& t, auto) { EXPECT_TRUE(t.play()); t.setPaused(true); }, {"Started", "Stopped"}, true, true, false, true},
        {"failed load while paused", [](auto& t, auto) { EXPECT_FALSE(t.preloadUrl("file:///missing.mp3")); }, {"Stopped"}, false, false, false, false},
        {"play empty", [](auto& t, auto) { EXPECT_FALSE(t.play()); }, {}, false, false, false, false},
        {"load empty url", [](auto& t, auto) { EXPECT_FALSE(t.preloadUrl("")); }, {}, false, false, false, false},
        {"clear", [](auto& t, auto) { t.preloadUrl("file:///c.mp3"), t.play(), t.clear(); }, {"SourceChanged", "Started", "Stopped"}, false, false, true, false},
    };
    LogCapture log;
    for (const auto& step : steps) {
        SCOPED_TRACE(step.step);
        std::thread([&] { step.act(*track_, player()); }).join();
        EXPECT_EQ(events_, Events{});  // nothing before the main loop runs
        EXPECT_EQ(delivered(), step.events);
        EXPECT_EQ(track_->playing(), step.playing);
        EXPECT_EQ(track_->paused(), step.paused);
        EXPECT_EQ(track_->preloaded(), step.preloaded);
        EXPECT_EQ(bool(track_->player()), step.hasPlayer);
    }
    EXPECT_EQ(log.lines().size(), 2u);
    EXPECT_TRUE(log.contains("OAL Error: -[OALAudioTrack preloadUrl:seekTime:]: <OALAudioTrack: 0x"));
    EXPECT_TRUE(log.contains("b.mp3>: Could not load URL file:///missing.mp3: no such file"));
    EXPECT_TRUE(log.contains("Cannot open NULL file / url"));
}

TEST_F(OALAudioTrackTest, PlayRestartsFromTheStoredPositionWhileUnpausingResumesWhereThePauseLeftOff) {
    track_->preloadUrl("file:///a.mp3", 3);
    track_->play();
    player()->time_ = 5;
    track_->setPaused(true);
    track_->setPaused(false);
    EXPECT_EQ(track_->currentTime(), 5);
    track_->setPaused(true);
    track_->play();
    EXPECT_EQ(track_->currentTime(), 3);
    EXPECT_FALSE(track_->paused());
}

TEST_F(OALAudioTrackTest, SuspensionRebuildsThePlayerInTheSameStateOrEmptiesTheTrackWhenTheFileIsGone) {
    const struct {
        bool paused, reloadFails;
    } cases[] = {{false, false}, {true, false}, {false, true}};
    OALAudioTracks* registry = OALAudioTracks::sharedInstance();
    for (const auto& c : cases) {
        track_->playUrl("file:///a.mp3");
        track_->setPaused(c.paused);
        player()->time_ = 4;
        OALAudioPlayer* before = player();
        registry->setManuallySuspended(true);
        EXPECT_FALSE(before->playing());
        registry->setMuted(true);  // ignored while suspended
        failReloads_ = c.reloadFails;
        LogCapture log;
        registry->setManuallySuspended(false);
        failReloads_ = false;
        EXPECT_FALSE(registry->muted());
        EXPECT_EQ(track_->playing(), !c.reloadFails);
        EXPECT_EQ(track_->preloaded(), !c.reloadFails);
        EXPECT_EQ(track_->paused(), c.paused && !c.reloadFails);
        EXPECT_EQ(log.contains("Could not reload URL file:///a.mp3: no such file"), c.reloadFails);
        if (c.reloadFails) continue;
        EXPECT_NE(player(), before);
        EXPECT_EQ(player()->playing(), !c.paused);
        EXPECT_EQ(player()->time_, 4);
    }
    track_->playUrl("file:///a.mp3");
    track_->clear();  // keeps preloaded, drops the player
    LogCapture log;
    registry->setManuallySuspended(true);
    registry->setManuallySuspended(false);
    EXPECT_FALSE(track_->player() || !log.lines().empty());
}

TEST_F(OALAudioTrackTest, FadesCallBackOnceAtTheirEndUnlessStoppedOrMutedAndANewTrackTakesTheRegistrysMute) {
    track_->playUrl("file:///a.mp3");
    std::vector<OALAudioTrack*> calls;
    track_->fadeTo(0, 1, [&](OALAudioTrack* track) { calls.push_back(track); });
    stepThrough(0.5);
    track_->stopFade();
    stepThrough(1);
    EXPECT_FLOAT_EQ(player()->volume_, 0.5f);
    track_->fadeTo(1, 0.5f, [&](OALAudioTrack* track) { calls.push_back(track); });
    stepThrough(0.6);
    EXPECT_EQ(calls, std::vector<OALAudioTrack*>{track_.get()});
    EXPECT_FLOAT_EQ(player()->volume_, 1);

    track_->fadeTo(0, 1, [&](OALAudioTrack* track) { calls.push_back(track); });
    OALAudioTracks::sharedInstance()->setMuted(true);
    stepThrough(2);
    EXPECT_EQ(calls.size(), 1u);
    EXPECT_EQ(player()->volume_, 0);
    RefPtr<OALAudioTrack> later = OALAudioTrack::track();
    EXPECT_TRUE(later->muted());
    OALAudioTracks::sharedInstance()->setMuted(false);
    EXPECT_FLOAT_EQ(player()->volume_, 1);
}

TEST_F(OALAudioTrackTest, QueuedRequestsRunInOrderAndCallBackOnTheMainThreadWithTheTrack) {
    std::vector<bool> onMainThread;
    const auto record = [&](OALAudioTrack* track) {
        EXPECT_EQ(track, track_.get());
        onMainThread.push_back(RunLoop::main().isCurrent());
    };
    track_->playUrlAsync("file:///a.mp3", record);
    EXPECT_FALSE(track_->preloadUrlAsync("file:///b.mp3", 2, record));
    EXPECT_TRUE(pumpUntil(RunLoop::main(), "both callbacks", [&] { return onMainThread.size() == 2; }));
    EXPECT_EQ(onMainThread, (std::vector<bool>{true, true}));
    EXPECT_EQ(delivered(), (std::vector<std::string>{"SourceChanged", "Started", "Stopped", "SourceChanged"}));
    EXPECT_EQ(track_->currentlyLoadedUrl(), "file:///b.mp3");
    EXPECT_EQ(track_->currentTime(), 2);
}

}  // namespace
