#pragma once

// What a source and a channel of sources share. A context keeps the sources made on it (not
// retained) and stops or clears them all through this interface.
class ALSoundSource {
public:
    // Stops playing; ignored while suspended.
    virtual void stop() = 0;
    // Lifts a manual suspension, stops, and lets go of the buffer.
    virtual void clear() = 0;

protected:
    ~ALSoundSource() = default;
};
