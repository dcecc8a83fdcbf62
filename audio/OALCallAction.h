#pragma once

#include <functional>
#include <type_traits>

#include "audio/OALAction.h"

// An instant action that makes one call when it starts; the last member of a fade's sequence, so
// that the call comes in the update in which the fade reaches its end.
class OALCallAction : public OALAction {
public:
    // Calls target->selector(), with up to two arguments. The target and the arguments are not
    // retained: whoever runs the action stops it before they go. A null target makes no call.
    template <class T>
    static RefPtr<OALCallAction> actionWithCallTarget(T* target, void (T::*selector)()) {
        if (!target) return makeRef<OALCallAction>(nullptr);
        return makeRef<OALCallAction>([target, selector] { (target->*selector)(); });
    }
    template <class T, class A>
    static RefPtr<OALCallAction> actionWithCallTarget(T* target, void (T::*selector)(A*),
                                                      std::type_identity_t<A*> object) {
        if (!target) return makeRef<OALCallAction>(nullptr);
        return makeRef<OALCallAction>([target, selector, object] { (target->*selector)(object); });
    }
    template <class T, class A, class B>
    static RefPtr<OALCallAction> actionWithCallTarget(T* target, void (T::*selector)(A*, B*),
                                                      std::type_identity_t<A*> object1,
                                                      std::type_identity_t<B*> object2) {
        if (!target) return makeRef<OALCallAction>(nullptr);
        return makeRef<OALCallAction>(
            [target, selector, object1, object2] { (target->*selector)(object1, object2); });
    }

    // Makes `call` when started; an empty call does nothing.
    explicit OALCallAction(std::function<void()> call) : call_(std::move(call)) {}

    // The base start, then the call.
    void startAction() override;

private:
    const std::function<void()> call_;
};
