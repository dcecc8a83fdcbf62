#pragma once

#include <cstdint>
#include <string>

// Logging helpers for looking at what the phones send.
class JPLogger {
public:
    // Logs "<annotation>: 0x<high half> <low half>" of a 64-bit word (an input word, say), each
    // half as eight hex digits: "state: 0x40000000 00000005".
    static void log64(uint64_t word, const std::string& annotation);
};
