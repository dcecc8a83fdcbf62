#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "engine/core/CCConfiguration.h"

namespace {

TEST(CCConfigurationTest, VersionsPackOneBytePerComponent) {
    EXPECT_EQ(CCConfiguration::packOSVersion("10.8.5"), 0x0A080500u);
    EXPECT_EQ(CCConfiguration::packOSVersion("10.9"), 0x0A090000u);
    EXPECT_EQ(CCConfiguration::packOSVersion("6.1.0.7.9"), 0x06010007u);
    EXPECT_EQ(CCConfiguration::packOSVersion(""), 0u);

    int major = -1, minor = -1, patch = -1;
    const std::string version = CCConfiguration::getMacVersion();
    ASSERT_EQ(std::sscanf(version.c_str(), "%d.%d.%d", &major, &minor, &patch), 3) << version;
    EXPECT_GT(major, 0);
}

}  // namespace
