#pragma once

#include <functional>

#include "engine/actions/CCActionInstant.h"

// Calls a function, once, at its only update. The call happens during the action manager's walk,
// so the function may add or remove actions, this one included.
class CCCallBlock : public CCActionInstant {
public:
    // The function is required (NSInvalidArgumentException); the action keeps its own copy.
    static RefPtr<CCCallBlock> actionWithBlock(std::function<void()> block);
    bool initWithBlock(std::function<void()> block);

    // The same function.
    RefPtr<CCAction> copy() const override;
    // Calls execute().
    void update(float t) override;
    // Makes the call.
    virtual void execute();

protected:
    CCCallBlock* makeEmptyCopy() const override { return new CCCallBlock; }

private:
    std::function<void()> block_;
};
