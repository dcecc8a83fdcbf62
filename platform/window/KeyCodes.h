#pragma once

#include <SDL.h>

#include <cstdint>
#include <optional>
#include <string>

#include "platform/window/Event.h"

// Keyboard translation from SDL's physical keys to the event record's values: virtual key codes
// of a US keyboard, the characters that layout types, and the modifier bits. Scancodes are
// physical positions, so the keypad digits keep their codes whatever the num-lock state.

// The virtual key code of a physical key; empty for keys that have none (media keys, ...).
std::optional<uint16_t> keyCodeForScancode(SDL_Scancode scancode);

// kModifier* bits for SDL's modifier state (either shift, control, alt or GUI key; caps lock).
uint64_t modifierFlagsForKeyMod(uint16_t keyMod);

// Shift, control, alt, GUI (command) and caps lock: keys that only change the modifier state and
// so produce flagsChanged, never keyDown or keyUp.
bool isModifierScancode(SDL_Scancode scancode);

// What the key types on a US layout, in UTF-8: letters upper case with `shift` or `capsLock`,
// the other printable keys their shifted symbol with `shift`; special keys their control or
// private-use character. Empty for keys that type nothing (modifiers, unknown keys).
std::string charactersForScancode(SDL_Scancode scancode, bool shift, bool capsLock);

// The keyDown, keyUp or flagsChanged event for an SDL key event (SDL_KEYDOWN or SDL_KEYUP), with
// the timestamp in seconds. Empty for keys without a code, for repeats of a modifier key and for
// other event types.
std::optional<Event> eventForKeyboardEvent(const SDL_KeyboardEvent& key);
