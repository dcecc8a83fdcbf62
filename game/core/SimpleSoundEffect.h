#pragma once

#include <string>

#include "game/core/LevelDataRange.h"
#include "platform/foundation/Object.h"

class Value;

namespace game {

class SoundEffectOutput;

// A one-shot sound with a random volume, pitch and pan, preloaded when built and played on the
// general channel of the sound output (SoundEffectOutput), which keeps the loaded sound with the
// effect (the decoded buffer, for the audio front). Immutable; every play draws afresh.
//
// Keys: "sound_name" (resource name without ".wav"), "volume" or its pair (default 0: silent),
// "pitch" or its pair (default 1), "pan" or its pair (default 0). A sound that cannot be loaded
// (no name, no file) logs one line when built and then plays nothing; without a sound device
// nothing loads and nothing is logged.
class SimpleSoundEffect : public Object {
public:
    // Null for a missing dictionary.
    static RefPtr<SimpleSoundEffect> simpleSoundEffectWithDictionary(const Value& data);
    static RefPtr<SimpleSoundEffect> simpleSoundEffect(const std::string& soundName, float volumeMin, float volumeMax,
                                                       float pitchMin, float pitchMax, float panMin, float panMax);

    // Draws volume, pitch and pan (in that order) and plays once, without loop.
    void play() const;
    // The given values are used; only the others are drawn, in the same order.
    void play(float volume) const;
    void play(float volume, float pitch) const;
    void play(float volume, float pitch, float pan) const;
    void playAt(float pan) const;
    void playAt(float pan, float volume) const;

    const std::string& soundName() const { return soundName_; }
    bool isLoaded() const { return sound_ != nullptr; }

private:
    SimpleSoundEffect() = default;

    std::string soundName_;
    std::string path_;                  // full path of "<name>.wav"
    RefPtr<Object> sound_;              // what the output kept when it loaded the file; null: silent
    SoundEffectOutput* output_ = nullptr;  // that output; another one since then plays by path
    LevelDataRange volume_;     // gain
    LevelDataRange pitch_;
    LevelDataRange pan_;        // -1 left to 1 right
};

}  // namespace game
