#pragma once

#include <atomic>

#include "audio/OALActionTarget.h"
#include "platform/foundation/Object.h"

// A change of an audio target over time, fed its completion fraction (0 to 1) by the shared
// OALActionManager. The base action changes nothing; subclasses override the four steps.
//
// runWithTarget() prepares, starts and updates with 0; an action with a duration above 0 is then
// handed to the manager, which steps it until its elapsed time reaches the duration, updates it
// with 1 and stops it. An instant action is stopped at once, so it only sees start, update 0 and
// stop. A stopped action gets no further updates from the manager. An action may be run again;
// preparing recomputes everything from the target as it is then.
class OALAction : public Object {
public:
    // An instant action.
    OALAction() = default;
    // `duration` in seconds; 0 is instant.
    explicit OALAction(float duration) : duration_(duration) {}

    // Prepares against the target (not retained), starts, updates with 0, then hands the action to
    // the manager or, when instant, stops it. A null target throws NamedException
    // "NSInvalidArgumentException".
    void runWithTarget(OALActionTarget* target);

    // Stores the target (not retained) and computes what depends on it.
    virtual void prepareWithTarget(OALActionTarget* target);
    // Marks the action running from elapsed 0.
    virtual void startAction();
    // Applies the completion fraction: 0 at the start, 1 at the end.
    virtual void updateCompletion(float proportionComplete);
    // Clears running and, when the manager steps the action, tells it to drop the action.
    virtual void stopAction();

    // The target of the last prepare; not retained.
    OALActionTarget* target() const { return target_; }
    // Seconds; 0 for an instant action.
    float duration() const { return duration_; }
    // Seconds run so far, counted by the manager.
    float elapsed() const { return elapsed_; }
    // Set by startAction(), cleared by stopAction().
    bool running() const { return running_.load(std::memory_order_acquire); }
    // True while the manager steps the action.
    bool runningInManager() const { return runningInManager_.load(std::memory_order_acquire); }

protected:
    ~OALAction() override = default;

    OALActionTarget* target_ = nullptr;  // not retained
    float duration_ = 0;                 // seconds, 0 or more

private:
    friend class OALActionManager;

    float elapsed_ = 0;  // seconds; written by startAction() and the manager's step
    // Read by the manager's step on its timer's thread while another thread may stop the action.
    std::atomic<bool> running_ = false;
    std::atomic<bool> runningInManager_ = false;
};
