#pragma once

// A position, velocity, direction or offset in OpenAL's coordinates: right-handed, x to the right,
// y up, z towards the listener; units are whatever the game's distances use.
struct ALXYZ {
    float x = 0;
    float y = 0;
    float z = 0;

    bool operator==(const ALXYZ&) const = default;
};

// The listener's orientation: the direction it faces ("at") and its up direction, in that order as
// OpenAL takes them (six floats).
struct ALOrientation {
    ALXYZ at;
    ALXYZ up;

    bool operator==(const ALOrientation&) const = default;
};
