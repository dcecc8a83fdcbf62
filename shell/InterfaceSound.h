#pragma once

#include "platform/foundation/Object.h"

class ALBuffer;
class ALChannelSource;

// The interface click ("interface.wav") on the audio front's interface channel, at gain 1 and
// pitch 1, never looping: what the HUD, the menu and the transition scene play for a button.
//
// Engine thread only.
class InterfaceSound {
public:
    InterfaceSound();
    ~InterfaceSound();

    // Loads the click through the shared effect cache (which logs a file it cannot load) and takes
    // the interface channel.
    void load();
    // pan: -1 left to 1 right. Silent before load() or when the click could not be loaded.
    void play(float pan) const;

    ALBuffer* buffer() const { return buffer_.get(); }
    ALChannelSource* channel() const { return channel_.get(); }

private:
    RefPtr<ALBuffer> buffer_;  // null when not loaded
    RefPtr<ALChannelSource> channel_;
};
