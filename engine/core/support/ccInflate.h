#pragma once

#include <cstdint>

#include "platform/foundation/InputLimits.h"

// Inflation of zlib and gzip data, in memory and from gzip and CCZ files. On success each function
// hands the caller a malloc'ed buffer through `*out` (freed with free), sized to fit, and returns
// its length; the buffer is not null even for 0 bytes. On failure each returns -1 with `*out`
// null.
//
// A gzip stream may hold several members one after the other; all of them are inflated, in memory
// and from files alike. Bytes after the last member (or after a zlib stream) that do not start
// another gzip member are ignored, as gzip itself does.
//
// CCZ file: a 16-byte big-endian header ("CCZ!", compression type 0 = zlib, format version below
// 3, 4 reserved bytes, uncompressed length) followed by one zlib stream.

// First output size of ccInflateMemory, and of ccInflateMemoryWithHint given a hint of 0 or less:
// 256 KiB.
inline constexpr int32_t kCCInflateDefaultSize = 256 * 1024;

// Most bytes any of these functions produces: InputLimits::kDecodedBytes (128 MiB). A few KiB of
// deflated zeros inflate to gigabytes, so output that would grow beyond this fails (with one log
// line) instead of exhausting memory.
inline constexpr int32_t kCCInflateMaxSize = static_cast<int32_t>(InputLimits::kDecodedBytes);

// Most bytes deflate turns one input byte into: a 258-byte match coded in 2 bits. No buffer is
// made larger than this many times the input, whatever a hint or header claims.
inline constexpr int64_t kCCInflateMaxRatio = 1032;

// Inflates a zlib or gzip stream (recognised by its header). The output starts at `outLengthHint`
// bytes (the default size when the hint is 0 or less; never more than the input can inflate to)
// and doubles while the stream goes on. Fails on corrupt or truncated data and on output beyond
// kCCInflateMaxSize.
int32_t ccInflateMemoryWithHint(const unsigned char* in, uint32_t inLength, unsigned char** out,
                                int32_t outLengthHint);
int32_t ccInflateMemory(const unsigned char* in, uint32_t inLength, unsigned char** out);

// Reads a gzip file whole (a file that does not start with the gzip magic is read as it stands).
// Fails when the file cannot be read (see ccLoadFileToMemory) or inflated as above.
int32_t ccInflateGZipFile(const char* path, unsigned char** out);

// Reads a CCZ file. Fails on a file that cannot be read, is shorter than the header, or has a wrong
// magic, compression type or version; on a header length beyond kCCInflateMaxSize; and on a stream
// that does not inflate within that length. Returns the number of bytes the stream produced, which
// may be fewer than the header says.
int32_t ccInflateCCZFile(const char* path, unsigned char** out);
