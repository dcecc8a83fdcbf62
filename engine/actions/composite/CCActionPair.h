#pragma once

#include <algorithm>
#include <initializer_list>
#include <vector>

#include "engine/actions/CCActionInterval.h"
#include "platform/foundation/NamedException.h"

// What a sequence and a spawn (Derived) share: two parts, the folds that nest longer lists of
// actions into pairs, and copies around copies of the parts. Derived provides
// `bool initOne(RefPtr<CCFiniteTimeAction> one, RefPtr<CCFiniteTimeAction> two)`.
template <typename Derived>
class CCActionPair : public CCActionInterval {
public:
    static RefPtr<Derived> actionOne(RefPtr<CCFiniteTimeAction> one, RefPtr<CCFiniteTimeAction> two) {
        RefPtr<Derived> pair = makeRef<Derived>();
        pair->initOne(std::move(one), std::move(two));
        return pair;
    }

    // The actions folded left to right into pairs up to the first null (where an argument list
    // would end): a, b, c, d gives ((a, b), c), d. A single action is answered as it is, not
    // wrapped; none, or a null first, gives null.
    static RefPtr<CCFiniteTimeAction> actions(std::initializer_list<RefPtr<CCFiniteTimeAction>> actions) {
        return fold(actions);
    }
    // The same fold over an array, which must be non-empty and hold no null
    // (NSInvalidArgumentException).
    static RefPtr<CCFiniteTimeAction> actionWithArray(const std::vector<RefPtr<CCFiniteTimeAction>>& actions) {
        CC_REQUIRE(!actions.empty() && std::find(actions.begin(), actions.end(), nullptr) == actions.end(),
                   "NSInvalidArgumentException", "an action array must hold at least one action and no null");
        return fold(actions);
    }

    // A pair of the receiver's class around copies of both parts.
    RefPtr<CCAction> copy() const override {
        return makeLike(refCast<CCFiniteTimeAction>(parts_[0]->copy()), refCast<CCFiniteTimeAction>(parts_[1]->copy()));
    }

protected:
    // An initialised pair of the receiver's class, for copy and reverse.
    RefPtr<Derived> makeLike(RefPtr<CCFiniteTimeAction> one, RefPtr<CCFiniteTimeAction> two) const {
        RefPtr<Derived> pair(static_cast<Derived*>(makeEmptyCopy()));
        pair->initOne(std::move(one), std::move(two));
        return pair;
    }

    RefPtr<CCFiniteTimeAction> parts_[2];  // both set by initOne

private:
    template <typename Actions>
    static RefPtr<CCFiniteTimeAction> fold(const Actions& actions) {
        RefPtr<CCFiniteTimeAction> result;
        for (const RefPtr<CCFiniteTimeAction>& action : actions) {
            if (!action) break;
            result = result ? RefPtr<CCFiniteTimeAction>(actionOne(result, action)) : action;
        }
        return result;
    }
};
