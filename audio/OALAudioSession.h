#pragma once

#include <mutex>
#include <string>

#include "audio/OALSharedInstance.h"
#include "audio/OALSuspendManager.h"
#include "platform/foundation/Object.h"

// The root of the audio suspend tree, and the audio-session settings. The desktop has no audio
// session: the settings are stored and reported but steer nothing, nothing here is ever
// interrupted, and no other player's audio is ever playing.
class OALAudioSession : public Object, public OALSuspendManager {
public:
    static OALAudioSession* sharedInstance() { return OALSharedInstance<OALAudioSession>::get(); }
    // Drops the shared instance; the next sharedInstance() makes a fresh one with default settings.
    static void purgeSharedInstance() { OALSharedInstance<OALAudioSession>::purge(); }

    // Stored settings (defaults: category "", handleInterruptions, allowIpod, ipodDucking false,
    // useHardwareIfAvailable true, honorSilentSwitch false, preferred I/O buffer 0 s).
    std::string audioSessionCategory() const;
    void setAudioSessionCategory(const std::string& category);
    bool handleInterruptions() const;
    void setHandleInterruptions(bool value);
    bool allowIpod() const;
    void setAllowIpod(bool value);
    bool ipodDucking() const;
    void setIpodDucking(bool value);
    bool useHardwareIfAvailable() const;
    void setUseHardwareIfAvailable(bool value);
    bool honorSilentSwitch() const;
    void setHonorSilentSwitch(bool value);
    float preferredIOBufferDuration() const;
    void setPreferredIOBufferDuration(float seconds);

    // True from creation; false while the tree is suspended, and true again afterwards when it was
    // active before.
    bool audioSessionActive() const;
    void setAudioSessionActive(bool value);

    // Fixed answers of the desktop: no other player, no hardware mute or volume, no route.
    bool ipodPlaying() const { return false; }
    bool hardwareMuted() const { return false; }
    float hardwareVolume() const { return 0; }
    std::string audioRoute() const { return ""; }

    // Interruptions never start here: always false, and setting does nothing.
    bool interrupted() const override { return false; }
    void setInterrupted(bool) override {}
    void forceEndInterruption() {}

    void setSuspended(bool suspended) override;

private:
    friend class OALSharedInstance<OALAudioSession>;
    OALAudioSession() = default;

    mutable std::mutex mutex_;
    std::string audioSessionCategory_;
    bool handleInterruptions_ = false;
    bool allowIpod_ = false;
    bool ipodDucking_ = false;
    bool useHardwareIfAvailable_ = true;
    bool honorSilentSwitch_ = false;
    bool audioSessionWasActive_ = false;  // audioSessionActive_ when the tree was suspended
    bool audioSessionActive_ = true;
    float preferredIOBufferDuration_ = 0;  // seconds
};
