#include "platform/window/KeyCodes.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <tuple>

TEST(KeyCodes, OnlyTheKeysAPCKeyboardAddsShareACode) {
    // Print screen, scroll lock and pause stand in for F13, F14 and F15; every other code is one
    // key's.
    std::map<uint16_t, int> keysPerCode;
    std::set<uint16_t> shared;
    for (int scancode = -1; scancode < SDL_NUM_SCANCODES + 5; ++scancode) {
        const std::optional<uint16_t> code = keyCodeForScancode(SDL_Scancode(scancode));
        if (code && ++keysPerCode[*code] > 1) shared.insert(*code);
    }
    EXPECT_EQ(shared, (std::set<uint16_t>{105, 107, 113}));
}

TEST(KeyCodes, KeyEventsCarryTheCodeCharactersAndFlagsOfAUSKeyboard) {
    using enum EventType;
    const auto translate = [](uint32_t type, SDL_Scancode scancode, uint16_t mod, uint8_t repeat) {
        SDL_KeyboardEvent key{};
        key.type = type;
        key.timestamp = 2500;
        key.repeat = repeat;
        key.keysym = {scancode, SDLK_UNKNOWN, mod, 0};
        return eventForKeyboardEvent(key);
    };
    // Nothing for a held modifier that repeats, keys without a code and events of other kinds.
    EXPECT_FALSE(translate(SDL_KEYDOWN, SDL_SCANCODE_LSHIFT, KMOD_LSHIFT, 1));
    EXPECT_FALSE(translate(SDL_KEYDOWN, SDL_SCANCODE_VOLUMEUP, KMOD_NONE, 0));
    EXPECT_FALSE(translate(SDL_TEXTINPUT, SDL_SCANCODE_A, KMOD_NONE, 0));

    constexpr uint64_t kArrow = kModifierNumericPad | kModifierFunction;
    struct Case {
        uint32_t type;
        SDL_Scancode scancode;
        uint16_t mod;
        uint8_t repeat;
        EventType result;
        uint16_t keyCode;
        const char *characters, *ignoringModifiers;
        uint64_t flags;
    };
    const Case cases[] = {
        // Caps lock shifts letters only; characters ignoring modifiers still apply shift.
        {SDL_KEYDOWN, SDL_SCANCODE_A, KMOD_CAPS, 0, keyDown, 0, "A", "a", kModifierCapsLock},
        {SDL_KEYDOWN, SDL_SCANCODE_1, KMOD_RSHIFT | KMOD_LCTRL, 0, keyDown, 18, "!", "!",
         kModifierShift | kModifierControl},
        {SDL_KEYUP, SDL_SCANCODE_ESCAPE, KMOD_LALT | KMOD_RGUI, 0, keyUp, 53, "\x1b", "\x1b",
         kModifierOption | kModifierCommand},
        // Arrows type private-use characters and carry the numeric-pad and function flags.
        {SDL_KEYDOWN, SDL_SCANCODE_UP, KMOD_NONE, 1, keyDown, 126, "\uF700", "\uF700", kArrow},
        // Keypad keys keep their codes and digits whatever num lock says.
        {SDL_KEYDOWN, SDL_SCANCODE_KP_9, KMOD_NUM, 0, keyDown, 92, "9", "9", kModifierNumericPad},
        // Modifier keys only change flags: the state after the change, no characters.
        {SDL_KEYDOWN, SDL_SCANCODE_LSHIFT, KMOD_LSHIFT, 0, flagsChanged, 56, "", "", kModifierShift},
        {SDL_KEYUP, SDL_SCANCODE_LSHIFT, KMOD_NONE, 0, flagsChanged, 56, "", "", 0},
    };
    for (const Case& c : cases) {
        const std::optional<Event> event = translate(c.type, c.scancode, c.mod, c.repeat);
        ASSERT_TRUE(event) << SDL_GetScancodeName(c.scancode);
        EXPECT_EQ(std::tuple(event->type, event->keyCode, event->characters, event->charactersIgnoringModifiers,
                             event->modifierFlags, event->isARepeat, event->timestamp),
                  std::tuple(c.result, c.keyCode, std::string(c.characters), std::string(c.ignoringModifiers),
                             c.flags, c.repeat != 0, 2.5))  // seconds
            << SDL_GetScancodeName(c.scancode);
    }
}
