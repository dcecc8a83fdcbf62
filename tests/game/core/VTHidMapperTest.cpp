#include "game/core/VTHidMapper.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

TEST(VTHidMapperTest, MapsByTheSelectedProductsTableAndPassesTheRestThrough) {
    VTHidMapper& mapper = VTHidMapper::sharedInstance();
    const std::tuple<std::string, uint32_t, uint32_t> cases[] = {
        {"PLAYSTATION(R)3 Controller", 0, 9},   {"PLAYSTATION(R)3 Controller", 3, 8},
        {"PLAYSTATION(R)3 Controller", 4, 104}, {"PLAYSTATION(R)3 Controller", 7, 107},
        {"PLAYSTATION(R)3 Controller", 12, 0},  {"PLAYSTATION(R)3 Controller", 16, 116},
        {"PLAYSTATION(R)3 Controller", 17, 17}, {"PLAYSTATION(R)3 Controller", 4000000000u, 4000000000u},
        {"SmartJoy PLUS Adapter", 0, 0},        {"SmartJoy PLUS Adapter", 11, 11},
        {"SmartJoy PLUS Adapter", 16, 16},      {"Some Other Pad", 4, 4},
        {"", 16, 16},                           {"playstation(r)3 controller", 16, 16},
    };
    for (const auto& [name, raw, logical] : cases) {
        mapper.setDeviceName(name);
        EXPECT_EQ(mapper.map(raw), logical) << name << " " << raw;
    }
    // Switching back from an unknown product selects the table again.
    mapper.setDeviceName("PLAYSTATION(R)3 Controller");
    EXPECT_EQ(mapper.map(16), 116u);
    mapper.setDeviceName("");
}

}  // namespace
