#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Budgets that every reader of outside data keeps to: resource files, saved files, images, property
// lists, compressed data and network messages. Whatever the input, a reader answers within
// bounded time and memory: it checks the budget before it allocates or loops, refuses input that
// would exceed it with one log line, and never reports a cut or made-up result as success.
//
// The numbers sit here, in one place, so that a reader and its fuzz target agree on them.
namespace InputLimits {

// Bytes of one file read whole into memory: 64 MiB. The largest resource the game ships is a few
// MiB; a saved file is a few KiB.
inline constexpr uint64_t kFileBytes = uint64_t{64} << 20;

// Bytes that decompressing or decoding one input may produce: 128 MiB. The largest data the engine
// decodes, a 4096 x 4096 RGBA texture, is 64 MiB.
inline constexpr uint64_t kDecodedBytes = uint64_t{128} << 20;

// Pixels of one decoded image, RGBA8 in memory: kDecodedBytes / 4 (32 Mi pixels).
inline constexpr uint64_t kImagePixels = kDecodedBytes / 4;

// Scans of one progressive JPEG. Encoders write about ten; decoding time grows with each scan.
inline constexpr uint32_t kImageScans = 256;

// Bytes libpng may allocate for one ancillary chunk (text, ICC profile, ...): 1 MiB; and how many
// ancillary chunks it keeps at most.
inline constexpr uint64_t kImageChunkBytes = uint64_t{1} << 20;
inline constexpr uint32_t kImageChunks = 1000;

// Values in one property list, counting every dictionary, array and scalar once per place it stands
// (a binary list may reference one object from many places): 1 Mi. The game's largest list holds a
// few thousand.
inline constexpr uint64_t kPropertyListValues = uint64_t{1} << 20;

// Nesting depth of dictionaries and arrays in one property list, XML-RPC value or JSON document.
inline constexpr int kNestingDepth = 512;

// Bytes of one message body on a phone's command channel: 1 MiB. The largest the game sends, a
// layout with its images named, is a few KiB.
inline constexpr uint64_t kMessageBytes = uint64_t{1} << 20;

// Bytes of one request line to the image server (a file name and CR LF): 1 KiB.
inline constexpr uint64_t kRequestLineBytes = 1024;

}  // namespace InputLimits

// Reads the whole file at `path` into `*bytes` when it is a regular file of at most `maxBytes`.
// On failure returns false with `*bytes` empty and the reason in `*why` ("no such file", "not a
// regular file", "larger than 67108864 bytes", ...); nothing is logged, so that the caller can name
// what the file was for.
bool readRegularFile(const std::string& path, uint64_t maxBytes, std::vector<uint8_t>* bytes, std::string* why);
