#pragma once

#include <mutex>
#include <vector>

#include "audio/OALSharedInstance.h"
#include "audio/OALSuspendManager.h"
#include "platform/foundation/Object.h"
#include "platform/foundation/RunLoopTimer.h"

class OALAudioTrack;

// The registry of live music tracks: mutes and pauses them together, and hangs below the audio
// session in the suspend tree with the tracks below it. A repeating 1 s timer on the run loop of
// the thread that made the registry polls the first track's device clock.
class OALAudioTracks : public Object, public OALSuspendManager {
public:
    static OALAudioTracks* sharedInstance() { return OALSharedInstance<OALAudioTracks>::get(); }
    // Drops the shared instance (tracks still alive keep it until they go); the next
    // sharedInstance() makes a fresh one.
    static void purgeSharedInstance() { OALSharedInstance<OALAudioTracks>::purge(); }

    // The live tracks in the order they were made; not retained.
    std::vector<OALAudioTrack*> tracks() const;

    // Stored and handed to every track, in order; ignored while the registry is suspended. A new
    // track takes the registry's muted value.
    bool muted() const;
    void setMuted(bool muted);
    bool paused() const;
    void setPaused(bool paused);
    void stopAllTracks();

    // Tracks join on creation and leave in their destructor (not retained).
    void notifyTrackInitializing(OALAudioTrack* track);
    void notifyTrackDeallocating(OALAudioTrack* track);

    // Reads the first track's deviceCurrentTime, which keeps the music device's clock in use.
    void pollDeviceTime();

private:
    friend class OALSharedInstance<OALAudioTracks>;
    OALAudioTracks();
    ~OALAudioTracks() override;

    // Guards the list and the two flags; tracks are called with it held, so a track that leaves
    // waits for a walk over it to end.
    mutable std::recursive_mutex tracksMutex_;
    std::vector<OALAudioTrack*> tracks_;  // not retained
    bool muted_ = false;
    bool paused_ = false;
    RefPtr<RunLoopTimer> deviceTimePoller_;  // its block holds the registry by plain pointer
};
