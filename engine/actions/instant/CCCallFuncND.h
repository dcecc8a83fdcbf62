#pragma once

#include "engine/actions/instant/CCCallFuncN.h"

// Calls a method of its callback target with the node the action runs on and a data pointer,
// which is passed through untouched and never freed.
class CCCallFuncND : public CCCallFuncN {
public:
    // The selector is required (NSInvalidArgumentException); `data` is not owned.
    static RefPtr<CCCallFuncND> actionWithTarget(RefPtr<Object> target, SEL_CallFuncND selector, void* data);
    bool initWithTarget(RefPtr<Object> target, SEL_CallFuncND selector, void* data);

    // The same callback target, selector and data pointer.
    RefPtr<CCAction> copy() const override;
    void execute() override;

    // The method that the call goes to: the selector's, unless replaced (required,
    // NSInvalidArgumentException).
    SEL_CallFuncND callbackMethod() const { return callbackMethod_; }
    void setCallbackMethod(SEL_CallFuncND method);

protected:
    CCCallFuncND* makeEmptyCopy() const override { return new CCCallFuncND; }

private:
    void* data_ = nullptr;
    SEL_CallFuncND callbackMethod_ = nullptr;
};
