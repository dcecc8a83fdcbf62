#include "PadlinkSDK/PadlinkRPCLib/JPLogger.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/foundation/Log.h"

// Both halves in full, with leading zeros, high half first.
TEST(JPLogger, Log64ShowsBothHalvesOfTheWord) {
    const std::pair<uint64_t, std::string> cases[] = {
        {0, "word: 0x00000000 00000000"},
        {(uint64_t{1} << 62) | 5, "word: 0x40000000 00000005"},
        {UINT64_MAX, "word: 0xffffffff ffffffff"},
        {0x0000ABCD12345678, "word: 0x0000abcd 12345678"},
    };
    for (const auto& [word, line] : cases) {
        LogCapture capture;
        JPLogger::log64(word, "word");
        EXPECT_EQ(capture.lines(), std::vector<std::string>{line});
    }
}
