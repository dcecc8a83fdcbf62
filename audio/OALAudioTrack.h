#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "audio/OALActionTarget.h"
#include "audio/OALAudioPlayer.h"
#include "audio/OALSuspendManager.h"
#include "platform/foundation/Object.h"

class OALAction;
class OALAudioTracks;
class OALPropertyAction;
class SerialQueue;

// Posted on the main thread, without waiting, with the track as the object.
inline constexpr const char* kOALAudioTrackSourceChangedNotification = "OALAudioTrackSourceChangedNotification";
inline constexpr const char* kOALAudioTrackStartedPlayingNotification = "OALAudioTrackStartedPlayingNotification";
inline constexpr const char* kOALAudioTrackStoppedPlayingNotification = "OALAudioTrackStoppedPlayingNotification";
inline constexpr const char* kOALAudioTrackFinishedPlayingNotification = "OALAudioTrackFinishedPlayingNotification";

// One music track: a file played through an OALAudioPlayer, with the track's own gain, pan, loop
// count, mute and pause state kept across players (a new file, or a player rebuilt after a
// suspension). States: empty (no player), loaded (preloaded), playing, paused (playing and
// paused), stopped (player kept, back at 0) and finished (as stopped, after the file's end).
//
// Every operation takes the track's recursive lock; loads and plays can also run one at a time on
// the track's own queue. Fades and pans run as audio actions. The track lives in the shared
// OALAudioTracks registry and below it in the suspend tree.
class OALAudioTrack : public Object,
                      public OALSuspendManager,
                      public OALActionTarget,
                      public OALAudioPlayerDelegate {
public:
    // Called with the track: on the main thread after an asynchronous load or play; on the action
    // manager's thread when a fade or pan reaches its end.
    using Callback = std::function<void(OALAudioTrack* track)>;

    // An empty track, registered with the shared OALAudioTracks and muted when it is.
    static RefPtr<OALAudioTrack> track();
    OALAudioTrack();

    // Loads a file address (or a path, relative ones from OALTools::defaultBundle()) and readies it
    // at `seekTime` seconds, stopping what played. False, after one error line, for an empty
    // address or when the file cannot be played; the track is then empty.
    bool preloadUrl(const std::string& url, double seekTime = 0);
    bool preloadFile(const std::string& path, double seekTime = 0);
    // The same on the track's queue; answers false at once and calls back when done (read the
    // outcome from the track).
    bool preloadUrlAsync(const std::string& url, double seekTime, Callback callback);
    bool preloadUrlAsync(const std::string& url, Callback callback);
    bool preloadFileAsync(const std::string& path, double seekTime, Callback callback);
    bool preloadFileAsync(const std::string& path, Callback callback);

    // Loads and plays from the start; `loops` as numberOfLoops.
    bool playUrl(const std::string& url, int64_t loops = 0);
    bool playFile(const std::string& path, int64_t loops = 0);
    // The same on the track's queue, calling back when done.
    void playUrlAsync(const std::string& url, int64_t loops, Callback callback);
    void playUrlAsync(const std::string& url, Callback callback);
    void playFileAsync(const std::string& path, int64_t loops, Callback callback);
    void playFileAsync(const std::string& path, Callback callback);

    // Plays the loaded file from the stored position (the last seek or setCurrentTime(), not where
    // a pause left it: setPaused(false) resumes). False when there is nothing to play.
    bool play();
    // As play(), sound beginning at a time of deviceCurrentTime()'s clock.
    bool playAtTime(double deviceTime);
    // Starts when `track` ends, `timeAdjust` seconds later (earlier when negative).
    bool playAfterTrack(OALAudioTrack* track, double timeAdjust = 0);

    // Stops and goes back to 0, keeping the player so that play() works again.
    void stop();
    // Drops the player and the file, unmutes and goes back to 0; gain and preloaded stay.
    void clear();
    // Fades and pans stop where they are, without their callbacks.
    void stopActions();
    void stopFade();
    void stopPan();

    // The gain (or pan) moves linearly to `value` over `duration` seconds, stepped by the shared
    // OALActionManager; then `onComplete` (may be empty) runs with the track. Starting one stops
    // the previous one of its kind.
    void fadeTo(float value, float duration, Callback onComplete);
    void panTo(float value, float duration, Callback onComplete);

    // 0 and up, 1.0 at creation; the player gets 0 while muted. Volume is the gain.
    float gain() const;
    void setGain(float gain);
    float volume() const { return gain(); }
    void setVolume(float volume) { setGain(volume); }
    // -1 left to 1 right.
    float pan() const;
    void setPan(float pan);
    // Muting also stops fades and pans; the gain comes back on unmuting.
    bool muted() const;
    void setMuted(bool muted);
    // Pausing holds a playing track; unpausing resumes it. Setting the current value does nothing.
    bool paused() const;
    void setPaused(bool paused);
    // Extra plays after the first: n plays n + 1 times, negative until stopped.
    int64_t numberOfLoops() const;
    void setNumberOfLoops(int64_t loops);
    // Seconds: the player's position when there is a player, else the stored one.
    double currentTime() const;
    void setCurrentTime(double seconds);
    // Handed to every player the track makes.
    bool meteringEnabled() const;
    void setMeteringEnabled(bool enabled);
    // Prepare the player again after it played to its end.
    bool autoPreload() const;
    void setAutoPreload(bool autoPreload);
    // Gets the player's end and decode-error calls on the main thread; not retained.
    OALAudioPlayerDelegate* delegate() const;
    void setDelegate(OALAudioPlayerDelegate* delegate);

    bool playing() const;
    bool preloaded() const;
    RefPtr<OALAudioPlayer> player() const;
    // The file address of the last successful load; "" for none.
    std::string currentlyLoadedUrl() const;
    // From the player; 0 without one.
    double deviceCurrentTime() const;
    double duration() const;
    uint64_t numberOfChannels() const;

    // Levels in dB from the player (see OALAudioPlayer); 0 without one, like every reading.
    void updateMeters();
    float averagePowerForChannel(uint64_t channel) const;
    float peakPowerForChannel(uint64_t channel) const;

    // The suspend handler's change: suspending keeps the position and stops the player; resuming
    // rebuilds it and plays (and pauses) again as before.
    void setSuspended(bool suspended) override;

    // The player's end: the track is finished; then the delegate hears of it and
    // OALAudioTrackFinishedPlayingNotification is posted. Calls from a player the track no longer
    // uses are ignored.
    void audioPlayerDidFinishPlaying(OALAudioPlayer* player, bool successfully) override;
    void audioPlayerDecodeErrorDidOccur(OALAudioPlayer* player, const RefPtr<Error>& error) override;

    // "gain" and "pan"; the position's x is the pan.
    float floatProperty(const std::string& key) const override;
    void setFloatProperty(const std::string& key, float value) override;
    ALXYZ position() const override;
    void setPosition(ALXYZ position) override;

    // "<OALAudioTrack: 0x...: file name>"
    std::string description() const override;

protected:
    ~OALAudioTrack() override;

private:
    // Each needs the lock held.
    // Hands the track's settings to a new player.
    void configure(OALAudioPlayer& player);
    // Clears the player's delegate and drops it.
    void releasePlayer();
    bool start(const std::function<bool(OALAudioPlayer&)>& startPlayer);
    void runAction(RefPtr<OALAction>& slot, RefPtr<OALPropertyAction> change, Callback onComplete);
    void post(const char* notification);
    void preloadAsync(std::string url, double seekTime, bool play, int64_t loops, Callback callback);

    mutable std::recursive_mutex mutex_;
    RefPtr<OALAudioPlayer> player_;  // null while empty
    std::string currentlyLoadedUrl_;
    bool meteringEnabled_ = false;
    bool preloaded_ = false;
    bool autoPreload_ = false;
    bool paused_ = false;
    bool muted_ = false;
    bool playing_ = false;
    float gain_ = 1.0f;     // 0 and up
    float pan_ = 0;         // -1..1
    int64_t numberOfLoops_ = 0;
    double currentTime_ = 0;  // seconds; the stored position
    OALAudioPlayerDelegate* delegate_ = nullptr;  // not retained
    RefPtr<OALAction> gainAction_;
    RefPtr<OALAction> panAction_;
    RefPtr<OALAudioTracks> registry_;  // the one the track joined, kept until it leaves
    std::unique_ptr<SerialQueue> operationQueue_;  // loads and plays, one at a time
};
