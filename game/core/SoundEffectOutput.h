#pragma once

#include <string>

#include "platform/foundation/Object.h"

namespace game {

// Where the sound effects of game objects go. The game's is the audio front: the facade's effect
// cache (decoded buffers stay there for the life of the program) and the front's general
// channel. Tests put a recorder in its place. Engine thread only.
class SoundEffectOutput {
public:
    virtual ~SoundEffectOutput() = default;

    // Decodes the file (a full path) into the cache; false when it cannot be loaded.
    virtual bool preloadEffect(const std::string& path) = 0;
    // Plays a preloaded file once, without loop: gain 0 and up, pitch 1 unchanged, pan -1 to 1.
    virtual void playEffect(const std::string& path, float gain, float pitch, float pan) = 0;

    // What a sound effect keeps to play a file again, or null when it cannot be loaded. Here the
    // path, played through playEffect; the audio front keeps the decoded buffer itself, so that a
    // play neither looks the file up nor, after the shared cache was emptied, decodes it again.
    virtual RefPtr<Object> keepEffect(const std::string& path);
    virtual void playKept(Object& sound, float gain, float pitch, float pan);
    // True when nothing can sound at all (no sound device): then nothing loads, and a sound that
    // did not load says nothing about the level's data.
    virtual bool isSilent() const { return false; }

    // The output in use: the audio front unless one was set.
    static SoundEffectOutput* current();
    // Not owned; null goes back to the audio front.
    static void setCurrent(SoundEffectOutput* output);
};

}  // namespace game
