#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/core/CCSelector.h"
#include "engine/core/CCTimer.h"
#include "engine/core/support/ccTargetTable.h"
#include "engine/core/support/ccTargetWalk.h"
#include "platform/foundation/Object.h"

// The engine's clock. Each frame update(dt) calls, in this order: the per-frame updates with a
// negative priority (ascending; the action manager sits at INT32_MIN), those with priority 0 in
// scheduling order, those with a positive priority (ascending), then every timer, target by target
// in the order the targets got their first timer, each target's timers in scheduling order.
//
// Callbacks may schedule and unschedule anything, themselves included, during the tick, and may
// drop the last outside reference to their target: the scheduler holds a reference to every target
// it has work for, keeps a timer unscheduled during its own callback alive until the callback
// returns, and frees update entries unscheduled during the tick only after the walk.
// A tick in which nothing is (un)scheduled allocates nothing. Engine thread only.
class CCScheduler : public Object {
public:
    CCScheduler() = default;
    ~CCScheduler() override;

    // "<CCScheduler = 0x... | timeScale = 1.00 >".
    std::string description() const override;

    // Multiplies every frame time; 1 at start, below 1 slows everything down.
    float timeScale() const { return timeScale_; }
    void setTimeScale(float timeScale) { timeScale_ = timeScale; }

    // One frame of `dt` seconds.
    void update(float dt);

    // Calls the selector on the target every `interval` seconds (0: every frame), for ever.
    // `paused` is taken only when this is the target's first timer. Scheduling a selector the
    // target already has changes only that timer's interval. A null target or selector is a
    // programming error (NamedException).
    void scheduleSelector(SEL_SCHEDULE selector, Object* target, float interval, bool paused);
    // As above, firing repeat + 1 times in all, the first after `delay` seconds when delay > 0.
    void scheduleSelector(SEL_SCHEDULE selector, Object* target, float interval, bool paused, uint32_t repeat,
                          float delay);
    // The same with a block; the key (compared as a string) names the block on its target.
    void scheduleBlockForKey(const std::string& key, Object* target, float interval, bool paused, uint32_t repeat,
                             float delay, std::function<void(float)> block);
    // Unknown targets, selectors and keys are ignored.
    void unscheduleSelector(SEL_SCHEDULE selector, Object* target);
    void unscheduleBlockForKey(const std::string& key, Object* target);

    // Calls target->update(dt) every frame, before every timer, ordered by priority as described
    // above. A target that already has its update keeps its first priority and paused state.
    template <class T>
    void scheduleUpdateForTarget(T* target, int64_t priority, bool paused) {
        scheduleUpdate(target, ccSelector(static_cast<void (T::*)(float)>(&T::update)), priority, paused);
    }
    void unscheduleUpdateForTarget(Object* target);

    // All timers and the per-frame update of the target.
    void unscheduleAllSelectorsForTarget(Object* target);
    // Everything, the action manager's update included.
    void unscheduleAllSelectors();
    // Every timer, whatever its target's priority, and the per-frame updates with priority >= min.
    void unscheduleAllSelectorsWithMinPriority(int64_t minPriority);

    // Pausing stops both the timers and the per-frame update of a target until it is resumed.
    void pauseTarget(Object* target);
    void resumeTarget(Object* target);
    // Whether the target's timers are paused; false for a target without timers.
    bool isTargetPaused(Object* target) const;
    // Pauses every target with timers and every per-frame update with priority >= min, and answers
    // the targets it paused, each once, for resumeTargets.
    std::vector<RefPtr<Object>> pauseAllTargets();
    std::vector<RefPtr<Object>> pauseAllTargetsWithMinPriority(int64_t minPriority);
    void resumeTargets(const std::vector<RefPtr<Object>>& targets);

private:
    struct UpdateList;

    // A target's per-frame update: an entry of hashForUpdates_ that is also linked into one of the
    // three priority lists.
    struct UpdateEntry : ccTargetTableEntry<UpdateEntry> {
        UpdateList* list = nullptr;
        UpdateEntry* previousInList = nullptr;
        UpdateEntry* nextInList = nullptr;
        SEL_SCHEDULE update = nullptr;
        int64_t priority = 0;
        bool paused = false;
        bool markedForDeletion = false;  // unscheduled during the tick; freed at its end
    };

    struct UpdateList {
        UpdateEntry* first = nullptr;
        UpdateEntry* last = nullptr;
    };

    void scheduleUpdate(Object* target, SEL_SCHEDULE update, int64_t priority, bool paused);
    // Files the timer (retained) after the entry's other timers.
    void addTimer(ccTargetWalkEntry* entry, CCTimer* timer);
    void removeUpdateFromHash(UpdateEntry* entry);
    // Calls action(entry) for each entry of the three lists whose priority is >= min, taking the
    // successor first.
    template <typename Action>
    void forEachUpdateWithMinPriority(int64_t minPriority, Action action);

    float timeScale_ = 1.0f;
    UpdateList updatesNeg_;  // priority < 0, ascending; equal priorities in scheduling order
    UpdateList updates0_;    // priority 0, in scheduling order
    UpdateList updatesPos_;  // priority > 0, ascending; equal priorities in scheduling order
    ccTargetTable<UpdateEntry> hashForUpdates_;
    ccTargetWalk hashForTimers_;           // per target, its CCTimer objects in scheduling order
    bool updateHashLocked_ = false;        // update() is running: update entries are only marked
    bool updatesMarked_ = false;           // some entry was marked during this tick: sweep the lists after it
};
