#include "engine/actions/CCActionManager.h"

#include "platform/foundation/NamedException.h"
#include "platform/foundation/StringUtils.h"

CCActionManager::~CCActionManager() {
    removeAllActions();
}

std::string CCActionManager::description() const {
    return stringWithFormat("<%s = %p>", className(*this).c_str(), static_cast<const void*>(this));
}

void CCActionManager::addAction(CCAction* action, Object* target, bool paused) {
    CC_REQUIRE(action, "NSInternalInconsistencyException", "Argument action must be non-nil");
    CC_REQUIRE(target, "NSInternalInconsistencyException", "Argument target must be non-nil");
    ccArrayAppend(targets_.entryForTarget(target, paused)->objects, action);
    action->startWithTarget(target);
}

void CCActionManager::removeAllActions() {
    for (ccTargetWalkEntry* entry = targets_.first(); entry;) {
        ccTargetWalkEntry* next = entry->nextInTable;
        targets_.removeAll(entry);
        entry = next;
    }
}

void CCActionManager::removeAllActionsFromTarget(Object* target) {
    if (ccTargetWalkEntry* entry = target ? targets_.find(target) : nullptr) targets_.removeAll(entry);
}

void CCActionManager::removeAction(CCAction* action) {
    ccTargetWalkEntry* entry = action ? targets_.find(action->originalTarget()) : nullptr;
    if (!entry) return;
    const uint64_t index = ccArrayIndexOf(entry->objects, action);
    if (index != ccArrayNotFound) targets_.removeAt(entry, index);
}

void CCActionManager::removeActionByTag(int64_t tag, Object* target) {
    ccTargetWalkEntry* entry = target ? targets_.find(target) : nullptr;
    if (!entry) return;
    for (uint64_t i = 0; i < entry->objects->num; ++i) {
        const auto* action = static_cast<const CCAction*>(entry->objects->arr[i]);
        if (action->tag() == tag && action->originalTarget() == target) {
            targets_.removeAt(entry, i);
            return;
        }
    }
}

CCAction* CCActionManager::getActionByTag(int64_t tag, Object* target) const {
    const ccTargetWalkEntry* entry = target ? targets_.find(target) : nullptr;
    if (!entry) return nullptr;
    for (uint64_t i = 0; i < entry->objects->num; ++i) {
        auto* action = static_cast<CCAction*>(entry->objects->arr[i]);
        if (action->tag() == tag) return action;
    }
    return nullptr;
}

uint64_t CCActionManager::numberOfRunningActionsInTarget(Object* target) const {
    const ccTargetWalkEntry* entry = target ? targets_.find(target) : nullptr;
    return entry ? entry->objects->num : 0;
}

void CCActionManager::pauseTarget(Object* target) {
    if (ccTargetWalkEntry* entry = target ? targets_.find(target) : nullptr) entry->paused = true;
}

void CCActionManager::resumeTarget(Object* target) {
    if (ccTargetWalkEntry* entry = target ? targets_.find(target) : nullptr) entry->paused = false;
}

std::vector<RefPtr<Object>> CCActionManager::pauseAllRunningActions() {
    std::vector<RefPtr<Object>> paused;
    for (ccTargetWalkEntry* entry = targets_.first(); entry; entry = entry->nextInTable) {
        if (entry->paused) continue;
        entry->paused = true;
        paused.push_back(entry->target);
    }
    return paused;
}

void CCActionManager::resumeTargets(const std::vector<RefPtr<Object>>& targets) {
    for (const RefPtr<Object>& target : targets) resumeTarget(target.get());
}

void CCActionManager::update(float dt) {
    targets_.walk([this, dt](ccTargetWalkEntry* entry, Object* object) {
        auto* action = static_cast<CCAction*>(object);
        action->step(dt);
        if (entry->currentSalvaged || !action->isDone()) return;
        action->stop();
        // Removed from the entry being walked, by identity: the action may have been started
        // elsewhere since, so its originalTarget need not be this one. Removing it while it is the
        // current step keeps it alive until the step is over.
        const uint64_t index = ccArrayIndexOf(entry->objects, action);
        if (index != ccArrayNotFound) targets_.removeAt(entry, index);
    });
}
