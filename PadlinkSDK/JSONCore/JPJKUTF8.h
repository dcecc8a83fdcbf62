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

// UTF-16 surrogates, as \u escapes carry code points above U+FFFF: the code point less 0x10000
// (20 bits) goes as a high surrogate holding its top ten bits, then a low one holding its bottom
// ten.
inline constexpr uint32_t kHighSurrogateFirst = 0xD800, kHighSurrogateLast = 0xDBFF;
inline constexpr uint32_t kLowSurrogateFirst = 0xDC00, kLowSurrogateLast = 0xDFFF;
inline constexpr uint32_t kFirstSupplementary = 0x10000;  // the first code point that needs two
inline constexpr uint32_t kSurrogateBits = 10;              // of the code point, in each surrogate
inline constexpr uint32_t kSurrogateMask = (1u << kSurrogateBits) - 1;

inline bool isHighSurrogate(uint32_t unit) { return unit >= kHighSurrogateFirst && unit <= kHighSurrogateLast; }
inline bool isLowSurrogate(uint32_t unit) { return unit >= kLowSurrogateFirst && unit <= kLowSurrogateLast; }
// The pair of a code point from kFirstSupplementary to U+10FFFF.
inline uint32_t highSurrogate(uint32_t codePoint) {
    return kHighSurrogateFirst + ((codePoint - kFirstSupplementary) >> kSurrogateBits);
}
inline uint32_t lowSurrogate(uint32_t codePoint) { return kLowSurrogateFirst + (codePoint & kSurrogateMask); }
// The code point of a high and a low surrogate.
inline uint32_t fromSurrogates(uint32_t high, uint32_t low) {
    return kFirstSupplementary + ((high - kHighSurrogateFirst) << kSurrogateBits) + (low - kLowSurrogateFirst);
}

// Writes the code point (at most U+10FFFF, no surrogate) as 1 to 4 bytes at `out`; returns the count.
size_t write(uint32_t codePoint, uint8_t* out);

// True when every sequence of the text is well-formed.
bool isWellFormed(const std::string& text);

}  // namespace JPJKUTF8
