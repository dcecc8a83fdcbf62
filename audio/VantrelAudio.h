#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/foundation/Object.h"

class ALChannelSource;
class OALAudioSession;
class OALAudioTrack;
class OALSimpleAudio;

// The game's one entry to sound: one music track switched with 0.5 s fades, five effect channels
// with fixed numbers of sources, and the game's pause, game over and ducking. Effects are loaded
// through simpleAudio()'s cache and played on a channel by their callers.
//
// Called on the engine thread, except duckAudio and unduckAudio, which the application's
// activation changes send from the main thread and which touch only objects that lock themselves.
// The fade callbacks come from the audio action manager's timer, on the thread that started the
// first audio action (the engine thread in the game). The front takes no lock of its own. Between
// destroyAudio and initAudio every operation does nothing and the accessors answer null.
class VantrelAudio : public Object {
public:
    // The game's front, set up on first use and kept for the life of the program.
    static VantrelAudio* sharedInstance();

    // Sets up at once (initAudio). The game uses sharedInstance(); tests make their own and tear
    // them down with destroyAudio().
    VantrelAudio();

    // Sets up the shared facade (no effect sources of its own) and session, the track and the
    // channels; destroyAudio releases them and purges the shared facade and session; resetAudio
    // does both.
    void initAudio();
    void destroyAudio();
    void resetAudio();

    // Plays `filePath` on the track `loops` + 1 times (negative: until stopped) at `volume` (0..1).
    // With `fadeCurrent` while the track plays: another file starts only after the playing one has
    // faded out over 0.5 s (the last request made meanwhile wins); the same file fades to `volume`
    // over 0.5 s instead, and at exactly that volume already nothing changes. Without it, any fade
    // stops and the file starts at once.
    void playTrack(const std::string& filePath, bool isMusic, bool fadeCurrent, int64_t loops, float volume);
    // While the track plays: fades it out over 0.5 s, then clears it and sets its volume back to 1.
    void fadeTrackAndStop();
    // The ends of those two fades.
    void onPlayTrackFadeTrackOutComplete(OALAudioTrack* track);
    void onFadeTrackAndStopFadeTrackOutComplete(OALAudioTrack* track);

    // Pause and resume the track and every channel but the interface one, whose sounds the pause
    // menu needs.
    void onGamePause();
    void onGameResume();
    // Resumes a paused track, and stops and unpauses every channel but the interface one.
    void onGameOver();

    // Silences every effect (the effects volume, 0) and pauses the track; unducking restores volume
    // 1 and resumes the track, whatever the levels were before.
    void duckAudio();
    void unduckAudio();

    // Stops every effect and takes the buffers off the sources; the decoded buffers stay cached.
    void purgeCachedBuffers();

    // The shared session and facade (not owned), the track and the channels.
    OALAudioSession* audioSession() const { return audioSession_; }
    OALSimpleAudio* simpleAudio() const { return simpleAudio_; }
    OALAudioTrack* audioTrack() const { return audioTrack_.get(); }
    // Interface sounds: 2 sources, interruptible.
    ALChannelSource* interfaceChannel() const { return interfaceChannel_.get(); }
    // The player's loops: 2 sources that are never cut off, so a third sound does not play.
    ALChannelSource* playerLoopChannel1() const { return playerLoopChannel1_.get(); }
    // The player's loops: 2 sources, interruptible.
    ALChannelSource* playerLoopChannel2() const { return playerLoopChannel2_.get(); }
    // The player's event sounds: 1 source, interruptible.
    ALChannelSource* playerEventChannel1() const { return playerEventChannel1_.get(); }
    // Sound effects of game objects: 25 sources, interruptible.
    ALChannelSource* generalChannel() const { return generalChannel_.get(); }

private:
    // The four channels the game pauses and stops.
    std::array<ALChannelSource*, 4> gameChannels() const;

    OALAudioSession* audioSession_ = nullptr;  // shared, not owned
    OALSimpleAudio* simpleAudio_ = nullptr;    // shared, not owned
    RefPtr<OALAudioTrack> audioTrack_;
    RefPtr<ALChannelSource> interfaceChannel_;
    RefPtr<ALChannelSource> playerLoopChannel1_;
    RefPtr<ALChannelSource> playerLoopChannel2_;
    RefPtr<ALChannelSource> playerEventChannel1_;
    RefPtr<ALChannelSource> generalChannel_;
    // The track asked for last, started when a fade-out ends.
    std::string nextAudioTrackFilePath_;
    int64_t nextAudioTrackLoops_ = 0;
    float nextAudioTrackVolume_ = 1.0f;
    bool nextAudioTrackIsMusic_ = false;
};
