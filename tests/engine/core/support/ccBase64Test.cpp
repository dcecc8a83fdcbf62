#include "engine/core/support/ccBase64.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "platform/foundation/Log.h"

namespace {
// Decodes with base64DecodeAlloc; nullopt when it reports an error (null buffer).
std::optional<std::string> decode(const std::string& text) {
    unsigned char* out = nullptr;
    const auto* in = reinterpret_cast<const unsigned char*>(text.data());
    const uint32_t length = base64DecodeAlloc(in, static_cast<uint32_t>(text.size()), &out);
    if (!out) return std::nullopt;
    std::string bytes(reinterpret_cast<char*>(out), length);
    std::free(out);
    return bytes;
}
}  // namespace

TEST(ccBase64, DecodesGroupsSkipsForeignCharactersAndStopsAtTheFirstPad) {
    const std::pair<std::string, std::optional<std::string>> cases[] = {
        {"TWFu", "Man"}, {"TWE=", "Ma"}, {"TQ==", "M"}, {"SGVsbG8sIHdvcmxkIQ==", "Hello, world!"}, {"", ""},
        {"+/+/", "\xfb\xff\xbf"}, {" T W\r\nF u\t", "Man"}, {"TQ==TWFu", "M"}, {"TWFu\x80\xff*TWFu", "ManMan"},
        {"TWF", ""}, {"TWFuTW", "Man"},  // a group cut short without padding is dropped without an error
        {"T=", std::nullopt},            // one character before the pad is an error
    };
    for (const auto& [text, bytes] : cases) EXPECT_EQ(decode(text), bytes) << text;
    // Decoding in place reports the error and keeps what came before it.
    LogCapture capture;
    unsigned char out[8] = {};
    uint32_t length = 99;
    EXPECT_EQ(base64DecodeInto(reinterpret_cast<const unsigned char*>("TWFuT="), 6, out, &length), 1);
    EXPECT_EQ(length, 3u);
    EXPECT_TRUE(capture.contains("base64Decode: encoding incomplete: at least 2 bits missing"));
}
