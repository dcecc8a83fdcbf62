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
    if (!action) throw NamedException("NSInternalInconsistencyException", "Argument action must be non-nil");
    if (!target) throw NamedException("NSInternalInconsistencyException", "Argument target must be non-nil");
    Element* element = targets_.find(target);
    if (!element) {
        element = targets_.append(target);
        element->paused = paused;
    }
    ccArray* actions = element->actions;
    if (actions->num == actions->max) ccArrayDoubleCapacity(actions);
    ccArrayAppendNoGrow(actions, action);
    action->startWithTarget(target);
}

void CCActionManager::removeAllActions() {
    for (Element* element = targets_.first(); element;) {
        Element* next = element->nextInTable;
        removeAllActionsFromTarget(element->target.get());
        element = next;
    }
}

void CCActionManager::removeAllActionsFromTarget(Object* target) {
    Element* element = target ? targets_.find(target) : nullptr;
    if (!element) return;
    if (element->currentAction && !element->currentActionSalvaged &&
        ccArrayHasObject(element->actions, element->currentAction)) {
        element->currentAction->retain();
        element->currentActionSalvaged = true;
    }
    ccArrayRemoveAll(element->actions);
    if (currentTarget_ == element) {
        currentTargetSalvaged_ = true;
    } else {
        deleteHashElement(element);
    }
}

void CCActionManager::removeAction(CCAction* action) {
    Element* element = action ? targets_.find(action->originalTarget()) : nullptr;
    if (!element) return;
    const uint64_t index = ccArrayIndexOf(element->actions, action);
    if (index != ccArrayNotFound) removeActionAtIndex(index, element);
}

void CCActionManager::removeActionByTag(int64_t tag, Object* target) {
    Element* element = target ? targets_.find(target) : nullptr;
    if (!element) return;
    for (uint64_t i = 0; i < element->actions->num; ++i) {
        const auto* action = static_cast<const CCAction*>(element->actions->arr[i]);
        if (action->tag() == tag && action->originalTarget() == target) {
            removeActionAtIndex(i, element);
            return;
        }
    }
}

CCAction* CCActionManager::getActionByTag(int64_t tag, Object* target) const {
    const Element* element = target ? targets_.find(target) : nullptr;
    if (!element) return nullptr;
    for (uint64_t i = 0; i < element->actions->num; ++i) {
        auto* action = static_cast<CCAction*>(element->actions->arr[i]);
        if (action->tag() == tag) return action;
    }
    return nullptr;
}

uint64_t CCActionManager::numberOfRunningActionsInTarget(Object* target) const {
    const Element* element = target ? targets_.find(target) : nullptr;
    return element ? element->actions->num : 0;
}

void CCActionManager::pauseTarget(Object* target) {
    if (Element* element = target ? targets_.find(target) : nullptr) element->paused = true;
}

void CCActionManager::resumeTarget(Object* target) {
    if (Element* element = target ? targets_.find(target) : nullptr) element->paused = false;
}

std::vector<RefPtr<Object>> CCActionManager::pauseAllRunningActions() {
    std::vector<RefPtr<Object>> paused;
    for (Element* element = targets_.first(); element; element = element->nextInTable) {
        if (element->paused) continue;
        element->paused = true;
        paused.push_back(element->target);
    }
    return paused;
}

void CCActionManager::resumeTargets(const std::vector<RefPtr<Object>>& targets) {
    for (const RefPtr<Object>& target : targets) resumeTarget(target.get());
}

void CCActionManager::update(float dt) {
    for (Element* element = targets_.first(); element;) {
        currentTarget_ = element;
        currentTargetSalvaged_ = false;
        if (!element->paused) {
            for (element->actionIndex = 0; element->actionIndex < element->actions->num; ++element->actionIndex) {
                CCAction* action = static_cast<CCAction*>(element->actions->arr[element->actionIndex]);
                element->currentAction = action;
                element->currentActionSalvaged = false;
                action->step(dt);
                if (element->currentActionSalvaged) {
                    action->release();  // the reference taken when it was removed during its step
                } else if (action->isDone()) {
                    // Held through stop() and the removal, either of which may drop the array's
                    // reference. Removed from the element being walked, by identity: an action may
                    // have been started elsewhere since, so its originalTarget need not be this one.
                    RefPtr<CCAction> finished(action);
                    element->currentAction = nullptr;
                    finished->stop();
                    const uint64_t index = ccArrayIndexOf(element->actions, action);
                    if (index != ccArrayNotFound) removeActionAtIndex(index, element);
                }
                element->currentAction = nullptr;
            }
        }
        Element* next = element->nextInTable;
        if (currentTargetSalvaged_ && element->actions->num == 0) {
            currentTarget_ = nullptr;
            deleteHashElement(element);
        }
        element = next;
    }
    currentTarget_ = nullptr;
}

void CCActionManager::removeActionAtIndex(uint64_t index, Element* element) {
    CCAction* action = static_cast<CCAction*>(element->actions->arr[index]);
    // Whatever the action's destruction sets off happens after this element has been dealt with.
    RefPtr<CCAction> removed(action);
    if (action == element->currentAction && !element->currentActionSalvaged) {
        action->retain();
        element->currentActionSalvaged = true;
    }
    ccArrayRemoveAt(element->actions, index);
    // Keeps the walk in progress from skipping the action that moved into this slot.
    if (element->actionIndex >= index) element->actionIndex -= 1;
    if (element->actions->num == 0) {
        if (currentTarget_ == element) {
            currentTargetSalvaged_ = true;
        } else {
            deleteHashElement(element);
        }
    }
}

void CCActionManager::deleteHashElement(Element* element) {
    targets_.remove(element);
}
