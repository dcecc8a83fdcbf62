#pragma once

#include <initializer_list>

#include "PadlinkSDK/PadlinkRPCLib/JPControllerLayout.h"

// The labelled buttons and the d-pad that the preset and pre-installed layouts share.
namespace JPLayoutPresets {

struct Button {
    const char* label;
    int32_t identifier;
    CGRect frame;
    uint32_t fontSize, shape, color;
};

inline constexpr Button kNesA{"A", 6, {{380, 0}, {100, 320}}, 44, 0, 0};
inline constexpr Button kNesB{"B", 7, {{280, 0}, {100, 320}}, 44, 0, 0};
inline constexpr Button kGbaA{"A", 6, {{380, 102}, {100, 218}}, 44, 0, 0};
inline constexpr Button kGbaB{"B", 7, {{280, 102}, {100, 218}}, 44, 0, 0};
inline constexpr Button kGbaL{"L", 14, {{280, 0}, {100, 102}}, 28, 0, 1};
inline constexpr Button kGbaR{"R", 15, {{380, 0}, {100, 102}}, 28, 0, 1};
inline constexpr Button kSnesL{"L", 14, {{280, 0}, {100, 64}}, 24, 0, 1};
inline constexpr Button kSnesR{"R", 15, {{380, 0}, {100, 64}}, 24, 0, 1};
inline constexpr Button kSelect{"SELECT", 12, {{11, 14}, {68, 20}}, 10, 2, 1};
inline constexpr Button kStart{"START", 13, {{88, 14}, {68, 20}}, 10, 2, 1};
inline constexpr CGRect kButtonBlockFrame{{280, 61}, {200, 259}};

// D-pad 0 on the left half, centred at (110, 182).
inline void addDpad(JPControllerLayout& layout) {
    layout.addDpadWithFrame(CGRectMake(0, 44, 280, 256), CGPointMake(110, 182), 0);
}

inline void addButtons(JPControllerLayout& layout, std::initializer_list<Button> buttons) {
    for (const Button& b : buttons) layout.addButtonWithFrame(b.frame, b.label, b.fontSize, b.shape, b.color, b.identifier);
}

// Unlabelled buttons with zero frames.
inline void addPlainButtons(JPControllerLayout& layout, std::initializer_list<int32_t> identifiers) {
    for (int32_t identifier : identifiers) layout.addButtonWithFrame(CGRectZero, identifier);
}

}  // namespace JPLayoutPresets
