#pragma once

// A node of the audio suspend tree as its parent sees it. A node is suspended by hand, interrupted
// by the platform, or both; either makes it suspended.
class OALSuspendListener {
public:
    virtual bool manuallySuspended() const = 0;
    virtual void setManuallySuspended(bool manuallySuspended) = 0;
    virtual bool interrupted() const = 0;
    virtual void setInterrupted(bool interrupted) = 0;

protected:
    ~OALSuspendListener() = default;
};
