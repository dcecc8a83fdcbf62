#pragma once

#include <functional>

#include "engine/actions/CCActionInstant.h"

// Calls a function with an object that the action keeps (retained), once, at its only update. The
// function may add or remove actions, this one included.
class CCCallBlockO : public CCActionInstant {
public:
    // The function is required (NSInvalidArgumentException); the action keeps its own copy.
    static RefPtr<CCCallBlockO> actionWithBlock(std::function<void(Object*)> block, RefPtr<Object> object);
    bool initWithBlock(std::function<void(Object*)> block, RefPtr<Object> object);

    // The same function and object.
    RefPtr<CCAction> copy() const override;
    // Calls execute().
    void update(float t) override;
    // Makes the call.
    virtual void execute();

    // The argument of the call; retained, may be null.
    Object* object() const { return object_.get(); }
    void setObject(RefPtr<Object> object) { object_ = std::move(object); }

protected:
    CCCallBlockO* makeEmptyCopy() const override { return new CCCallBlockO; }

private:
    std::function<void(Object*)> block_;
    RefPtr<Object> object_;
};
