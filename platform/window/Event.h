#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/Geometry.h"

// One input event of the window, by value: what the view received and everything its handlers
// read. Values follow the desktop conventions the game was written against (virtual key codes,
// private-use characters for function keys, modifier bits, touch phases), whatever the windowing
// library underneath reports.

// The view's responder operation that received the event; one per dispatcher entry point.
enum class EventType : uint8_t {
    mouseDown,
    mouseUp,
    mouseMoved,
    mouseDragged,
    rightMouseDown,
    rightMouseDragged,
    rightMouseUp,
    otherMouseDown,
    otherMouseDragged,
    otherMouseUp,
    scrollWheel,
    mouseEntered,
    mouseExited,
    keyDown,
    keyUp,
    flagsChanged,
    touchesBegan,
    touchesMoved,
    touchesEnded,
    touchesCancelled,
};

// Modifier bits of Event::modifierFlags. Caps lock is the lock state, the others the keys held.
// Keypad keys and the arrow keys carry kModifierNumericPad; arrows, function keys and the
// navigation block (home, end, page up/down, forward delete, help) carry kModifierFunction.
inline constexpr uint64_t kModifierCapsLock = 1ull << 16;
inline constexpr uint64_t kModifierShift = 1ull << 17;
inline constexpr uint64_t kModifierControl = 1ull << 18;
inline constexpr uint64_t kModifierOption = 1ull << 19;
inline constexpr uint64_t kModifierCommand = 1ull << 20;
inline constexpr uint64_t kModifierNumericPad = 1ull << 21;  // 0x200000
inline constexpr uint64_t kModifierFunction = 1ull << 23;

// Virtual key codes of a US keyboard that the game names; the whole table is in KeyCodes.cpp.
inline constexpr uint16_t kKeyCodeReturn = 36;
inline constexpr uint16_t kKeyCodeTab = 48;
inline constexpr uint16_t kKeyCodeSpace = 49;
inline constexpr uint16_t kKeyCodeDelete = 51;
inline constexpr uint16_t kKeyCodeEscape = 53;
inline constexpr uint16_t kKeyCodeKeypad0 = 82;
inline constexpr uint16_t kKeyCodeKeypad1 = 83;
inline constexpr uint16_t kKeyCodeKeypad2 = 84;
inline constexpr uint16_t kKeyCodeKeypad3 = 85;
inline constexpr uint16_t kKeyCodeKeypad4 = 86;
inline constexpr uint16_t kKeyCodeKeypad5 = 87;
inline constexpr uint16_t kKeyCodeKeypad6 = 88;
inline constexpr uint16_t kKeyCodeKeypad7 = 89;
inline constexpr uint16_t kKeyCodeKeypad8 = 91;  // 90 is F20
inline constexpr uint16_t kKeyCodeKeypad9 = 92;
inline constexpr uint16_t kKeyCodeLeftArrow = 123;
inline constexpr uint16_t kKeyCodeRightArrow = 124;
inline constexpr uint16_t kKeyCodeDownArrow = 125;
inline constexpr uint16_t kKeyCodeUpArrow = 126;

// The arrow keys' characters (private-use code points U+F700..U+F703) in UTF-8, so that
// `event.charactersIgnoringModifiers == kUpArrowCharacters` also checks "exactly one character".
// Function key Fn is U+F703 + n.
inline constexpr std::string_view kUpArrowCharacters = "\uF700";
inline constexpr std::string_view kDownArrowCharacters = "\uF701";
inline constexpr std::string_view kLeftArrowCharacters = "\uF702";
inline constexpr std::string_view kRightArrowCharacters = "\uF703";

// Touch phases, one bit each, so that several can be asked for at once.
inline constexpr uint64_t kTouchPhaseBegan = 1;
inline constexpr uint64_t kTouchPhaseMoved = 2;
inline constexpr uint64_t kTouchPhaseStationary = 4;
inline constexpr uint64_t kTouchPhaseEnded = 8;
inline constexpr uint64_t kTouchPhaseCancelled = 16;
inline constexpr uint64_t kTouchPhaseTouching = kTouchPhaseBegan | kTouchPhaseMoved | kTouchPhaseStationary;
inline constexpr uint64_t kTouchPhaseAny = ~0ull;

// One finger on a touch surface as one event saw it.
struct Touch {
    // Stays the same for one finger from the moment it lands until it lifts.
    int64_t identity = 0;
    // Exactly one kTouchPhase* bit.
    uint64_t phase = kTouchPhaseStationary;
    // Position on the touch surface, 0..1 on each axis, origin bottom-left.
    CGPoint normalizedPosition;
};

struct Event {
    EventType type = EventType::mouseMoved;
    // Seconds on a monotonic clock; only differences mean anything.
    double timestamp = 0;
    // Pointer position in the window in points, origin bottom-left (y = window height − y from the
    // top). Key events leave it at zero.
    CGPoint locationInWindow;
    // kModifier* bits held (or locked) when the event happened, plus the key's own bits for key
    // events. For flagsChanged, the state after the change.
    uint64_t modifierFlags = 0;

    // Key events (keyDown, keyUp, flagsChanged). flagsChanged carries the modifier key's code and
    // no characters.
    uint16_t keyCode = 0;
    // UTF-8. `characters` applies shift and caps lock; `charactersIgnoringModifiers` applies
    // shift only. Return is "\r", Escape "\x1b", Delete (backspace) "\x7f", Tab "\t".
    std::string characters;
    std::string charactersIgnoringModifiers;
    // A key-down produced by holding the key, not by pressing it.
    bool isARepeat = false;

    // Mouse buttons: 0 left, 1 right, 2 middle, 3 and up the extra buttons. clickCount counts
    // rapid clicks at one place (1 single, 2 double...).
    int64_t buttonNumber = 0;
    int64_t clickCount = 0;

    // scrollWheel: lines scrolled, positive deltaY scrolls up (away from the user), positive
    // deltaX scrolls left. The scrolling deltas are the same amounts; they would be pixels when
    // hasPreciseScrollingDeltas, which a line-based wheel never has.
    // Mouse motion: deltaX/deltaY are the pointer's movement in points, positive y downwards.
    double deltaX = 0;
    double deltaY = 0;
    double scrollingDeltaX = 0;
    double scrollingDeltaY = 0;
    bool hasPreciseScrollingDeltas = false;

    // Touch events: every finger on the surface, the one that changed with its phase and the
    // others as stationary; a finger that lifted appears once more with kTouchPhaseEnded.
    std::vector<Touch> touches;

    // The touches whose phase is one of the bits of `phaseMask`, in event order.
    std::vector<Touch> touchesMatchingPhase(uint64_t phaseMask) const {
        std::vector<Touch> matching;
        for (const Touch& touch : touches) {
            if (touch.phase & phaseMask) matching.push_back(touch);
        }
        return matching;
    }
};
