#pragma once

#include "platform/foundation/Object.h"
#include "platform/window/Event.h"

class CCEventDispatcher;

// A dispatcher entry point: the view operation that received an event.
using CCEventSelector = void (CCEventDispatcher::*)(const Event&);

// One event on its way from the view to the engine thread, with the entry point to deliver it to.
class CCEventObject : public Object {
public:
    // The event with the entry point of its type (a mouseDown event goes to mouseDown).
    explicit CCEventObject(const Event& event);
    CCEventObject(const Event& event, CCEventSelector selector);

    // The event as the view received it, and the entry point it goes to.
    const Event& event() const { return event_; }
    CCEventSelector selector() const { return selector_; }

    // The entry point of each view operation.
    static CCEventSelector selectorForType(EventType type);

private:
    Event event_;
    CCEventSelector selector_;
};
