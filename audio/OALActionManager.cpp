#include "audio/OALActionManager.h"

#include <time.h>

#include <algorithm>
#include <atomic>

#include "platform/foundation/RunLoop.h"

namespace {

constexpr double kStepInterval = 1.0 / 30;  // seconds between steps
constexpr size_t kTargetCapacity = 50;
constexpr size_t kActionsPerTargetCapacity = 5;
constexpr size_t kQueueCapacity = 100;

std::mutex sharedLock;
std::atomic<OALActionManager*> sharedManager = nullptr;  // holds one count while set

uint64_t monotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000000000u + static_cast<uint64_t>(now.tv_nsec);
}

}  // namespace

OALActionManager* OALActionManager::sharedInstance() {
    if (OALActionManager* manager = sharedManager.load(std::memory_order_acquire)) return manager;
    std::lock_guard lock(sharedLock);
    if (!sharedManager.load(std::memory_order_relaxed)) {
        OALActionManager* manager = new OALActionManager;
        manager->retain();
        sharedManager.store(manager, std::memory_order_release);
    }
    return sharedManager.load(std::memory_order_relaxed);
}

void OALActionManager::purgeSharedInstance() {
    OALActionManager* manager;
    {
        std::lock_guard lock(sharedLock);
        manager = sharedManager.exchange(nullptr, std::memory_order_acq_rel);
    }
    if (!manager) return;
    manager->invalidateTimer();
    manager->release();
}

OALActionManager::OALActionManager() {
    targets_.reserve(kTargetCapacity);
    actionsToAdd_.reserve(kQueueCapacity);
    actionsToRemove_.reserve(kQueueCapacity);
}

OALActionManager::~OALActionManager() = default;

void OALActionManager::notifyActionStarted(RefPtr<OALAction> action) {
    std::lock_guard lock(mutex_);
    actionsToAdd_.push_back(std::move(action));
    // A timer left from an action stopped before any step is reused; one whose run loop has
    // stopped (its thread ended) is replaced.
    if (!stepTimer_ || !stepTimer_->isValid()) {
        stepTimer_ = RunLoop::current().scheduleTimer(
            kStepInterval, true, [manager = RefPtr<OALActionManager>(this)] { manager->step(); });
        lastTimestamp_.reset();
    }
}

void OALActionManager::notifyActionStopped(RefPtr<OALAction> action) {
    std::lock_guard lock(mutex_);
    actionsToRemove_.push_back(std::move(action));
}

void OALActionManager::stopAllActions() {
    std::vector<RefPtr<OALAction>> actions;
    {
        std::lock_guard lock(mutex_);
        for (const TargetActions& entry : targets_) {
            actions.insert(actions.end(), entry.actions.begin(), entry.actions.end());
        }
        actions.insert(actions.end(), actionsToAdd_.begin(), actionsToAdd_.end());
    }
    for (const RefPtr<OALAction>& action : actions) action->stopAction();
}

void OALActionManager::doResetTimeDelta() {
    std::lock_guard lock(mutex_);
    lastTimestamp_.reset();
}

void OALActionManager::step() {
    // Everything this step lets go of or updates, so that no action is released or called under
    // the lock: the queued starts and stops first, then from `firstStepped` the actions to advance.
    std::vector<RefPtr<OALAction>> held;
    size_t firstStepped = 0;
    float delta = 0;  // seconds
    RefPtr<RunLoopTimer> finishedTimer;
    {
        std::lock_guard lock(mutex_);
        held.swap(spareHeld_);
        // Stops before starts: an action stopped and run again since the last step stays adopted
        // once, and one started and stopped again is never adopted.
        for (RefPtr<OALAction>& action : actionsToRemove_) {
            drop(*action);
            held.push_back(std::move(action));
        }
        actionsToRemove_.clear();
        for (RefPtr<OALAction>& action : actionsToAdd_) {
            if (action->running()) adopt(action);
            held.push_back(std::move(action));
        }
        actionsToAdd_.clear();
        firstStepped = held.size();
        if (targets_.empty()) {
            // Taken out under the lock, so that a start from another thread makes a new timer
            // rather than reuse this one.
            finishedTimer.swap(stepTimer_);
        } else {
            const uint64_t now = clock_ ? clock_() : monotonicNanoseconds();
            // A clock that went back counts as no time.
            if (lastTimestamp_ && now > *lastTimestamp_) delta = static_cast<float>((now - *lastTimestamp_) * 1e-9);
            lastTimestamp_ = now;
            for (const TargetActions& entry : targets_) {
                held.insert(held.end(), entry.actions.begin(), entry.actions.end());
            }
        }
    }
    if (finishedTimer) finishedTimer->invalidate();
    for (size_t index = firstStepped; index < held.size(); ++index) {
        OALAction& action = *held[index];
        // Stopped earlier in this step (by another action's update, or by its target): leave it.
        if (!action.running()) continue;
        action.elapsed_ += delta;
        const float proportionComplete = action.elapsed_ / action.duration_;
        if (proportionComplete < 1.0f) {
            action.updateCompletion(proportionComplete);
        } else {
            action.updateCompletion(1.0f);
            action.stopAction();
        }
    }
    held.clear();
    std::lock_guard lock(mutex_);
    if (held.capacity() > spareHeld_.capacity()) spareHeld_.swap(held);
}

void OALActionManager::setClock(Clock clock) {
    std::lock_guard lock(mutex_);
    clock_ = std::move(clock);
}

RefPtr<RunLoopTimer> OALActionManager::stepTimer() const {
    std::lock_guard lock(mutex_);
    return stepTimer_;
}

void OALActionManager::adopt(const RefPtr<OALAction>& action) {
    auto entry = std::find_if(targets_.begin(), targets_.end(),
                              [&](const TargetActions& e) { return e.target == action->target(); });
    if (entry == targets_.end()) {
        entry = targets_.insert(targets_.end(), {action->target(), {}});
        entry->actions.reserve(kActionsPerTargetCapacity);
    }
    // An action run twice before a step is stepped once.
    if (std::find(entry->actions.begin(), entry->actions.end(), action) == entry->actions.end()) {
        entry->actions.push_back(action);
    }
}

void OALActionManager::drop(const OALAction& action) {
    const auto entry = std::find_if(targets_.begin(), targets_.end(),
                                    [&](const TargetActions& e) { return e.target == action.target(); });
    if (entry == targets_.end()) return;
    const auto found = std::find(entry->actions.begin(), entry->actions.end(), &action);
    if (found != entry->actions.end()) entry->actions.erase(found);
    if (entry->actions.empty()) targets_.erase(entry);
}

void OALActionManager::invalidateTimer() {
    RefPtr<RunLoopTimer> timer;
    {
        std::lock_guard lock(mutex_);
        timer.swap(stepTimer_);
    }
    if (timer) timer->invalidate();
}
