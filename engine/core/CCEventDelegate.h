#pragma once

#include <cstdint>

#include "platform/window/Event.h"

// Input delegates of the event dispatcher. Each handler answers true when it consumed the event,
// so that delegates behind it (higher priority numbers) are not offered it.
//
// Which handlers a delegate has is reported once, when it registers, as a mask of the bits below;
// the dispatcher never calls a handler whose bit is missing. The default mask claims every
// handler of the interface, which is always right since a handler left as it is answers false; a
// delegate that reports only the handlers it overrides saves the calls to the others.

// Bits of CCMouseEventDelegate::mouseEventMask().
inline constexpr uint64_t kCCMouseDownMask = 1ull << 0;
inline constexpr uint64_t kCCMouseMovedMask = 1ull << 1;
inline constexpr uint64_t kCCMouseDraggedMask = 1ull << 2;
inline constexpr uint64_t kCCMouseUpMask = 1ull << 3;
inline constexpr uint64_t kCCRightMouseDownMask = 1ull << 4;
inline constexpr uint64_t kCCRightMouseDraggedMask = 1ull << 5;
inline constexpr uint64_t kCCRightMouseUpMask = 1ull << 6;
inline constexpr uint64_t kCCOtherMouseDownMask = 1ull << 7;
inline constexpr uint64_t kCCOtherMouseDraggedMask = 1ull << 8;
inline constexpr uint64_t kCCOtherMouseUpMask = 1ull << 9;
inline constexpr uint64_t kCCScrollWheelMask = 1ull << 10;
inline constexpr uint64_t kCCMouseEnteredMask = 1ull << 11;
inline constexpr uint64_t kCCMouseExitedMask = 1ull << 12;
inline constexpr uint64_t kCCAllMouseEventsMask = (1ull << 13) - 1;

// Bits of CCKeyboardEventDelegate::keyboardEventMask().
inline constexpr uint64_t kCCKeyUpMask = 1ull << 0;
inline constexpr uint64_t kCCKeyDownMask = 1ull << 1;
inline constexpr uint64_t kCCFlagsChangedMask = 1ull << 2;
inline constexpr uint64_t kCCAllKeyboardEventsMask = (1ull << 3) - 1;

// Bits of CCTouchEventDelegate::touchEventMask(); they follow on from the mouse bits.
inline constexpr uint64_t kCCTouchesBeganMask = 1ull << 13;
inline constexpr uint64_t kCCTouchesMovedMask = 1ull << 14;
inline constexpr uint64_t kCCTouchesEndedMask = 1ull << 15;
inline constexpr uint64_t kCCTouchesCancelledMask = 1ull << 16;
inline constexpr uint64_t kCCAllTouchEventsMask =
    kCCTouchesBeganMask | kCCTouchesMovedMask | kCCTouchesEndedMask | kCCTouchesCancelledMask;

class CCMouseEventDelegate {
public:
    virtual ~CCMouseEventDelegate() = default;

    virtual uint64_t mouseEventMask() const { return kCCAllMouseEventsMask; }

    virtual bool ccMouseDown(const Event&) { return false; }
    virtual bool ccMouseDragged(const Event&) { return false; }
    virtual bool ccMouseMoved(const Event&) { return false; }
    virtual bool ccMouseUp(const Event&) { return false; }
    virtual bool ccRightMouseDown(const Event&) { return false; }
    virtual bool ccRightMouseDragged(const Event&) { return false; }
    virtual bool ccRightMouseUp(const Event&) { return false; }
    virtual bool ccOtherMouseDown(const Event&) { return false; }
    virtual bool ccOtherMouseDragged(const Event&) { return false; }
    virtual bool ccOtherMouseUp(const Event&) { return false; }
    virtual bool ccScrollWheel(const Event&) { return false; }
    virtual bool ccMouseEntered(const Event&) { return false; }
    virtual bool ccMouseExited(const Event&) { return false; }
};

class CCKeyboardEventDelegate {
public:
    virtual ~CCKeyboardEventDelegate() = default;

    virtual uint64_t keyboardEventMask() const { return kCCAllKeyboardEventsMask; }

    virtual bool ccKeyUp(const Event&) { return false; }
    virtual bool ccKeyDown(const Event&) { return false; }
    virtual bool ccFlagsChanged(const Event&) { return false; }
};

class CCTouchEventDelegate {
public:
    virtual ~CCTouchEventDelegate() = default;

    virtual uint64_t touchEventMask() const { return kCCAllTouchEventsMask; }

    virtual bool ccTouchesBeganWithEvent(const Event&) { return false; }
    virtual bool ccTouchesMovedWithEvent(const Event&) { return false; }
    virtual bool ccTouchesEndedWithEvent(const Event&) { return false; }
    virtual bool ccTouchesCancelledWithEvent(const Event&) { return false; }
};

// What the GL view forwards each input event to: one entry point per view operation.
class CCEventDelegate {
public:
    virtual ~CCEventDelegate() = default;

    virtual void mouseDown(const Event& event) = 0;
    virtual void mouseUp(const Event& event) = 0;
    virtual void mouseMoved(const Event& event) = 0;
    virtual void mouseDragged(const Event& event) = 0;
    virtual void rightMouseDown(const Event& event) = 0;
    virtual void rightMouseDragged(const Event& event) = 0;
    virtual void rightMouseUp(const Event& event) = 0;
    virtual void otherMouseDown(const Event& event) = 0;
    virtual void otherMouseDragged(const Event& event) = 0;
    virtual void otherMouseUp(const Event& event) = 0;
    virtual void scrollWheel(const Event& event) = 0;
    virtual void mouseEntered(const Event& event) = 0;
    virtual void mouseExited(const Event& event) = 0;
    virtual void keyDown(const Event& event) = 0;
    virtual void keyUp(const Event& event) = 0;
    virtual void flagsChanged(const Event& event) = 0;
    virtual void touchesBeganWithEvent(const Event& event) = 0;
    virtual void touchesMovedWithEvent(const Event& event) = 0;
    virtual void touchesEndedWithEvent(const Event& event) = 0;
    virtual void touchesCancelledWithEvent(const Event& event) = 0;
};
