#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/actions/CCAction.h"
#include "engine/core/support/ccTargetWalk.h"
#include "platform/foundation/Object.h"

// Owns every running action. The director has the scheduler call update() once per frame before
// every other per-frame update; nodes forward their action operations here with themselves as the
// target.
//
// Actions may change the manager while it steps them: remove themselves or other actions, remove
// all actions of their target, add actions to any target, drop the last outside reference to their
// target. An action removed during its own step stays alive until the step returns and is not
// asked isDone() or sent stop() afterwards; actions added to the target being walked, or to a new
// target, are stepped in the same pass; removals never make the walk skip or repeat an action.
// Removed actions are not sent stop(). A frame in which actions only step allocates nothing.
// Engine thread only.
class CCActionManager : public Object {
public:
    CCActionManager() = default;
    ~CCActionManager() override;

    // "<CCActionManager = 0x...>".
    std::string description() const override;

    // Appends the action to the target's actions (both retained while it runs) and starts it on the
    // target. `paused` applies only when the target has no running actions; otherwise the target's
    // current paused state wins. A null action or target is a programming error (NamedException).
    // The same action object must not run twice at once.
    void addAction(CCAction* action, Object* target, bool paused);

    void removeAllActions();
    void removeAllActionsFromTarget(Object* target);
    // Removes the action from the actions of its originalTarget(); unknown actions are ignored.
    void removeAction(CCAction* action);
    // Removes the first action of the target with that tag.
    void removeActionByTag(int64_t tag, Object* target);

    // The first action of the target with that tag; null when there is none.
    CCAction* getActionByTag(int64_t tag, Object* target) const;
    // Includes actions that are done but have not been removed by a frame yet.
    uint64_t numberOfRunningActionsInTarget(Object* target) const;

    // Pausing belongs to the target's running actions: it is forgotten when the last one goes, and a
    // target with none is not affected.
    void pauseTarget(Object* target);
    void resumeTarget(Object* target);
    // Pauses every target that is not paused yet and answers those targets, for resumeTargets.
    std::vector<RefPtr<Object>> pauseAllRunningActions();
    void resumeTargets(const std::vector<RefPtr<Object>>& targets);

    // One frame of `dt` seconds: steps every action of every unpaused target, targets in the order
    // they got their first action, and removes (after stop()) the actions that are done.
    void update(float dt);

private:
    // Per target, its running actions (CCAction objects) in the order they were added.
    ccTargetWalk targets_;
};
