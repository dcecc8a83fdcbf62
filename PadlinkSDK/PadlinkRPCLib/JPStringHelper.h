#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Text helpers of the message encoder.
struct JPStringHelper {
    // Replaces, in this order, "&" by "&amp;", '"' by "&quot;", "'" by "&#x27;", ">" by "&gt;" and
    // "<" by "&lt;".
    static std::string escapeString(std::string_view text);
    // Standard base64 with "=" padding. A "\n" follows every 90 input bytes, and, when lineLength
    // is above 0, also every time the characters written since the last such break reach
    // lineLength (the encoder passes the data's own length, so "abc" gives "YWJj\n").
    static std::string base64StringFromData(std::string_view data, size_t lineLength);
};
