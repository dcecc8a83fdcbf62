#include "engine/core/CCScheduler.h"

#include <climits>
#include <unordered_set>

#include "engine/core/CCTimerBlock.h"
#include "engine/core/CCTimerTargetSelector.h"
#include "platform/foundation/NamedException.h"
#include "platform/foundation/StringUtils.h"

namespace {

// The slot of the entry's first timer of class T that matches, or ccArrayNotFound; a null entry
// has none.
template <typename T, typename Matches>
uint64_t indexOfTimer(const ccTargetWalkEntry* entry, Matches matches) {
    if (!entry) return ccArrayNotFound;
    for (uint64_t i = 0; i < entry->objects->num; ++i) {
        const auto* timer = dynamic_cast<const T*>(entry->objects->arr[i]);
        if (timer && matches(*timer)) return i;
    }
    return ccArrayNotFound;
}

uint64_t indexOfSelectorTimer(const ccTargetWalkEntry* entry, SEL_SCHEDULE selector) {
    return indexOfTimer<CCTimerTargetSelector>(
        entry, [selector](const CCTimerTargetSelector& timer) { return timer.selector() == selector; });
}

uint64_t indexOfBlockTimer(const ccTargetWalkEntry* entry, const std::string& key) {
    return indexOfTimer<CCTimerBlock>(entry, [&key](const CCTimerBlock& timer) { return timer.key() == key; });
}

// Gives the timer in slot `index` the interval; false when the slot is ccArrayNotFound.
bool setIntervalOfTimerAt(const ccTargetWalkEntry* entry, uint64_t index, float interval) {
    if (index == ccArrayNotFound) return false;
    static_cast<CCTimer*>(entry->objects->arr[index])->setInterval(interval);
    return true;
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

    hashForTimers_.walk([dt](ccTargetWalkEntry*, Object* timer) { static_cast<CCTimer*>(timer)->update(dt); });

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
    CC_REQUIRE(selector, "NSInternalInconsistencyException", "Argument selector must be non-nil");
    ccTargetWalkEntry* entry = hashForTimers_.entryForTarget(target, paused);
    if (setIntervalOfTimerAt(entry, indexOfSelectorTimer(entry, selector), interval)) return;
    RefPtr<CCTimerTargetSelector> timer = makeRef<CCTimerTargetSelector>();
    timer->initWithTarget(target, selector, interval, repeat, delay);
    addTimer(entry, timer.get());
}

void CCScheduler::scheduleBlockForKey(const std::string& key, Object* target, float interval, bool paused,
                                      uint32_t repeat, float delay, std::function<void(float)> block) {
    CC_REQUIRE(block, "NSInternalInconsistencyException", "Argument block must be non-nil");
    ccTargetWalkEntry* entry = hashForTimers_.entryForTarget(target, paused);
    if (setIntervalOfTimerAt(entry, indexOfBlockTimer(entry, key), interval)) return;
    RefPtr<CCTimerBlock> timer = makeRef<CCTimerBlock>();
    timer->initWithInterval(interval, repeat, delay, key, std::move(block));
    timer->setTarget(target);
    addTimer(entry, timer.get());
}

void CCScheduler::addTimer(ccTargetWalkEntry* entry, CCTimer* timer) {
    timer->setScheduler(this);
    ccArrayAppend(entry->objects, timer);
}

void CCScheduler::unscheduleSelector(SEL_SCHEDULE selector, Object* target) {
    ccTargetWalkEntry* entry = target && selector ? hashForTimers_.find(target) : nullptr;
    const uint64_t index = indexOfSelectorTimer(entry, selector);
    // The timer may be the one whose callback is running: the walk keeps it alive until it returns.
    if (index != ccArrayNotFound) hashForTimers_.removeAt(entry, index);
}

void CCScheduler::unscheduleBlockForKey(const std::string& key, Object* target) {
    ccTargetWalkEntry* entry = target ? hashForTimers_.find(target) : nullptr;
    const uint64_t index = indexOfBlockTimer(entry, key);
    if (index != ccArrayNotFound) hashForTimers_.removeAt(entry, index);
}

void CCScheduler::scheduleUpdate(Object* target, SEL_SCHEDULE update, int64_t priority, bool paused) {
    CC_REQUIRE(target, "NSInternalInconsistencyException", "Argument target must be non-nil");
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
    if (ccTargetWalkEntry* entry = hashForTimers_.find(target)) hashForTimers_.removeAll(entry);
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
    for (ccTargetWalkEntry* entry = hashForTimers_.first(); entry;) {
        ccTargetWalkEntry* next = entry->nextInTable;
        unscheduleAllSelectorsForTarget(entry->target.get());
        entry = next;
    }
    forEachUpdateWithMinPriority(minPriority,
                                 [this](UpdateEntry* entry) { unscheduleUpdateForTarget(entry->target.get()); });
}

void CCScheduler::pauseTarget(Object* target) {
    if (!target) return;
    if (ccTargetWalkEntry* entry = hashForTimers_.find(target)) entry->paused = true;
    if (UpdateEntry* entry = hashForUpdates_.find(target)) entry->paused = true;
}

void CCScheduler::resumeTarget(Object* target) {
    if (!target) return;
    if (ccTargetWalkEntry* entry = hashForTimers_.find(target)) entry->paused = false;
    if (UpdateEntry* entry = hashForUpdates_.find(target)) entry->paused = false;
}

bool CCScheduler::isTargetPaused(Object* target) const {
    const ccTargetWalkEntry* entry = target ? hashForTimers_.find(target) : nullptr;
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
    for (ccTargetWalkEntry* entry = hashForTimers_.first(); entry; entry = entry->nextInTable) {
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
