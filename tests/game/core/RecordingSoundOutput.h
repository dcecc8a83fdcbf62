#pragma once

#include <string>
#include <vector>

#include "game/core/SoundEffectOutput.h"

// Takes the place of the audio front and notes every sound loaded and played.
class RecordingSoundOutput : public game::SoundEffectOutput {
public:
    struct Played {
        std::string path;
        float gain, pitch, pan;
    };

    RecordingSoundOutput() { SoundEffectOutput::setCurrent(this); }
    ~RecordingSoundOutput() override { SoundEffectOutput::setCurrent(nullptr); }

    bool preloadEffect(const std::string& path) override {
        loaded.push_back(path);
        return path.find("missing") == std::string::npos;
    }
    void playEffect(const std::string& path, float gain, float pitch, float pan) override {
        played.push_back({path, gain, pitch, pan});
    }
    bool isSilent() const override { return silent; }
    // How many plays of "<name>.wav" there were.
    int count(const std::string& name) const {
        int plays = 0;
        for (const Played& p : played) plays += p.path.size() >= name.size() + 4 &&
                                                p.path.compare(p.path.size() - name.size() - 4, name.size(), name) == 0;
        return plays;
    }

    std::vector<std::string> loaded;
    std::vector<Played> played;
    bool silent = false;  // as without a sound device
};
