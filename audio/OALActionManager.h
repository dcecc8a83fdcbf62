#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

#include "audio/OALAction.h"
#include "platform/foundation/Object.h"
#include "platform/foundation/RunLoopTimer.h"

// The shared stepper of audio actions whose duration is above 0.
//
// Actions reach it only through their own runWithTarget() and stopAction(). Starts and stops are
// queued and take effect at the next step, so that no list changes while it is walked; an action
// started and stopped again before a step is never stepped. Steps come from a repeating 1/30 s
// timer on the run loop of the thread that started the first action, and only while there is
// something to step; each advances every running action by the time measured since the previous
// step (none on the first step after the timer was made or after doResetTimeDelta()).
//
// The step updates actions, and so their targets, without holding the manager's lock: targets
// take their own locks in their setters and may start and stop actions (from any thread) while
// they do. An action stopped during a step is not updated again. An update racing with a stop on
// another thread may land once after it; a target that must exclude this checks under its lock.
class OALActionManager : public Object {
public:
    // Monotonic nanoseconds; only differences are used.
    using Clock = std::function<uint64_t()>;

    // The shared manager, made on first use; safe from any thread.
    static OALActionManager* sharedInstance();
    // Destroys the shared manager (its timer with it) so that the next use makes a new one. Call it
    // while no step runs and no action is being started or stopped.
    static void purgeSharedInstance();

    // Queues a started action (from runWithTarget()) for the next step, making the timer when
    // there is none.
    void notifyActionStarted(RefPtr<OALAction> action);
    // Queues an action the manager steps (from stopAction()) for removal at the next step.
    void notifyActionStopped(RefPtr<OALAction> action);
    // Stops every stepped and every queued action; they leave at the next step.
    void stopAllActions();
    // The next step adds no time, for example after the process was stopped for a while.
    void doResetTimeDelta();
    // One step: adopts queued starts, drops queued stops, invalidates the timer when nothing is
    // left, else advances every running action. The timer calls it; tests may too.
    void step();

    // Replaces the clock (CLOCK_MONOTONIC when null); tests use it to control time.
    void setClock(Clock clock);
    // The step timer, or null while there is nothing to step.
    RefPtr<RunLoopTimer> stepTimer() const;

private:
    // The running actions of one target, in the order they were adopted.
    struct TargetActions {
        OALActionTarget* target;  // not retained
        std::vector<RefPtr<OALAction>> actions;
    };

    OALActionManager();
    ~OALActionManager() override;

    // Both need the lock held.
    void adopt(const RefPtr<OALAction>& action);
    void drop(const OALAction& action);
    // Takes the timer out under the lock and invalidates it after.
    void invalidateTimer();

    // Never held while an action or a target is called or an action or the timer's block is
    // released, so that none of them can re-enter it or take a target's lock under it.
    mutable std::mutex mutex_;
    std::vector<TargetActions> targets_;  // no entry has an empty list after a step
    std::vector<RefPtr<OALAction>> actionsToAdd_;
    std::vector<RefPtr<OALAction>> actionsToRemove_;
    std::vector<RefPtr<OALAction>> spareHeld_;  // the step's buffer, kept so that steps do not allocate
    RefPtr<RunLoopTimer> stepTimer_;             // its block holds the manager until invalidated
    std::optional<uint64_t> lastTimestamp_;     // clock reading of the previous step
    Clock clock_;
};
