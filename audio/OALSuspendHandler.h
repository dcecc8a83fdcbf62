#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <vector>

#include "audio/OALSuspendListener.h"

// One node's suspension: its two locks (by hand, by interruption), its children, and the call to
// its owner when the combined state flips.
//
// Suspending by hand reaches every child that is not already suspended by hand, and lifting it
// resumes (last child first) only the children this handler suspended: a child suspended by hand
// before its parent stays suspended. Interruptions pass down and back without being remembered.
//
// Children are not retained: a child removes itself before it is destroyed. Every operation holds
// the handler's recursive lock while it calls children and the owner, so a suspension crossing the
// tree takes the locks parent first.
class OALSuspendHandler : public OALSuspendListener {
public:
    // `statusChange` (may be empty) receives the new combined state; it runs with the lock held.
    explicit OALSuspendHandler(std::function<void(bool suspended)> statusChange = {});
    OALSuspendHandler(const OALSuspendHandler&) = delete;
    OALSuspendHandler& operator=(const OALSuspendHandler&) = delete;

    // Children, not retained. Adding one to a suspended handler does not suspend it; removing one
    // that was never added changes nothing.
    void addSuspendListener(OALSuspendListener* listener);
    void removeSuspendListener(OALSuspendListener* listener);

    bool manuallySuspended() const override;
    void setManuallySuspended(bool manuallySuspended) override;
    bool interrupted() const override;
    void setInterrupted(bool interrupted) override;
    // Suspended by hand or interrupted; read without the lock.
    bool suspended() const;

    // The owner's call (empty when there is none), and its replacement.
    std::function<void(bool suspended)> suspendStatusChangeTarget() const;
    void setSuspendStatusChangeTarget(std::function<void(bool suspended)> statusChange);

private:
    struct Child {
        OALSuspendListener* listener;  // not retained
        bool wasManuallySuspended;     // already suspended by hand when this handler suspended it
    };

    mutable std::recursive_mutex mutex_;
    std::vector<Child> children_;
    std::function<void(bool)> statusChange_;
    std::atomic<bool> manualSuspendLock_ = false;
    std::atomic<bool> interruptLock_ = false;
};
