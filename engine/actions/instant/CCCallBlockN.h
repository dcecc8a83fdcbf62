#pragma once

#include <functional>

#include "engine/actions/CCActionInstant.h"

class CCNode;

// Calls a function with the node the action runs on (null when the target is not a CCNode), once,
// at its only update. The function may add or remove actions, this one included.
class CCCallBlockN : public CCActionInstant {
public:
    // The function is required (NSInvalidArgumentException); the action keeps its own copy.
    static RefPtr<CCCallBlockN> actionWithBlock(std::function<void(CCNode*)> block);
    bool initWithBlock(std::function<void(CCNode*)> block);

    // The same function.
    RefPtr<CCAction> copy() const override;
    // Takes the target as a node for the call.
    void startWithTarget(Object* target) override;
    // Calls execute().
    void update(float t) override;
    // Makes the call.
    virtual void execute();

protected:
    CCCallBlockN* makeEmptyCopy() const override { return new CCCallBlockN; }

private:
    std::function<void(CCNode*)> block_;
    CCNode* node_ = nullptr;  // the target as a node while running; not retained
};
