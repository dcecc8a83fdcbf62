#include "game/core/VTHidMapper.h"

#include <array>
#include <string_view>

namespace {

constexpr std::array<uint32_t, 17> kPlayStation3Buttons = {9, 10, 11, 8, 104, 105, 106, 107, 4,
                                                           5, 6,  7,  0, 1,   2,   3,   116};
constexpr std::array<uint32_t, 12> kSmartJoyButtons = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};

struct DeviceTable {
    std::string_view productName;
    std::span<const uint32_t> buttons;
};

constexpr std::array<DeviceTable, 2> kDeviceTables = {{
    {"PLAYSTATION(R)3 Controller", kPlayStation3Buttons},
    {"SmartJoy PLUS Adapter", kSmartJoyButtons},
}};

}  // namespace

VTHidMapper& VTHidMapper::sharedInstance() {
    static VTHidMapper mapper;
    return mapper;
}

void VTHidMapper::setDeviceName(const std::string& name) {
    deviceName_ = name;
    deviceMap_ = {};
    for (const DeviceTable& table : kDeviceTables) {
        if (table.productName == name) deviceMap_ = table.buttons;
    }
}

uint32_t VTHidMapper::map(uint32_t button) const {
    return button < deviceMap_.size() ? deviceMap_[button] : button;
}
