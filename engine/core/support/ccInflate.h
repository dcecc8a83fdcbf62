#pragma once

#include <cstdint>

// Inflation of zlib and gzip data, in memory and from gzip and CCZ files. Each function hands the
// caller a malloc'ed buffer through `*out` (freed with free) and returns its length; failure
// returns 0 (in memory) or -1 (files) with `*out` null.
//
// CCZ file: a 16-byte big-endian header ("CCZ!", compression type 0 = zlib, format version below
// 3, 4 reserved bytes, uncompressed length) followed by one zlib stream.

// First output size of ccInflateMemory, and of ccInflateMemoryWithHint given a hint of 0 or less:
// 256 KiB.
inline constexpr int32_t kCCInflateDefaultSize = 256 * 1024;

// Most bytes any of these functions produces: 128 MiB. A few KiB of deflated zeros inflate to
// gigabytes, so output that would grow beyond this fails (with one log line) instead of exhausting
// memory. The largest data the engine inflates, a 4096 x 4096 RGBA texture, is 64 MiB.
inline constexpr int32_t kCCInflateMaxSize = 128 * 1024 * 1024;

// Inflates a zlib or gzip stream (recognised by its header). The output starts at
// `outLengthHint` bytes (the default size when the hint is 0 or less, the maximum when it is
// larger) and doubles while the stream goes on. Fails on corrupt or truncated data and on output
// beyond kCCInflateMaxSize.
int32_t ccInflateMemoryWithHint(const unsigned char* in, uint32_t inLength, unsigned char** out,
                                int32_t outLengthHint);
int32_t ccInflateMemory(const unsigned char* in, uint32_t inLength, unsigned char** out);

// Reads a gzip file whole (a file that is not gzip is read as it stands, as zlib's gzip reader
// does). Fails when the file cannot be opened or read, or holds more than kCCInflateMaxSize bytes.
int32_t ccInflateGZipFile(const char* path, unsigned char** out);

// Reads a CCZ file. Fails on a file shorter than the header, a wrong magic, compression type or
// version, a header length beyond kCCInflateMaxSize, or a stream that does not inflate within that
// length. Returns the number of bytes the stream produced, which may be fewer than the header says.
int32_t ccInflateCCZFile(const char* path, unsigned char** out);
