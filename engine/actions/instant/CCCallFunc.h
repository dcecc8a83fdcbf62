#pragma once

#include <string>
#include <type_traits>
#include <variant>

#include "engine/actions/CCActionInstant.h"

class CCNode;

// The methods that the call actions call, members of Object subclasses (make one with
// ccCallSelector). Member pointers compare equal exactly when they name the same method, and a
// virtual method dispatches through the object it is called on.
using SEL_CallFunc = void (Object::*)();                  // CCCallFunc: no argument
using SEL_CallFuncN = void (Object::*)(CCNode*);          // CCCallFuncN: the action's target node
using SEL_CallFuncND = void (Object::*)(CCNode*, void*);  // CCCallFuncND: the node and a data pointer
using SEL_CallFuncO = void (Object::*)(Object*);          // CCCallFuncO: a stored object
// The selector of any call action.
using CCCallSelector = std::variant<SEL_CallFunc, SEL_CallFuncN, SEL_CallFuncND, SEL_CallFuncO>;

// The selector of `method`, a member of T, typed for its parameters:
//   CCCallFuncN::actionWithTarget(layer, ccCallSelector(&GameLayer::removeSprite));
template <typename T, typename... Args>
auto ccCallSelector(void (T::*method)(Args...)) -> void (Object::*)(Args...) {
    static_assert(std::is_base_of_v<Object, T>, "selectors belong to Object subclasses");
    return static_cast<void (Object::*)(Args...)>(method);
}

// Calls a method of a callback target when it runs: once, at its only update. The callback target
// is retained while the action exists, so a node's action keeps the layer that it calls back
// alive. The call happens during the action manager's walk, so the method may add or remove
// actions, this one included. With a null callback target the call does nothing.
class CCCallFunc : public CCActionInstant {
public:
    // The selector is required (NSInvalidArgumentException).
    static RefPtr<CCCallFunc> actionWithTarget(RefPtr<Object> target, SEL_CallFunc selector);
    bool initWithTarget(RefPtr<Object> target, SEL_CallFunc selector);

    // "<CCCallFunc = 0x... | Tag = -1 | selector = (0x...)>". Methods have no names at run time, so
    // the selector shows as the first word of the member pointer: the function's address, or for a
    // virtual method 1 + its offset in the virtual table.
    std::string description() const override;
    // The same callback target and selector; subclasses with more state override it.
    RefPtr<CCAction> copy() const override;
    // Calls execute().
    void update(float t) override;
    // Makes the call.
    virtual void execute();

    // The object whose method is called; retained.
    Object* targetCallback() const { return targetCallback_.get(); }
    void setTargetCallback(RefPtr<Object> target) { targetCallback_ = std::move(target); }

protected:
    CCCallFunc* makeEmptyCopy() const override { return new CCCallFunc; }
    // What every class's initialiser does: instant-action init, then the callback target and the
    // selector, which is required (NSInvalidArgumentException).
    bool initWithCallback(RefPtr<Object> target, CCCallSelector selector);

    RefPtr<Object> targetCallback_;
    CCCallSelector selector_;  // of the type that the class calls
};
