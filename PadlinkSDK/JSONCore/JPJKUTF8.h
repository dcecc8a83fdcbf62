#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// UTF-8 sequences as the JSON decoder and encoder read and write them.
namespace JPJKUTF8 {

enum class Status {
    Ok,         // a well-formed sequence
    Malformed,  // not well-formed; `length` bytes (the lead and its good continuation bytes) to skip
    Truncated,  // well-formed so far, but the input ends before the sequence does
};

struct Sequence {
    Status status;
    uint32_t codePoint;  // valid when Ok
    size_t length;       // bytes read (Ok) or to skip (Malformed); at least 1
};

// Reads the sequence starting at `bytes` (before `end`) by the Unicode standard's table of
// well-formed byte sequences: lead bytes C2-F4, continuation bytes 80-BF, with E0 needing A0-BF,
// ED 80-9F, F0 90-BF and F4 80-8F as the second byte (so no surrogates, nothing above U+10FFFF).
Sequence read(const uint8_t* bytes, const uint8_t* end);

// U+0000, U+FDD0-U+FDEF and the code points whose low 16 bits are FFFE or FFFF: well-formed, but
// refused inside JSON strings.
inline bool isRefusedInJSON(uint32_t codePoint) {
    return codePoint == 0 || (codePoint >= 0xFDD0 && codePoint <= 0xFDEF) || (codePoint & 0xFFFE) == 0xFFFE;
}

// Writes the code point (at most U+10FFFF, no surrogate) as 1 to 4 bytes at `out`; returns the count.
size_t write(uint32_t codePoint, uint8_t* out);

// True when every sequence of the text is well-formed.
bool isWellFormed(const std::string& text);

}  // namespace JPJKUTF8
