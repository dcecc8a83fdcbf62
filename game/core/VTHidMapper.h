#pragma once

#include <cstdint>
#include <span>
#include <string>

// Turns raw game-pad button numbers into the logical buttons the play scene and the menu act on:
// 0 back, 1 to 3 continue or play again, 8 and 9 start, 104 to 107 the d-pad up, right, down and
// left, 116 full screen. Each known product has a table indexed by the raw number; numbers beyond
// a table, and every button of a product without one, pass through unchanged.
//
// Main thread only (the HID layer and its users run there).
class VTHidMapper {
public:
    // Made on first use, thread-safely, and kept for the life of the program.
    static VTHidMapper& sharedInstance();

    // Selects the table of the product of that name; an empty name or an unknown product selects
    // none.
    void setDeviceName(const std::string& name);
    const std::string& deviceName() const { return deviceName_; }

    uint32_t map(uint32_t button) const;

private:
    VTHidMapper() = default;

    std::string deviceName_;
    std::span<const uint32_t> deviceMap_;  // the selected table; empty when none
};
