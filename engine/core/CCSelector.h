#pragma once

#include <type_traits>

#include "platform/foundation/Object.h"

// A selector the scheduler calls with the time in seconds: a member function of an Object subclass.
// Member-function pointers compare equal exactly when they name the same method, which is what
// scheduling and unscheduling by selector rely on. Virtual methods dispatch through the target.
using SEL_SCHEDULE = void (Object::*)(float);

// The selector of `method`, a member of T taking the time in seconds:
//   node->schedule(ccSelector(&HeroLayer::tick));
template <typename T>
SEL_SCHEDULE ccSelector(void (T::*method)(float)) {
    static_assert(std::is_base_of_v<Object, T>, "selectors belong to Object subclasses");
    return static_cast<SEL_SCHEDULE>(method);
}
