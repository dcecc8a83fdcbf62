#include "platform/window/KeyCodes.h"

#include <array>

namespace {

// Private-use characters of the keys that type no text.
constexpr char32_t kUpArrowCharacter = 0xF700;
constexpr char32_t kDownArrowCharacter = 0xF701;
constexpr char32_t kLeftArrowCharacter = 0xF702;
constexpr char32_t kRightArrowCharacter = 0xF703;
constexpr char32_t kF1Character = 0xF704;  // F1..F20 are consecutive
constexpr char32_t kForwardDeleteCharacter = 0xF728;
constexpr char32_t kHomeCharacter = 0xF729;
constexpr char32_t kEndCharacter = 0xF72B;
constexpr char32_t kPageUpCharacter = 0xF72C;
constexpr char32_t kPageDownCharacter = 0xF72D;
constexpr char32_t kClearLineCharacter = 0xF739;
constexpr char32_t kHelpCharacter = 0xF746;

constexpr uint64_t kArrowFlags = kModifierNumericPad | kModifierFunction;

struct KeyEntry {
    SDL_Scancode scancode;
    uint16_t keyCode;
    char32_t character;         // typed without shift; 0 for none
    char32_t shiftedCharacter;  // typed with shift
    uint64_t flags;             // kModifierNumericPad / kModifierFunction the key itself carries
};

constexpr KeyEntry printable(SDL_Scancode scancode, uint16_t keyCode, char32_t character,
                       char32_t shiftedCharacter, uint64_t flags = 0) {
    return {scancode, keyCode, character, shiftedCharacter, flags};
}
constexpr KeyEntry special(SDL_Scancode scancode, uint16_t keyCode, char32_t character, uint64_t flags = 0) {
    return {scancode, keyCode, character, character, flags};
}
constexpr KeyEntry functionKey(SDL_Scancode scancode, uint16_t keyCode, int number) {
    return special(scancode, keyCode, kF1Character + char32_t(number - 1), kModifierFunction);
}

// A US ANSI keyboard. Keys of a PC keyboard that have no key of their own take the code of the
// key in their place (insert → help, print screen / scroll lock / pause → F13 / F14 / F15,
// num lock → the keypad's clear key).
constexpr KeyEntry kKeys[] = {
    printable(SDL_SCANCODE_A, 0, 'a', 'A'),
    printable(SDL_SCANCODE_S, 1, 's', 'S'),
    printable(SDL_SCANCODE_D, 2, 'd', 'D'),
    printable(SDL_SCANCODE_F, 3, 'f', 'F'),
    printable(SDL_SCANCODE_H, 4, 'h', 'H'),
    printable(SDL_SCANCODE_G, 5, 'g', 'G'),
    printable(SDL_SCANCODE_Z, 6, 'z', 'Z'),
    printable(SDL_SCANCODE_X, 7, 'x', 'X'),
    printable(SDL_SCANCODE_C, 8, 'c', 'C'),
    printable(SDL_SCANCODE_V, 9, 'v', 'V'),
    printable(SDL_SCANCODE_B, 11, 'b', 'B'),
    printable(SDL_SCANCODE_Q, 12, 'q', 'Q'),
    printable(SDL_SCANCODE_W, 13, 'w', 'W'),
    printable(SDL_SCANCODE_E, 14, 'e', 'E'),
    printable(SDL_SCANCODE_R, 15, 'r', 'R'),
    printable(SDL_SCANCODE_Y, 16, 'y', 'Y'),
    printable(SDL_SCANCODE_T, 17, 't', 'T'),
    printable(SDL_SCANCODE_1, 18, '1', '!'),
    printable(SDL_SCANCODE_2, 19, '2', '@'),
    printable(SDL_SCANCODE_3, 20, '3', '#'),
    printable(SDL_SCANCODE_4, 21, '4', '$'),
    printable(SDL_SCANCODE_6, 22, '6', '^'),
    printable(SDL_SCANCODE_5, 23, '5', '%'),
    printable(SDL_SCANCODE_EQUALS, 24, '=', '+'),
    printable(SDL_SCANCODE_9, 25, '9', '('),
    printable(SDL_SCANCODE_7, 26, '7', '&'),
    printable(SDL_SCANCODE_MINUS, 27, '-', '_'),
    printable(SDL_SCANCODE_8, 28, '8', '*'),
    printable(SDL_SCANCODE_0, 29, '0', ')'),
    printable(SDL_SCANCODE_RIGHTBRACKET, 30, ']', '}'),
    printable(SDL_SCANCODE_O, 31, 'o', 'O'),
    printable(SDL_SCANCODE_U, 32, 'u', 'U'),
    printable(SDL_SCANCODE_LEFTBRACKET, 33, '[', '{'),
    printable(SDL_SCANCODE_I, 34, 'i', 'I'),
    printable(SDL_SCANCODE_P, 35, 'p', 'P'),
    special(SDL_SCANCODE_RETURN, kKeyCodeReturn, '\r'),
    printable(SDL_SCANCODE_L, 37, 'l', 'L'),
    printable(SDL_SCANCODE_J, 38, 'j', 'J'),
    printable(SDL_SCANCODE_APOSTROPHE, 39, '\'', '"'),
    printable(SDL_SCANCODE_K, 40, 'k', 'K'),
    printable(SDL_SCANCODE_SEMICOLON, 41, ';', ':'),
    printable(SDL_SCANCODE_BACKSLASH, 42, '\\', '|'),
    printable(SDL_SCANCODE_COMMA, 43, ',', '<'),
    printable(SDL_SCANCODE_SLASH, 44, '/', '?'),
    printable(SDL_SCANCODE_N, 45, 'n', 'N'),
    printable(SDL_SCANCODE_M, 46, 'm', 'M'),
    printable(SDL_SCANCODE_PERIOD, 47, '.', '>'),
    special(SDL_SCANCODE_TAB, kKeyCodeTab, '\t'),
    special(SDL_SCANCODE_SPACE, kKeyCodeSpace, ' '),
    printable(SDL_SCANCODE_GRAVE, 50, '`', '~'),
    special(SDL_SCANCODE_BACKSPACE, kKeyCodeDelete, 0x7F),
    special(SDL_SCANCODE_ESCAPE, kKeyCodeEscape, 0x1B),
    special(SDL_SCANCODE_RGUI, 54, 0),
    special(SDL_SCANCODE_LGUI, 55, 0),
    special(SDL_SCANCODE_LSHIFT, 56, 0),
    special(SDL_SCANCODE_CAPSLOCK, 57, 0),
    special(SDL_SCANCODE_LALT, 58, 0),
    special(SDL_SCANCODE_LCTRL, 59, 0),
    special(SDL_SCANCODE_RSHIFT, 60, 0),
    special(SDL_SCANCODE_RALT, 61, 0),
    special(SDL_SCANCODE_RCTRL, 62, 0),
    functionKey(SDL_SCANCODE_F17, 64, 17),
    special(SDL_SCANCODE_KP_PERIOD, 65, '.', kModifierNumericPad),
    special(SDL_SCANCODE_KP_MULTIPLY, 67, '*', kModifierNumericPad),
    special(SDL_SCANCODE_KP_PLUS, 69, '+', kModifierNumericPad),
    special(SDL_SCANCODE_NUMLOCKCLEAR, 71, kClearLineCharacter, kModifierNumericPad),
    special(SDL_SCANCODE_KP_DIVIDE, 75, '/', kModifierNumericPad),
    special(SDL_SCANCODE_KP_ENTER, 76, 0x03, kModifierNumericPad),
    special(SDL_SCANCODE_KP_MINUS, 78, '-', kModifierNumericPad),
    functionKey(SDL_SCANCODE_F18, 79, 18),
    functionKey(SDL_SCANCODE_F19, 80, 19),
    special(SDL_SCANCODE_KP_EQUALS, 81, '=', kModifierNumericPad),
    special(SDL_SCANCODE_KP_0, kKeyCodeKeypad0, '0', kModifierNumericPad),
    special(SDL_SCANCODE_KP_1, kKeyCodeKeypad1, '1', kModifierNumericPad),
    special(SDL_SCANCODE_KP_2, kKeyCodeKeypad2, '2', kModifierNumericPad),
    special(SDL_SCANCODE_KP_3, kKeyCodeKeypad3, '3', kModifierNumericPad),
    special(SDL_SCANCODE_KP_4, kKeyCodeKeypad4, '4', kModifierNumericPad),
    special(SDL_SCANCODE_KP_5, kKeyCodeKeypad5, '5', kModifierNumericPad),
    special(SDL_SCANCODE_KP_6, kKeyCodeKeypad6, '6', kModifierNumericPad),
    special(SDL_SCANCODE_KP_7, kKeyCodeKeypad7, '7', kModifierNumericPad),
    functionKey(SDL_SCANCODE_F20, 90, 20),
    special(SDL_SCANCODE_KP_8, kKeyCodeKeypad8, '8', kModifierNumericPad),
    special(SDL_SCANCODE_KP_9, kKeyCodeKeypad9, '9', kModifierNumericPad),
    functionKey(SDL_SCANCODE_F5, 96, 5),
    functionKey(SDL_SCANCODE_F6, 97, 6),
    functionKey(SDL_SCANCODE_F7, 98, 7),
    functionKey(SDL_SCANCODE_F3, 99, 3),
    functionKey(SDL_SCANCODE_F8, 100, 8),
    functionKey(SDL_SCANCODE_F9, 101, 9),
    functionKey(SDL_SCANCODE_F11, 103, 11),
    functionKey(SDL_SCANCODE_F13, 105, 13),
    functionKey(SDL_SCANCODE_PRINTSCREEN, 105, 13),
    functionKey(SDL_SCANCODE_F16, 106, 16),
    functionKey(SDL_SCANCODE_F14, 107, 14),
    functionKey(SDL_SCANCODE_SCROLLLOCK, 107, 14),
    functionKey(SDL_SCANCODE_F10, 109, 10),
    functionKey(SDL_SCANCODE_F12, 111, 12),
    functionKey(SDL_SCANCODE_F15, 113, 15),
    functionKey(SDL_SCANCODE_PAUSE, 113, 15),
    special(SDL_SCANCODE_INSERT, 114, kHelpCharacter, kModifierFunction),
    special(SDL_SCANCODE_HOME, 115, kHomeCharacter, kModifierFunction),
    special(SDL_SCANCODE_PAGEUP, 116, kPageUpCharacter, kModifierFunction),
    special(SDL_SCANCODE_DELETE, 117, kForwardDeleteCharacter, kModifierFunction),
    functionKey(SDL_SCANCODE_F4, 118, 4),
    special(SDL_SCANCODE_END, 119, kEndCharacter, kModifierFunction),
    functionKey(SDL_SCANCODE_F2, 120, 2),
    special(SDL_SCANCODE_PAGEDOWN, 121, kPageDownCharacter, kModifierFunction),
    functionKey(SDL_SCANCODE_F1, 122, 1),
    special(SDL_SCANCODE_LEFT, kKeyCodeLeftArrow, kLeftArrowCharacter, kArrowFlags),
    special(SDL_SCANCODE_RIGHT, kKeyCodeRightArrow, kRightArrowCharacter, kArrowFlags),
    special(SDL_SCANCODE_DOWN, kKeyCodeDownArrow, kDownArrowCharacter, kArrowFlags),
    special(SDL_SCANCODE_UP, kKeyCodeUpArrow, kUpArrowCharacter, kArrowFlags),
};

// kKeys indexed by scancode; null where the key has no code.
const std::array<const KeyEntry*, SDL_NUM_SCANCODES>& keysByScancode() {
    static const auto table = [] {
        std::array<const KeyEntry*, SDL_NUM_SCANCODES> byScancode{};
        for (const KeyEntry& entry : kKeys) byScancode[entry.scancode] = &entry;
        return byScancode;
    }();
    return table;
}

const KeyEntry* findKey(SDL_Scancode scancode) {
    if (scancode < 0 || scancode >= SDL_NUM_SCANCODES) return nullptr;
    return keysByScancode()[scancode];
}

std::string utf8(char32_t c) {
    std::string out;
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else {  // the table holds nothing beyond the basic multilingual plane
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
    return out;
}

}  // namespace

std::optional<uint16_t> keyCodeForScancode(SDL_Scancode scancode) {
    const KeyEntry* entry = findKey(scancode);
    if (!entry) return std::nullopt;
    return entry->keyCode;
}

uint64_t modifierFlagsForKeyMod(uint16_t keyMod) {
    uint64_t flags = 0;
    if (keyMod & KMOD_CAPS) flags |= kModifierCapsLock;
    if (keyMod & KMOD_SHIFT) flags |= kModifierShift;
    if (keyMod & KMOD_CTRL) flags |= kModifierControl;
    if (keyMod & (KMOD_ALT | KMOD_MODE)) flags |= kModifierOption;
    if (keyMod & KMOD_GUI) flags |= kModifierCommand;
    return flags;
}

bool isModifierScancode(SDL_Scancode scancode) {
    switch (scancode) {
        case SDL_SCANCODE_LSHIFT: case SDL_SCANCODE_RSHIFT:
        case SDL_SCANCODE_LCTRL: case SDL_SCANCODE_RCTRL:
        case SDL_SCANCODE_LALT: case SDL_SCANCODE_RALT:
        case SDL_SCANCODE_LGUI: case SDL_SCANCODE_RGUI:
        case SDL_SCANCODE_CAPSLOCK:
            return true;
        default:
            return false;
    }
}

std::string charactersForScancode(SDL_Scancode scancode, bool shift, bool capsLock) {
    const KeyEntry* entry = findKey(scancode);
    if (!entry || entry->character == 0) return {};
    const bool letter = entry->character >= 'a' && entry->character <= 'z';
    const bool upper = shift || (letter && capsLock);
    return utf8(upper ? entry->shiftedCharacter : entry->character);
}

std::optional<Event> eventForKeyboardEvent(const SDL_KeyboardEvent& key) {
    if (key.type != SDL_KEYDOWN && key.type != SDL_KEYUP) return std::nullopt;
    const SDL_Scancode scancode = key.keysym.scancode;
    const KeyEntry* entry = findKey(scancode);
    if (!entry) return std::nullopt;

    Event event;
    event.timestamp = key.timestamp / 1000.0;
    event.keyCode = entry->keyCode;
    event.modifierFlags = modifierFlagsForKeyMod(key.keysym.mod);
    if (isModifierScancode(scancode)) {
        // A held modifier that repeats changes no flag.
        if (key.repeat) return std::nullopt;
        event.type = EventType::flagsChanged;
        return event;
    }

    event.type = key.type == SDL_KEYDOWN ? EventType::keyDown : EventType::keyUp;
    event.isARepeat = key.type == SDL_KEYDOWN && key.repeat != 0;
    const bool shift = event.modifierFlags & kModifierShift;
    const bool capsLock = event.modifierFlags & kModifierCapsLock;
    event.characters = charactersForScancode(scancode, shift, capsLock);
    event.charactersIgnoringModifiers = charactersForScancode(scancode, shift, false);
    event.modifierFlags |= entry->flags;
    return event;
}
