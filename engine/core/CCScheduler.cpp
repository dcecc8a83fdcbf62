#include "engine/core/CCScheduler.h"

#include <climits>
#include <unordered_set>

#include "platform/foundation/NamedException.h"
#include "platform/foundation/StringUtils.h"

namespace {

void requireTarget(const Object* target) {
    if (!target) throw NamedException("NSInternalInconsistencyException", "Argument target must be non-nil");
}

}  // namespace

CCScheduler::~CCScheduler() {
    unscheduleAllSelectors();
}

std::string CCScheduler::description() const {
    return stringWithFormat("<%s = %p | timeScale = %0.2f >", className(*this).c_str(),
                            static_cast<const void*>(this), static_cast<double>(timeScale_));
}

void CCScheduler::update(float dt) {
    updateHashLocked_ = true;
    if (timeScale_ != 1.0f) dt *= timeScale_;

    for (UpdateList* list : {&updatesNeg_, &updates0_, &updatesPos_}) {
        for (UpdateEntry* entry = list->first; entry;) {
            UpdateEntry* next = entry->nextInList;
            if (!entry->paused && !entry->markedForDeletion) (entry->target.get()->*entry->update)(dt);
            entry = next;
        }
    }

    for (TimerEntry* entry = hashForTimers_.first(); entry;) {
        currentTarget_ = entry;
        currentTargetSalvaged_ = false;
        if (!entry->paused) {
            for (entry->timerIndex = 0; entry->timerIndex < entry->timers->num; ++entry->timerIndex) {
                entry->currentTimer = static_cast<CCTimer*>(entry->timers->arr[entry->timerIndex]);
                entry->currentTimerSalvaged = false;
                entry->currentTimer->update(dt);
                if (entry->currentTimerSalvaged) entry->currentTimer->release();
                entry->currentTimer = nullptr;
            }
        }
        TimerEntry* next = entry->nextInTable;
        if (currentTargetSalvaged_ && entry->timers->num == 0) {
            currentTarget_ = nullptr;
            removeHashElement(entry);
        }
        entry = next;
    }
    currentTarget_ = nullptr;

    if (updatesMarked_) {
        updatesMarked_ = false;
        for (UpdateList* list : {&updatesNeg_, &updates0_, &updatesPos_}) {
            for (UpdateEntry* entry = list->first; entry;) {
                UpdateEntry* next = entry->nextInList;
                if (entry->markedForDeletion) removeUpdateFromHash(entry);
                entry = next;
            }
        }
    }
    updateHashLocked_ = false;
}

void CCScheduler::scheduleSelector(SEL_SCHEDULE selector, Object* target, float interval, bool paused) {
    scheduleSelector(selector, target, interval, paused, CCTimerRepeatForever, 0);
}

void CCScheduler::scheduleSelector(SEL_SCHEDULE selector, Object* target, float interval, bool paused,
                                   uint32_t repeat, float delay) {
    if (!selector) throw NamedException("NSInternalInconsistencyException", "Argument selector must be non-nil");
    requireTarget(target);
    TimerEntry* entry = timerEntryForTarget(target, paused);
    for (uint64_t i = 0; i < entry->timers->num; ++i) {
        auto* timer = dynamic_cast<CCTimerTargetSelector*>(static_cast<CCTimer*>(entry->timers->arr[i]));
        if (timer && timer->selector() == selector) {
            timer->setInterval(interval);
            return;
        }
    }
    RefPtr<CCTimerTargetSelector> timer = makeRef<CCTimerTargetSelector>();
    timer->initWithTarget(target, selector, interval, repeat, delay);
    addTimer(entry, timer.get());
}

void CCScheduler::scheduleBlockForKey(const std::string& key, Object* target, float interval, bool paused,
                                      uint32_t repeat, float delay, std::function<void(float)> block) {
    if (!block) throw NamedException("NSInternalInconsistencyException", "Argument block must be non-nil");
    requireTarget(target);
    TimerEntry* entry = timerEntryForTarget(target, paused);
    for (uint64_t i = 0; i < entry->timers->num; ++i) {
        auto* timer = dynamic_cast<CCTimerBlock*>(static_cast<CCTimer*>(entry->timers->arr[i]));
        if (timer && timer->key() == key) {
            timer->setInterval(interval);
            return;
        }
    }
    RefPtr<CCTimerBlock> timer = makeRef<CCTimerBlock>();
    timer->initWithInterval(interval, repeat, delay, key, std::move(block));
    timer->setTarget(target);
    addTimer(entry, timer.get());
}

CCScheduler::TimerEntry* CCScheduler::timerEntryForTarget(Object* target, bool paused) {
    TimerEntry* entry = hashForTimers_.find(target);
    if (!entry) {
        entry = hashForTimers_.append(target);
        entry->paused = paused;
    }
    return entry;
}

void CCScheduler::addTimer(TimerEntry* entry, CCTimer* timer) {
    timer->setScheduler(this);
    ccArrayAppend(entry->timers, timer);
}

void CCScheduler::unscheduleSelector(SEL_SCHEDULE selector, Object* target) {
    TimerEntry* entry = target ? hashForTimers_.find(target) : nullptr;
    if (!entry || !selector) return;
    for (uint64_t i = 0; i < entry->timers->num; ++i) {
        auto* timer = dynamic_cast<CCTimerTargetSelector*>(static_cast<CCTimer*>(entry->timers->arr[i]));
        if (timer && timer->selector() == selector) {
            removeTimerAtIndex(entry, i);
            return;
        }
    }
}

void CCScheduler::unscheduleBlockForKey(const std::string& key, Object* target) {
    TimerEntry* entry = target ? hashForTimers_.find(target) : nullptr;
    if (!entry) return;
    for (uint64_t i = 0; i < entry->timers->num; ++i) {
        auto* timer = dynamic_cast<CCTimerBlock*>(static_cast<CCTimer*>(entry->timers->arr[i]));
        if (timer && timer->key() == key) {
            removeTimerAtIndex(entry, i);
            return;
        }
    }
}

void CCScheduler::removeTimerAtIndex(TimerEntry* entry, uint64_t index) {
    // The timer may be the one whose callback is running: it stays alive until update() has
    // finished stepping it.
    Object* timer = entry->timers->arr[index];
    // Whatever the timer's destruction sets off happens after this entry has been dealt with.
    RefPtr<Object> removed(timer);
    if (timer == entry->currentTimer && !entry->currentTimerSalvaged) {
        timer->retain();
        entry->currentTimerSalvaged = true;
    }
    ccArrayRemoveAt(entry->timers, index);
    // Keeps the walk in progress from skipping the timer that moved into this slot.
    if (entry->timerIndex >= index) entry->timerIndex -= 1;
    if (entry->timers->num == 0) {
        if (currentTarget_ == entry) {
            currentTargetSalvaged_ = true;
        } else {
            removeHashElement(entry);
        }
    }
}

void CCScheduler::removeHashElement(TimerEntry* entry) {
    hashForTimers_.remove(entry);
}

void CCScheduler::scheduleUpdate(Object* target, SEL_SCHEDULE update, int64_t priority, bool paused) {
    requireTarget(target);
    if (UpdateEntry* existing = hashForUpdates_.find(target)) {
        existing->markedForDeletion = false;
        return;
    }
    UpdateEntry* entry = hashForUpdates_.append(target);
    entry->update = update;
    entry->priority = priority;
    entry->paused = paused;
    entry->list = priority < 0 ? &updatesNeg_ : priority == 0 ? &updates0_ : &updatesPos_;

    // Before the first entry with a greater priority, so equal priorities keep scheduling order;
    // in updates0_ every priority is 0 and the entry goes last.
    UpdateEntry* before = entry->list->first;
    while (before && before->priority <= priority) before = before->nextInList;
    entry->nextInList = before;
    entry->previousInList = before ? before->previousInList : entry->list->last;
    (entry->previousInList ? entry->previousInList->nextInList : entry->list->first) = entry;
    (before ? before->previousInList : entry->list->last) = entry;
}

void CCScheduler::unscheduleUpdateForTarget(Object* target) {
    UpdateEntry* entry = target ? hashForUpdates_.find(target) : nullptr;
    if (!entry) return;
    if (updateHashLocked_) {
        entry->markedForDeletion = true;
        updatesMarked_ = true;
    } else {
        removeUpdateFromHash(entry);
    }
}

void CCScheduler::removeUpdateFromHash(UpdateEntry* entry) {
    UpdateList* list = entry->list;
    (entry->previousInList ? entry->previousInList->nextInList : list->first) = entry->nextInList;
    (entry->nextInList ? entry->nextInList->previousInList : list->last) = entry->previousInList;
    hashForUpdates_.remove(entry);  // releases the target last
}

void CCScheduler::unscheduleAllSelectorsForTarget(Object* target) {
    if (!target) return;
    // The update goes first: removing the timer entry may release the last reference to the target.
    unscheduleUpdateForTarget(target);
    TimerEntry* entry = hashForTimers_.find(target);
    if (!entry) return;
    if (entry->currentTimer && !entry->currentTimerSalvaged &&
        ccArrayHasObject(entry->timers, entry->currentTimer)) {
        entry->currentTimer->retain();
        entry->currentTimerSalvaged = true;
    }
    ccArrayRemoveAll(entry->timers);
    if (currentTarget_ == entry) {
        currentTargetSalvaged_ = true;
    } else {
        removeHashElement(entry);
    }
}

void CCScheduler::unscheduleAllSelectors() {
    unscheduleAllSelectorsWithMinPriority(INT32_MIN);
}

template <typename Action>
void CCScheduler::forEachUpdateWithMinPriority(int64_t minPriority, Action action) {
    for (UpdateList* list : {&updatesNeg_, &updates0_, &updatesPos_}) {
        for (UpdateEntry* entry = list->first; entry;) {
            UpdateEntry* next = entry->nextInList;
            if (entry->priority >= minPriority) action(entry);
            entry = next;
        }
    }
}

void CCScheduler::unscheduleAllSelectorsWithMinPriority(int64_t minPriority) {
    for (TimerEntry* entry = hashForTimers_.first(); entry;) {
        TimerEntry* next = entry->nextInTable;
        unscheduleAllSelectorsForTarget(entry->target.get());
        entry = next;
    }
    forEachUpdateWithMinPriority(minPriority,
                                 [this](UpdateEntry* entry) { unscheduleUpdateForTarget(entry->target.get()); });
}

void CCScheduler::pauseTarget(Object* target) {
    if (!target) return;
    if (TimerEntry* entry = hashForTimers_.find(target)) entry->paused = true;
    if (UpdateEntry* entry = hashForUpdates_.find(target)) entry->paused = true;
}

void CCScheduler::resumeTarget(Object* target) {
    if (!target) return;
    if (TimerEntry* entry = hashForTimers_.find(target)) entry->paused = false;
    if (UpdateEntry* entry = hashForUpdates_.find(target)) entry->paused = false;
}

bool CCScheduler::isTargetPaused(Object* target) const {
    const TimerEntry* entry = target ? hashForTimers_.find(target) : nullptr;
    return entry && entry->paused;
}

std::vector<RefPtr<Object>> CCScheduler::pauseAllTargets() {
    return pauseAllTargetsWithMinPriority(INT32_MIN);
}

std::vector<RefPtr<Object>> CCScheduler::pauseAllTargetsWithMinPriority(int64_t minPriority) {
    std::vector<RefPtr<Object>> paused;
    std::unordered_set<const Object*> seen;
    const auto add = [&](const RefPtr<Object>& target) {
        if (seen.insert(target.get()).second) paused.push_back(target);
    };
    for (TimerEntry* entry = hashForTimers_.first(); entry; entry = entry->nextInTable) {
        entry->paused = true;
        add(entry->target);
    }
    forEachUpdateWithMinPriority(minPriority, [&](UpdateEntry* entry) {
        entry->paused = true;
        add(entry->target);
    });
    return paused;
}

void CCScheduler::resumeTargets(const std::vector<RefPtr<Object>>& targets) {
    for (const RefPtr<Object>& target : targets) resumeTarget(target.get());
}
