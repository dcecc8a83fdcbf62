#include "engine/core/CCEventObject.h"

#include "engine/core/CCEventDispatcher.h"

CCEventObject::CCEventObject(const Event& event) : CCEventObject(event, selectorForType(event.type)) {}

CCEventObject::CCEventObject(const Event& event, CCEventSelector selector) : event_(event), selector_(selector) {}

CCEventSelector CCEventObject::selectorForType(EventType type) {
    switch (type) {
        case EventType::mouseDown: return &CCEventDispatcher::mouseDown;
        case EventType::mouseUp: return &CCEventDispatcher::mouseUp;
        case EventType::mouseMoved: return &CCEventDispatcher::mouseMoved;
        case EventType::mouseDragged: return &CCEventDispatcher::mouseDragged;
        case EventType::rightMouseDown: return &CCEventDispatcher::rightMouseDown;
        case EventType::rightMouseDragged: return &CCEventDispatcher::rightMouseDragged;
        case EventType::rightMouseUp: return &CCEventDispatcher::rightMouseUp;
        case EventType::otherMouseDown: return &CCEventDispatcher::otherMouseDown;
        case EventType::otherMouseDragged: return &CCEventDispatcher::otherMouseDragged;
        case EventType::otherMouseUp: return &CCEventDispatcher::otherMouseUp;
        case EventType::scrollWheel: return &CCEventDispatcher::scrollWheel;
        case EventType::mouseEntered: return &CCEventDispatcher::mouseEntered;
        case EventType::mouseExited: return &CCEventDispatcher::mouseExited;
        case EventType::keyDown: return &CCEventDispatcher::keyDown;
        case EventType::keyUp: return &CCEventDispatcher::keyUp;
        case EventType::flagsChanged: return &CCEventDispatcher::flagsChanged;
        case EventType::touchesBegan: return &CCEventDispatcher::touchesBeganWithEvent;
        case EventType::touchesMoved: return &CCEventDispatcher::touchesMovedWithEvent;
        case EventType::touchesEnded: return &CCEventDispatcher::touchesEndedWithEvent;
        case EventType::touchesCancelled: return &CCEventDispatcher::touchesCancelledWithEvent;
    }
    return nullptr;
}
