#include "engine/core/CCConfiguration.h"

#include <gtest/gtest.h>

namespace {

TEST(CCConfigurationTest, VersionsPackOneBytePerComponent) {
    EXPECT_EQ(CCConfiguration::packOSVersion("10.8.5"), 0x0A080500u);
    EXPECT_EQ(CCConfiguration::packOSVersion("10.9"), 0x0A090000u);
    EXPECT_EQ(CCConfiguration::packOSVersion("6.1.0.7.9"), 0x06010007u);
    EXPECT_EQ(CCConfiguration::packOSVersion(""), 0u);
    EXPECT_NE(CCConfiguration::packOSVersion(CCConfiguration::getMacVersion()) >> 24, 0u);
}

}  // namespace
