#include "audio/OALAudioSession.h"

namespace {

template <typename Value>
Value readLocked(std::mutex& mutex, const Value& field) {
    std::lock_guard lock(mutex);
    return field;
}

template <typename Value>
void writeLocked(std::mutex& mutex, Value& field, Value value) {
    std::lock_guard lock(mutex);
    field = std::move(value);
}

}  // namespace

std::string OALAudioSession::audioSessionCategory() const { return readLocked(mutex_, audioSessionCategory_); }
void OALAudioSession::setAudioSessionCategory(const std::string& category) { writeLocked(mutex_, audioSessionCategory_, category); }
bool OALAudioSession::handleInterruptions() const { return readLocked(mutex_, handleInterruptions_); }
void OALAudioSession::setHandleInterruptions(bool value) { writeLocked(mutex_, handleInterruptions_, value); }
bool OALAudioSession::allowIpod() const { return readLocked(mutex_, allowIpod_); }
void OALAudioSession::setAllowIpod(bool value) { writeLocked(mutex_, allowIpod_, value); }
bool OALAudioSession::ipodDucking() const { return readLocked(mutex_, ipodDucking_); }
void OALAudioSession::setIpodDucking(bool value) { writeLocked(mutex_, ipodDucking_, value); }
bool OALAudioSession::useHardwareIfAvailable() const { return readLocked(mutex_, useHardwareIfAvailable_); }
void OALAudioSession::setUseHardwareIfAvailable(bool value) { writeLocked(mutex_, useHardwareIfAvailable_, value); }
bool OALAudioSession::honorSilentSwitch() const { return readLocked(mutex_, honorSilentSwitch_); }
void OALAudioSession::setHonorSilentSwitch(bool value) { writeLocked(mutex_, honorSilentSwitch_, value); }
float OALAudioSession::preferredIOBufferDuration() const { return readLocked(mutex_, preferredIOBufferDuration_); }
void OALAudioSession::setPreferredIOBufferDuration(float seconds) { writeLocked(mutex_, preferredIOBufferDuration_, seconds); }
bool OALAudioSession::audioSessionActive() const { return readLocked(mutex_, audioSessionActive_); }
void OALAudioSession::setAudioSessionActive(bool value) { writeLocked(mutex_, audioSessionActive_, value); }

void OALAudioSession::setSuspended(bool suspended) {
    std::lock_guard lock(mutex_);
    if (suspended) {
        audioSessionWasActive_ = audioSessionActive_;
        audioSessionActive_ = false;
    } else if (audioSessionWasActive_) {
        audioSessionActive_ = true;
    }
}
