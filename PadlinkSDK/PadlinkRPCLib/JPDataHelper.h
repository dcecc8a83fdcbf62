#pragma once

#include <string>
#include <string_view>

// Byte helpers of the message reader.
struct JPDataHelper {
    // Decodes base64 text: characters outside the alphabet are skipped, every four alphabet
    // characters give three bytes, and at the first "=" a pending group of two or three characters
    // gives one or two bytes and decoding stops. A trailing group cut short without "=" is dropped.
    static std::string base64DataFromString(std::string_view text);
};
