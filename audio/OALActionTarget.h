#pragma once

#include <string>

#include "audio/ALTypes.h"

// What audio actions change over time: a sound source or a music track.
//
// Actions and the action manager hold a target by plain pointer and never retain it; a target stops
// its own actions before it goes away. The manager calls these from its timer's thread without
// holding its own lock, so a target may take its own lock here and may start or stop actions.
class OALActionTarget {
public:
    // The float property named `key`: "gain" (0 and up), "pan" (-1 left to 1 right) or "pitch"
    // (1 is unchanged). A key the target does not have is a programming error and throws
    // NamedException "NSUnknownKeyException".
    virtual float floatProperty(const std::string& key) const = 0;
    virtual void setFloatProperty(const std::string& key, float value) = 0;

    // Position in OpenAL coordinates, for place and move actions.
    virtual ALXYZ position() const = 0;
    virtual void setPosition(ALXYZ position) = 0;

protected:
    ~OALActionTarget() = default;
};
