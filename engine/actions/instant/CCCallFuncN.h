#pragma once

#include "engine/actions/instant/CCCallFunc.h"

// Calls a method of its callback target with the node the action runs on (null when the target
// is not a CCNode).
class CCCallFuncN : public CCCallFunc {
public:
    // The selector is required (NSInvalidArgumentException).
    static RefPtr<CCCallFuncN> actionWithTarget(RefPtr<Object> target, SEL_CallFuncN selector);
    bool initWithTarget(RefPtr<Object> target, SEL_CallFuncN selector);

    // The target is taken as a node at the start and passed to the method by execute().
    void startWithTarget(Object* target) override;
    void execute() override;

protected:
    CCCallFuncN* makeEmptyCopy() const override { return new CCCallFuncN; }

    CCNode* node_ = nullptr;  // the target as a node while running; not retained
};
