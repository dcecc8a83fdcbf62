#pragma once

#include "engine/actions/instant/CCCallFunc.h"

// Calls a method of its callback target with an object that the action keeps (retained).
class CCCallFuncO : public CCCallFunc {
public:
    // The selector is required (NSInvalidArgumentException).
    static RefPtr<CCCallFuncO> actionWithTarget(RefPtr<Object> target, SEL_CallFuncO selector, RefPtr<Object> object);
    bool initWithTarget(RefPtr<Object> target, SEL_CallFuncO selector, RefPtr<Object> object);

    // The same callback target, selector and object.
    RefPtr<CCAction> copy() const override;
    void execute() override;

    // The argument of the call; retained, may be null.
    Object* object() const { return object_.get(); }
    void setObject(RefPtr<Object> object) { object_ = std::move(object); }

protected:
    CCCallFuncO* makeEmptyCopy() const override { return new CCCallFuncO; }

private:
    RefPtr<Object> object_;
};
