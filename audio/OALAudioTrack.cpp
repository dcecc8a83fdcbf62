#include "audio/OALAudioTrack.h"

#include <algorithm>

#include "audio/OALAudioTracks.h"
#include "audio/OALActionRunner.h"
#include "audio/OALPropertyAction.h"
#include "audio/OALTools.h"
#include "platform/dispatch/SerialQueue.h"
#include "platform/foundation/NamedException.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/StringUtils.h"

namespace {

const char* errorText(const RefPtr<Error>& error) {
    return error ? error->localizedDescription().c_str() : "unknown error";
}

}  // namespace

RefPtr<OALAudioTrack> OALAudioTrack::track() {
    return makeRef<OALAudioTrack>();
}

OALAudioTrack::OALAudioTrack()
    : registry_(OALAudioTracks::sharedInstance()), operationQueue_(std::make_unique<SerialQueue>("OALAudioTrack")) {
    registry_->notifyTrackInitializing(this);
    registry_->addSuspendListener(this);
}

OALAudioTrack::~OALAudioTrack() {
    registry_->removeSuspendListener(this);
    registry_->notifyTrackDeallocating(this);
    stopActions();
    releasePlayer();
    // From the queue's own worker (its last operation let go of the track) the queue finishes by
    // itself; from anywhere else this waits for queued operations, which hold the track, so none.
    operationQueue_.reset();
}

bool OALAudioTrack::preloadUrl(const std::string& url, double seekTime) {
    constexpr const char* function = "-[OALAudioTrack preloadUrl:seekTime:]";
    if (url.empty()) {
        OALTools::logError(function, "%s: Cannot open NULL file / url", description().c_str());
        return false;
    }
    std::lock_guard lock(mutex_);
    const bool wasPlaying = playing_;
    stopActions();
    releasePlayer();
    if (wasPlaying) post(kOALAudioTrackStoppedPlayingNotification);
    RefPtr<Error> error;
    player_ = OALAudioPlayer::playerWithUrl(url, &error);
    if (!player_) {
        OALTools::logError(function, "%s: Could not load URL %s: %s", description().c_str(), url.c_str(), errorText(error));
        // A failed load leaves the track empty, so nobody fades or pauses a track that has no sound.
        playing_ = paused_ = preloaded_ = false;
        return false;
    }
    configure(*player_);
    currentlyLoadedUrl_ = url;
    setCurrentTime(seekTime);
    playing_ = paused_ = false;
    preloaded_ = player_->prepareToPlay();
    if (preloaded_) {
        post(kOALAudioTrackSourceChangedNotification);
    } else {
        OALTools::logError(function, "%s: Failed to prepareToPlay: %s", description().c_str(), url.c_str());
    }
    return preloaded_;
}

bool OALAudioTrack::preloadFile(const std::string& path, double seekTime) {
    return preloadUrl(OALTools::urlForPath(path), seekTime);
}

bool OALAudioTrack::preloadUrlAsync(const std::string& url, double seekTime, Callback callback) {
    preloadAsync(url, seekTime, false, 0, std::move(callback));
    return false;
}

bool OALAudioTrack::preloadUrlAsync(const std::string& url, Callback callback) {
    return preloadUrlAsync(url, 0, std::move(callback));
}

bool OALAudioTrack::preloadFileAsync(const std::string& path, double seekTime, Callback callback) {
    return preloadUrlAsync(OALTools::urlForPath(path), seekTime, std::move(callback));
}

bool OALAudioTrack::preloadFileAsync(const std::string& path, Callback callback) {
    return preloadFileAsync(path, 0, std::move(callback));
}

bool OALAudioTrack::playUrl(const std::string& url, int64_t loops) {
    std::lock_guard lock(mutex_);
    if (!preloadUrl(url)) return false;
    setNumberOfLoops(loops);
    return play();
}

bool OALAudioTrack::playFile(const std::string& path, int64_t loops) {
    return playUrl(OALTools::urlForPath(path), loops);
}

void OALAudioTrack::playUrlAsync(const std::string& url, int64_t loops, Callback callback) {
    preloadAsync(url, 0, true, loops, std::move(callback));
}

void OALAudioTrack::playUrlAsync(const std::string& url, Callback callback) {
    playUrlAsync(url, 0, std::move(callback));
}

void OALAudioTrack::playFileAsync(const std::string& path, int64_t loops, Callback callback) {
    playUrlAsync(OALTools::urlForPath(path), loops, std::move(callback));
}

void OALAudioTrack::playFileAsync(const std::string& path, Callback callback) {
    playFileAsync(path, 0, std::move(callback));
}

void OALAudioTrack::preloadAsync(std::string url, double seekTime, bool play, int64_t loops, Callback callback) {
    std::lock_guard lock(mutex_);
    operationQueue_->async([track = RefPtr<OALAudioTrack>(this), url = std::move(url), seekTime, play, loops,
                            callback = std::move(callback)]() mutable {
        if (play) {
            track->playUrl(url, loops);
        } else {
            track->preloadUrl(url, seekTime);
        }
        RunLoop::main().performBlock([track = std::move(track), callback = std::move(callback)] {
            if (callback) callback(track.get());
        });
    });
}

bool OALAudioTrack::play() {
    return start([](OALAudioPlayer& player) { return player.play(); });
}

bool OALAudioTrack::playAtTime(double deviceTime) {
    return start([deviceTime](OALAudioPlayer& player) { return player.playAtTime(deviceTime); });
}

bool OALAudioTrack::playAfterTrack(OALAudioTrack* track, double timeAdjust) {
    const double end = track ? track->deviceCurrentTime() + track->duration() - track->currentTime() : 0;
    return playAtTime(end + timeAdjust);
}

bool OALAudioTrack::start(const std::function<bool(OALAudioPlayer&)>& startPlayer) {
    std::lock_guard lock(mutex_);
    stopActions();
    paused_ = false;
    playing_ = false;
    if (player_) {
        player_->stop();
        player_->setCurrentTime(currentTime_);
        player_->setVolume(muted_ ? 0 : gain_);
        player_->setNumberOfLoops(numberOfLoops_);
        playing_ = startPlayer(*player_);
    }
    if (playing_) post(kOALAudioTrackStartedPlayingNotification);
    return playing_;
}

void OALAudioTrack::stop() {
    std::lock_guard lock(mutex_);
    stopActions();
    if (player_) player_->stop();
    if (playing_) post(kOALAudioTrackStoppedPlayingNotification);
    setCurrentTime(0);
    paused_ = playing_ = preloaded_ = false;
}

void OALAudioTrack::clear() {
    std::lock_guard lock(mutex_);
    stopActions();
    currentlyLoadedUrl_.clear();
    releasePlayer();
    if (playing_) post(kOALAudioTrackStoppedPlayingNotification);
    playing_ = paused_ = muted_ = false;
    setCurrentTime(0);
}

void OALAudioTrack::stopActions() {
    stopFade();
    stopPan();
}

void OALAudioTrack::stopFade() {
    std::lock_guard lock(mutex_);
    OALActionRunner::stop(gainAction_);
}

void OALAudioTrack::stopPan() {
    std::lock_guard lock(mutex_);
    OALActionRunner::stop(panAction_);
}

void OALAudioTrack::fadeTo(float value, float duration, Callback onComplete) {
    runAction(gainAction_, OALPropertyAction::gainActionWithDuration(duration, value), std::move(onComplete));
}

void OALAudioTrack::panTo(float value, float duration, Callback onComplete) {
    runAction(panAction_, OALPropertyAction::panActionWithDuration(duration, value), std::move(onComplete));
}

void OALAudioTrack::runAction(RefPtr<OALAction>& slot, RefPtr<OALPropertyAction> change, Callback onComplete) {
    std::lock_guard lock(mutex_);
    OALActionRunner::run(slot, this, std::move(change), std::move(onComplete));
}

float OALAudioTrack::gain() const {
    std::lock_guard lock(mutex_);
    return gain_;
}

void OALAudioTrack::setGain(float gain) {
    std::lock_guard lock(mutex_);
    gain_ = std::max(gain, 0.0f);
    if (player_) player_->setVolume(muted_ ? 0 : gain_);
}

float OALAudioTrack::pan() const {
    std::lock_guard lock(mutex_);
    return pan_;
}

void OALAudioTrack::setPan(float pan) {
    std::lock_guard lock(mutex_);
    pan_ = std::clamp(pan, -1.0f, 1.0f);
    if (player_) player_->setPan(pan_);
}

bool OALAudioTrack::muted() const {
    std::lock_guard lock(mutex_);
    return muted_;
}

void OALAudioTrack::setMuted(bool muted) {
    std::lock_guard lock(mutex_);
    muted_ = muted;
    if (muted) stopActions();
    setGain(gain_);
}

bool OALAudioTrack::paused() const {
    std::lock_guard lock(mutex_);
    return paused_;
}

void OALAudioTrack::setPaused(bool paused) {
    std::lock_guard lock(mutex_);
    if (paused == paused_) return;
    paused_ = paused;
    if (paused) {
        if (player_) player_->pause();
        if (playing_) post(kOALAudioTrackStoppedPlayingNotification);
    } else if (playing_) {
        playing_ = player_ && player_->play();
        if (playing_) post(kOALAudioTrackStartedPlayingNotification);
    }
}

int64_t OALAudioTrack::numberOfLoops() const {
    std::lock_guard lock(mutex_);
    return numberOfLoops_;
}

void OALAudioTrack::setNumberOfLoops(int64_t loops) {
    std::lock_guard lock(mutex_);
    numberOfLoops_ = loops;
    if (player_) player_->setNumberOfLoops(loops);
}

double OALAudioTrack::currentTime() const {
    std::lock_guard lock(mutex_);
    return player_ ? player_->currentTime() : currentTime_;
}

void OALAudioTrack::setCurrentTime(double seconds) {
    std::lock_guard lock(mutex_);
    currentTime_ = seconds;
    if (player_) player_->setCurrentTime(seconds);
}

bool OALAudioTrack::meteringEnabled() const {
    std::lock_guard lock(mutex_);
    return meteringEnabled_;
}

void OALAudioTrack::setMeteringEnabled(bool enabled) {
    std::lock_guard lock(mutex_);
    meteringEnabled_ = enabled;
    if (player_) player_->setMeteringEnabled(enabled);
}

bool OALAudioTrack::autoPreload() const {
    std::lock_guard lock(mutex_);
    return autoPreload_;
}

void OALAudioTrack::setAutoPreload(bool autoPreload) {
    std::lock_guard lock(mutex_);
    autoPreload_ = autoPreload;
}

OALAudioPlayerDelegate* OALAudioTrack::delegate() const {
    std::lock_guard lock(mutex_);
    return delegate_;
}

void OALAudioTrack::setDelegate(OALAudioPlayerDelegate* delegate) {
    std::lock_guard lock(mutex_);
    delegate_ = delegate;
}

bool OALAudioTrack::playing() const {
    std::lock_guard lock(mutex_);
    return playing_;
}

bool OALAudioTrack::preloaded() const {
    std::lock_guard lock(mutex_);
    return preloaded_;
}

RefPtr<OALAudioPlayer> OALAudioTrack::player() const {
    std::lock_guard lock(mutex_);
    return player_;
}

std::string OALAudioTrack::currentlyLoadedUrl() const {
    std::lock_guard lock(mutex_);
    return currentlyLoadedUrl_;
}

double OALAudioTrack::deviceCurrentTime() const {
    std::lock_guard lock(mutex_);
    return player_ ? player_->deviceCurrentTime() : 0;
}

double OALAudioTrack::duration() const {
    std::lock_guard lock(mutex_);
    return player_ ? player_->duration() : 0;
}

uint64_t OALAudioTrack::numberOfChannels() const {
    std::lock_guard lock(mutex_);
    return player_ ? player_->numberOfChannels() : 0;
}

void OALAudioTrack::updateMeters() {
    std::lock_guard lock(mutex_);
    if (player_) player_->updateMeters();
}

float OALAudioTrack::averagePowerForChannel(uint64_t channel) const {
    std::lock_guard lock(mutex_);
    return player_ ? player_->averagePowerForChannel(channel) : 0;
}

float OALAudioTrack::peakPowerForChannel(uint64_t channel) const {
    std::lock_guard lock(mutex_);
    return player_ ? player_->peakPowerForChannel(channel) : 0;
}

void OALAudioTrack::setSuspended(bool suspended) {
    std::lock_guard lock(mutex_);
    // clear() keeps the preloaded flag but not the player: such a track has nothing to rebuild.
    if (!preloaded_ || !player_) return;
    if (suspended) {
        currentTime_ = player_->currentTime();
        if (playing_) player_->stop();
        return;
    }
    releasePlayer();
    RefPtr<Error> error;
    player_ = OALAudioPlayer::playerWithUrl(currentlyLoadedUrl_, &error);
    if (!player_) {
        OALTools::logError("-[OALAudioTrack setSuspended:]", "%s: Could not reload URL %s: %s", description().c_str(),
                           currentlyLoadedUrl_.c_str(), errorText(error));
    } else {
        configure(*player_);
        player_->setCurrentTime(currentTime_);
        if (!player_->prepareToPlay()) {
            OALTools::logError("-[OALAudioTrack setSuspended:]", "%s: Failed to prepareToPlay on resume: %s",
                               description().c_str(), currentlyLoadedUrl_.c_str());
            releasePlayer();
        }
    }
    if (!player_) {
        preloaded_ = playing_ = paused_ = false;
        return;
    }
    if (!playing_) return;
    playing_ = player_->play();
    if (playing_ && paused_) player_->pause();
}

void OALAudioTrack::audioPlayerDidFinishPlaying(OALAudioPlayer* player, bool successfully) {
    OALAudioPlayerDelegate* delegate;
    {
        std::lock_guard lock(mutex_);
        if (player != player_.get()) return;
        playing_ = paused_ = preloaded_ = false;
        if (autoPreload_) {
            preloaded_ = player_->prepareToPlay();
            if (!preloaded_) {
                OALTools::logError("-[OALAudioTrack audioPlayerDidFinishPlaying:successfully:]",
                                   "%s: Failed to prepareToPlay: %s", description().c_str(), currentlyLoadedUrl_.c_str());
            }
        }
        delegate = delegate_;
    }
    if (delegate) delegate->audioPlayerDidFinishPlaying(player, successfully);
    post(kOALAudioTrackFinishedPlayingNotification);
}

void OALAudioTrack::audioPlayerDecodeErrorDidOccur(OALAudioPlayer* player, const RefPtr<Error>& error) {
    OALAudioPlayerDelegate* delegate;
    {
        std::lock_guard lock(mutex_);
        if (player != player_.get()) return;
        delegate = delegate_;
    }
    if (delegate) delegate->audioPlayerDecodeErrorDidOccur(player, error);
}

float OALAudioTrack::floatProperty(const std::string& key) const {
    if (key == "gain") return gain();
    CC_REQUIRE(key == "pan", "NSUnknownKeyException", "OALAudioTrack has no float property \"%s\"", key.c_str());
    return pan();
}

void OALAudioTrack::setFloatProperty(const std::string& key, float value) {
    if (key == "gain") return setGain(value);
    CC_REQUIRE(key == "pan", "NSUnknownKeyException", "OALAudioTrack has no float property \"%s\"", key.c_str());
    setPan(value);
}

ALXYZ OALAudioTrack::position() const {
    return {pan(), 0, 0};
}

void OALAudioTrack::setPosition(ALXYZ position) {
    setPan(position.x);
}

std::string OALAudioTrack::description() const {
    std::lock_guard lock(mutex_);
    return stringWithFormat("<%s: %p: %s>", className(*this).c_str(), static_cast<const void*>(this),
                            lastPathComponent(currentlyLoadedUrl_).c_str());
}

void OALAudioTrack::configure(OALAudioPlayer& player) {
    player.setVolume(muted_ ? 0 : gain_);
    player.setNumberOfLoops(numberOfLoops_);
    player.setMeteringEnabled(meteringEnabled_);
    player.setDelegate(this);
    player.setPan(pan_);
}

void OALAudioTrack::releasePlayer() {
    if (!player_) return;
    player_->setDelegate(nullptr);
    player_->stop();
    player_.reset();
}

void OALAudioTrack::post(const char* notification) {
    RunLoop::main().performBlock([track = RefPtr<OALAudioTrack>(this), notification] {
        NotificationCenter::defaultCenter().postNotification(notification, track.get());
    });
}
