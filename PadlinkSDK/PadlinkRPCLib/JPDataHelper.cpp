#include "PadlinkSDK/PadlinkRPCLib/JPDataHelper.h"

#include <cstdint>

namespace {
// The 6-bit value of a base64 character, -1 outside the alphabet.
int sextet(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}
}  // namespace

std::string JPDataHelper::base64DataFromString(std::string_view text) {
    std::string data;
    data.reserve(text.size() / 4 * 3);
    uint32_t group = 0;
    int pending = 0;  // characters in group
    for (char c : text) {
        if (c == '=') {
            if (pending >= 2) data += static_cast<char>(group >> (6 * pending - 8) & 0xFF);
            if (pending == 3) data += static_cast<char>(group >> 2 & 0xFF);
            break;
        }
        const int value = sextet(c);
        if (value < 0) continue;
        group = group << 6 | static_cast<uint32_t>(value);
        if (++pending == 4) {
            data += static_cast<char>(group >> 16 & 0xFF);
            data += static_cast<char>(group >> 8 & 0xFF);
            data += static_cast<char>(group & 0xFF);
            group = 0;
            pending = 0;
        }
    }
    return data;
}
