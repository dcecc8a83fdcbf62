#include "platform/window/KeyCodes.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

SDL_KeyboardEvent keyEvent(uint32_t type, SDL_Scancode scancode, uint16_t mod = KMOD_NONE, uint8_t repeat = 0,
                           uint32_t timestampMs = 0) {
    SDL_KeyboardEvent key{};
    key.type = type;
    key.timestamp = timestampMs;
    key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    key.repeat = repeat;
    key.keysym.scancode = scancode;
    key.keysym.mod = mod;
    return key;
}

}  // namespace

TEST(KeyCodes, VirtualKeyCodesOfAUSKeyboard) {
    const std::map<SDL_Scancode, uint16_t> expected = {
        {SDL_SCANCODE_A, 0},       {SDL_SCANCODE_Z, 6},      {SDL_SCANCODE_B, 11},        {SDL_SCANCODE_M, 46},
        {SDL_SCANCODE_5, 23},      {SDL_SCANCODE_6, 22},     {SDL_SCANCODE_0, 29},        {SDL_SCANCODE_RETURN, 36},
        {SDL_SCANCODE_TAB, 48},    {SDL_SCANCODE_ESCAPE, 53}, {SDL_SCANCODE_LSHIFT, 56},  {SDL_SCANCODE_LCTRL, 59},
        {SDL_SCANCODE_LALT, 58},   {SDL_SCANCODE_LGUI, 55},  {SDL_SCANCODE_KP_0, 82},     {SDL_SCANCODE_KP_7, 89},
        {SDL_SCANCODE_KP_8, 91},   {SDL_SCANCODE_F1, 122},   {SDL_SCANCODE_F5, 96},       {SDL_SCANCODE_F12, 111},
        {SDL_SCANCODE_LEFT, 123},  {SDL_SCANCODE_UP, 126},   {SDL_SCANCODE_DELETE, 117},  {SDL_SCANCODE_KP_ENTER, 76},
    };
    for (const auto& [scancode, code] : expected) {
        EXPECT_EQ(keyCodeForScancode(scancode), code) << SDL_GetScancodeName(scancode);
    }

    // Keys without a code, and values outside SDL's range.
    EXPECT_FALSE(keyCodeForScancode(SDL_SCANCODE_VOLUMEUP));
    EXPECT_FALSE(keyCodeForScancode(SDL_Scancode(SDL_NUM_SCANCODES + 5)));
    EXPECT_FALSE(keyCodeForScancode(SDL_Scancode(-1)));

    // Two keys share a code only where a PC key stands in for the key at its place
    // (print screen, scroll lock and pause for F13, F14 and F15).
    std::map<uint16_t, int> keysPerCode;
    for (int scancode = 0; scancode < SDL_NUM_SCANCODES; ++scancode) {
        if (auto code = keyCodeForScancode(SDL_Scancode(scancode))) ++keysPerCode[*code];
    }
    std::set<uint16_t> shared;
    for (const auto& [code, count] : keysPerCode) {
        if (count > 1) shared.insert(code);
    }
    EXPECT_EQ(shared, (std::set<uint16_t>{105, 107, 113}));
}

TEST(KeyCodes, CharactersOfAUSLayout) {
    EXPECT_EQ(charactersForScancode(SDL_SCANCODE_A, false, true), "A");
    EXPECT_EQ(charactersForScancode(SDL_SCANCODE_1, false, true), "1");  // caps lock shifts letters only
    EXPECT_EQ(charactersForScancode(SDL_SCANCODE_1, true, false), "!");
    EXPECT_EQ(charactersForScancode(SDL_SCANCODE_APOSTROPHE, true, false), "\"");

    EXPECT_EQ(charactersForScancode(SDL_SCANCODE_RETURN, false, false), "\r");
    EXPECT_EQ(charactersForScancode(SDL_SCANCODE_BACKSPACE, false, false), "\x7f");
    EXPECT_EQ(charactersForScancode(SDL_SCANCODE_TAB, true, false), "\t");

    EXPECT_EQ(charactersForScancode(SDL_SCANCODE_LEFT, true, false), kLeftArrowCharacters);
    EXPECT_EQ(charactersForScancode(SDL_SCANCODE_UP, false, false), "\xEF\x9C\x80");  // U+F700 in UTF-8
    EXPECT_EQ(charactersForScancode(SDL_SCANCODE_F12, false, false), "\uF70F");
    EXPECT_EQ(charactersForScancode(SDL_SCANCODE_DELETE, false, false), "\uF728");

    EXPECT_EQ(charactersForScancode(SDL_SCANCODE_KP_7, true, false), "7");
    EXPECT_EQ(charactersForScancode(SDL_SCANCODE_KP_ENTER, false, false), "\x03");
    EXPECT_EQ(charactersForScancode(SDL_SCANCODE_LSHIFT, true, false), "");
}

TEST(KeyCodes, ModifierFlags) {
    EXPECT_EQ(modifierFlagsForKeyMod(KMOD_RSHIFT), kModifierShift);
    EXPECT_EQ(modifierFlagsForKeyMod(KMOD_LALT), kModifierOption);
    EXPECT_EQ(modifierFlagsForKeyMod(KMOD_NUM), 0u);  // num lock has no flag
    EXPECT_EQ(modifierFlagsForKeyMod(KMOD_RCTRL | KMOD_LGUI | KMOD_CAPS),
              kModifierControl | kModifierCommand | kModifierCapsLock);

    for (SDL_Scancode modifier : {SDL_SCANCODE_LSHIFT, SDL_SCANCODE_RSHIFT, SDL_SCANCODE_LCTRL, SDL_SCANCODE_RCTRL,
                                  SDL_SCANCODE_LALT, SDL_SCANCODE_RALT, SDL_SCANCODE_LGUI, SDL_SCANCODE_RGUI,
                                  SDL_SCANCODE_CAPSLOCK}) {
        EXPECT_TRUE(isModifierScancode(modifier)) << SDL_GetScancodeName(modifier);
    }
    EXPECT_FALSE(isModifierScancode(SDL_SCANCODE_A));
    EXPECT_FALSE(isModifierScancode(SDL_SCANCODE_NUMLOCKCLEAR));
}

TEST(KeyCodes, KeyEvents) {
    // An arrow held down: a repeated key-down with the numeric-pad and function flags.
    auto arrow = eventForKeyboardEvent(keyEvent(SDL_KEYDOWN, SDL_SCANCODE_UP, KMOD_NONE, 1, 2500));
    ASSERT_TRUE(arrow);
    EXPECT_EQ(arrow->type, EventType::keyDown);
    EXPECT_EQ(arrow->keyCode, kKeyCodeUpArrow);
    EXPECT_EQ(arrow->charactersIgnoringModifiers, kUpArrowCharacters);
    EXPECT_EQ(arrow->modifierFlags, kModifierNumericPad | kModifierFunction);
    EXPECT_TRUE(arrow->isARepeat);
    EXPECT_DOUBLE_EQ(arrow->timestamp, 2.5);

    auto released = eventForKeyboardEvent(keyEvent(SDL_KEYUP, SDL_SCANCODE_UP));
    ASSERT_TRUE(released);
    EXPECT_EQ(released->type, EventType::keyUp);

    // A keypad digit carries the numeric-pad flag and types its digit.
    auto keypad = eventForKeyboardEvent(keyEvent(SDL_KEYDOWN, SDL_SCANCODE_KP_9, KMOD_NUM));
    ASSERT_TRUE(keypad);
    EXPECT_EQ(keypad->characters, "9");
    EXPECT_EQ(keypad->modifierFlags, kModifierNumericPad);

    // Letters: characters follow shift and caps lock, characters ignoring modifiers only shift.
    auto capsA = eventForKeyboardEvent(keyEvent(SDL_KEYDOWN, SDL_SCANCODE_A, KMOD_CAPS));
    ASSERT_TRUE(capsA);
    EXPECT_EQ(capsA->characters, "A");
    EXPECT_EQ(capsA->charactersIgnoringModifiers, "a");
    EXPECT_EQ(capsA->modifierFlags, kModifierCapsLock);
    auto shiftedOne = eventForKeyboardEvent(keyEvent(SDL_KEYDOWN, SDL_SCANCODE_1, KMOD_RSHIFT | KMOD_LCTRL));
    ASSERT_TRUE(shiftedOne);
    EXPECT_EQ(shiftedOne->characters, "!");
    EXPECT_EQ(shiftedOne->charactersIgnoringModifiers, "!");
    EXPECT_EQ(shiftedOne->modifierFlags, kModifierShift | kModifierControl);

    // Modifier keys change flags only: flagsChanged with the state after the change, never a
    // key-down or key-up, and nothing for a held modifier that repeats.
    auto shiftDown = eventForKeyboardEvent(keyEvent(SDL_KEYDOWN, SDL_SCANCODE_LSHIFT, KMOD_LSHIFT));
    ASSERT_TRUE(shiftDown);
    EXPECT_EQ(shiftDown->type, EventType::flagsChanged);
    EXPECT_EQ(shiftDown->modifierFlags, kModifierShift);
    auto shiftUp = eventForKeyboardEvent(keyEvent(SDL_KEYUP, SDL_SCANCODE_LSHIFT, KMOD_NONE));
    ASSERT_TRUE(shiftUp);
    EXPECT_EQ(shiftUp->type, EventType::flagsChanged);
    EXPECT_EQ(shiftUp->modifierFlags, 0u);
    EXPECT_FALSE(eventForKeyboardEvent(keyEvent(SDL_KEYDOWN, SDL_SCANCODE_LSHIFT, KMOD_LSHIFT, 1)));

    // Keys without a code and events that are no key events give nothing.
    EXPECT_FALSE(eventForKeyboardEvent(keyEvent(SDL_KEYDOWN, SDL_SCANCODE_VOLUMEUP)));
    EXPECT_FALSE(eventForKeyboardEvent(keyEvent(SDL_TEXTINPUT, SDL_SCANCODE_A)));
}
