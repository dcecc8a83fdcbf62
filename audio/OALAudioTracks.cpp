#include "audio/OALAudioTracks.h"

#include <algorithm>

#include "audio/OALAudioSession.h"
#include "audio/OALAudioTrack.h"
#include "platform/foundation/RunLoop.h"

namespace {

constexpr double kPollInterval = 1.0;  // seconds
constexpr size_t kTrackCapacity = 10;

}  // namespace

OALAudioTracks::OALAudioTracks() {
    tracks_.reserve(kTrackCapacity);
    OALAudioSession::sharedInstance()->addSuspendListener(this);
    deviceTimePoller_ = RunLoop::current().scheduleTimer(kPollInterval, true, [this] { pollDeviceTime(); });
}

OALAudioTracks::~OALAudioTracks() {
    OALAudioSession::sharedInstance()->removeSuspendListener(this);
    deviceTimePoller_->invalidate();
}

std::vector<OALAudioTrack*> OALAudioTracks::tracks() const {
    std::lock_guard lock(tracksMutex_);
    return tracks_;
}

bool OALAudioTracks::muted() const {
    std::lock_guard lock(tracksMutex_);
    return muted_;
}

void OALAudioTracks::setMuted(bool muted) {
    std::lock_guard lock(tracksMutex_);
    if (suspended()) return;
    muted_ = muted;
    for (OALAudioTrack* track : tracks_) track->setMuted(muted);
}

bool OALAudioTracks::paused() const {
    std::lock_guard lock(tracksMutex_);
    return paused_;
}

void OALAudioTracks::setPaused(bool paused) {
    std::lock_guard lock(tracksMutex_);
    if (suspended()) return;
    paused_ = paused;
    for (OALAudioTrack* track : tracks_) track->setPaused(paused);
}

void OALAudioTracks::stopAllTracks() {
    std::lock_guard lock(tracksMutex_);
    for (OALAudioTrack* track : tracks_) track->stop();
}

void OALAudioTracks::notifyTrackInitializing(OALAudioTrack* track) {
    std::lock_guard lock(tracksMutex_);
    track->setMuted(muted_);
    tracks_.push_back(track);
}

void OALAudioTracks::notifyTrackDeallocating(OALAudioTrack* track) {
    std::lock_guard lock(tracksMutex_);
    std::erase(tracks_, track);
}

void OALAudioTracks::pollDeviceTime() {
    std::lock_guard lock(tracksMutex_);
    if (!tracks_.empty()) tracks_.front()->deviceCurrentTime();
}
