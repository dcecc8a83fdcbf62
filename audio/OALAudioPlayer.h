#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "platform/foundation/Error.h"
#include "platform/foundation/Object.h"

class OALAudioPlayer;

// What a music player tells its owner, on the main thread. Both calls default to doing nothing.
class OALAudioPlayerDelegate {
public:
    // The file played to its end (every loop done, or a seek while playing left nothing to play),
    // or stopped early on a decoding error or a seek the decoder refused while playing
    // (`successfully` false). The player is stopped and back at position 0 by then.
    virtual void audioPlayerDidFinishPlaying(OALAudioPlayer* player, bool successfully) {
        (void)player, (void)successfully;
    }
    // The decoder failed in the middle of the file; playback ends after what was already decoded.
    virtual void audioPlayerDecodeErrorDidOccur(OALAudioPlayer* player, const RefPtr<Error>& error) {
        (void)player, (void)error;
    }

protected:
    ~OALAudioPlayerDelegate() = default;
};

// A player of one sound file, as music tracks use it: open, prepare, play now or at a device-clock
// time, pause, stop, and the properties below. All operations are safe from any thread; the
// delegate is called on the main run loop, never from inside an operation.
class OALAudioPlayer : public Object {
public:
    // Makes a player for a file address; null, with the reason in `*error` (when not null), when
    // the file cannot be opened or there is no audio device to play on.
    using Factory = std::function<RefPtr<OALAudioPlayer>(const std::string& url, RefPtr<Error>* error)>;

    // A player from the current factory: our streaming player unless tests installed another.
    static RefPtr<OALAudioPlayer> playerWithUrl(const std::string& url, RefPtr<Error>* error);
    // Replaces the factory; an empty one restores the streaming player.
    static void setFactory(Factory factory);

    // Readies playback from the current position so that play() starts at once; false when the
    // sound cannot be readied. play() prepares by itself when needed.
    virtual bool prepareToPlay() = 0;
    // Starts, or resumes after pause(), from the current position; false when it cannot start.
    virtual bool play() = 0;
    // As play(), but sound begins when deviceCurrentTime() reaches `deviceTime` (at once when it
    // has passed). playing() is true from the call.
    virtual bool playAtTime(double deviceTime) = 0;
    // Holds the position; play() resumes from it.
    virtual void pause() = 0;
    // Ends playback and lets go of what prepareToPlay() readied; the position stays.
    virtual void stop() = 0;
    // True while started and neither paused, stopped nor finished.
    virtual bool playing() const = 0;

    // 0 silent to 1 the file's level (more amplifies); applies at once, also while playing.
    virtual float volume() const = 0;
    virtual void setVolume(float volume) = 0;
    // -1 left to 1 right, 0 centred.
    virtual float pan() const = 0;
    virtual void setPan(float pan) = 0;
    // Extra plays after the first: 0 plays once, n plays n + 1 times, negative loops until stopped.
    // Set while playing, it counts from the pass playing then: 0 ends the sound at that pass's end.
    // At the very end of a pass (after a seek to duration(), say) the pass playing is the one that
    // ends there, so a count set then counts only the passes after it, as a count set before the
    // seek would: 0 plays nothing more, 2 plays the file twice.
    virtual int64_t numberOfLoops() const = 0;
    virtual void setNumberOfLoops(int64_t loops) = 0;
    // Seconds into the file, 0 to duration(); setting seeks, also while playing. A seek that leaves
    // nothing to play (duration() with no loops left) ends a playing sound as the file's end does;
    // paused or prepared, play() then has nothing to start and answers false.
    virtual double currentTime() const = 0;
    virtual void setCurrentTime(double seconds) = 0;
    // Seconds of a clock shared by all players, for playAtTime().
    virtual double deviceCurrentTime() const = 0;
    // Seconds of the whole file as its header reports it.
    virtual double duration() const = 0;
    // Channels of the file.
    virtual uint64_t numberOfChannels() const = 0;

    // Levels of what is playing now, in dB full scale: 0 the loudest, -160 silence. They change
    // only on updateMeters() and only while metering is enabled.
    virtual bool meteringEnabled() const = 0;
    virtual void setMeteringEnabled(bool enabled) = 0;
    virtual void updateMeters() = 0;
    virtual float averagePowerForChannel(uint64_t channel) const = 0;
    virtual float peakPowerForChannel(uint64_t channel) const = 0;

    // Receives the callbacks; not retained. Clear it before the delegate goes: a callback already
    // on its way is then dropped.
    OALAudioPlayerDelegate* delegate() const;
    void setDelegate(OALAudioPlayerDelegate* delegate);

protected:
    OALAudioPlayer();
    ~OALAudioPlayer() override;

    // Post the delegate call to the main run loop; dropped when, by the time it runs, the player
    // has gone or its delegate was cleared.
    void postDidFinishPlaying(bool successfully);
    void postDecodeError(RefPtr<Error> error);

private:
    // What a posted callback needs, shared with it so that it can outlive the player.
    struct Link {
        std::mutex mutex;
        OALAudioPlayer* player;                       // null once the player is destroyed
        OALAudioPlayerDelegate* delegate = nullptr;  // not retained
    };

    void post(std::function<void(OALAudioPlayer*, OALAudioPlayerDelegate*)> call);

    const std::shared_ptr<Link> link_;
};
