#pragma once

#include "audio/OALSuspendHandler.h"

// A node of the audio suspend tree that has children of its own: it keeps an OALSuspendHandler and
// answers the node operations through it. The handler calls setSuspended when the node's combined
// state flips; nodes that only pass suspension on leave it as it is.
class OALSuspendManager : public OALSuspendListener {
public:
    // Children, not retained; see OALSuspendHandler.
    void addSuspendListener(OALSuspendListener* listener) { suspendHandler_.addSuspendListener(listener); }
    void removeSuspendListener(OALSuspendListener* listener) { suspendHandler_.removeSuspendListener(listener); }

    bool manuallySuspended() const override { return suspendHandler_.manuallySuspended(); }
    void setManuallySuspended(bool manuallySuspended) override { suspendHandler_.setManuallySuspended(manuallySuspended); }
    bool interrupted() const override { return suspendHandler_.interrupted(); }
    void setInterrupted(bool interrupted) override { suspendHandler_.setInterrupted(interrupted); }
    bool suspended() const { return suspendHandler_.suspended(); }

    // The handler's change operation: the node's combined state became `suspended`.
    virtual void setSuspended(bool suspended) { (void)suspended; }

protected:
    OALSuspendManager() : suspendHandler_([this](bool suspended) { setSuspended(suspended); }) {}
    ~OALSuspendManager() = default;

    OALSuspendHandler suspendHandler_;
};
