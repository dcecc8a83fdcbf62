#include "engine/core/support/ccInflate.h"

#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "engine/core/support/CCFileUtils.h"
#include "platform/foundation/Log.h"

namespace {
struct FreeDeleter {
    void operator()(void* bytes) const { std::free(bytes); }
};
// A malloc'ed buffer, freed unless handed to the caller with release().
using MallocBuffer = std::unique_ptr<unsigned char, FreeDeleter>;

// Output buffers grow to at most one byte past the maximum: filling that byte proves the data
// too large without inflating any further.
constexpr int64_t kOutputLimit = int64_t{kCCInflateMaxSize} + 1;

constexpr int kZlibOrGzipWindowBits = 15 + 32;
constexpr int64_t kCCZHeaderLength = 16;

void logTooLarge() { logLine("Lumora: inflated data larger than %d bytes refused", kCCInflateMaxSize); }

MallocBuffer allocate(int64_t size) { return MallocBuffer(static_cast<unsigned char*>(std::malloc(size))); }

// Reallocates to `size` bytes (at least 1); on failure the buffer keeps its old allocation.
bool resize(MallocBuffer& buffer, int64_t size) {
    void* resized = std::realloc(buffer.get(), size);
    if (!resized) return false;
    (void)buffer.release();
    buffer.reset(static_cast<unsigned char*>(resized));
    return true;
}

// Most bytes `length` compressed bytes can inflate to; at least 1, so that every buffer has an
// address of its own.
int64_t mostInflated(uint64_t length) { return std::max<int64_t>(static_cast<int64_t>(length) * kCCInflateMaxRatio, 1); }

bool startsGZipMember(const unsigned char* bytes, uint64_t length) {
    return length >= 2 && bytes[0] == 0x1F && bytes[1] == 0x8B;
}

// Hands the first `length` bytes of the buffer to the caller, the allocation shrunk to fit (kept
// as it is if the shrinking fails).
int32_t handOver(MallocBuffer buffer, int64_t length, unsigned char** out) {
    resize(buffer, std::max<int64_t>(length, 1));
    *out = buffer.release();
    return static_cast<int32_t>(length);
}

uint32_t readBigEndian(const unsigned char* bytes, int count) {
    uint32_t value = 0;
    for (int i = 0; i < count; ++i) value = (value << 8) | bytes[i];
    return value;
}
}  // namespace

int32_t ccInflateMemoryWithHint(const unsigned char* in, uint32_t inLength, unsigned char** out,
                                int32_t outLengthHint) {
    *out = nullptr;
    const int64_t most = mostInflated(inLength);
    int64_t size = std::min({outLengthHint > 0 ? int64_t{outLengthHint} : kCCInflateDefaultSize, most,
                             int64_t{kCCInflateMaxSize}});
    MallocBuffer buffer = allocate(size);
    if (!buffer) return -1;

    z_stream stream{};
    stream.next_in = const_cast<Bytef*>(in);  // zlib never writes its input
    stream.avail_in = inLength;
    if (inflateInit2(&stream, kZlibOrGzipWindowBits) != Z_OK) return -1;
    stream.next_out = buffer.get();
    stream.avail_out = static_cast<uInt>(size);
    const bool gzip = startsGZipMember(in, inLength);
    int status;
    for (;;) {
        status = inflate(&stream, Z_NO_FLUSH);
        if (status == Z_STREAM_END) {
            if (!gzip || !startsGZipMember(stream.next_in, stream.avail_in)) break;
            inflateReset(&stream);
            continue;
        }
        // With the output full, Z_OK means progress (the stream may still end without more
        // room) and Z_BUF_ERROR means the stream needs room. Anything else, or either with room
        // left (the input ended early), is a failure.
        if (stream.avail_out != 0 || (status != Z_OK && status != Z_BUF_ERROR)) break;
        if (status == Z_OK) continue;
        const int64_t grown = std::min({size * 2, most, kOutputLimit});
        if (grown == size) {
            if (size == kOutputLimit) logTooLarge();
            break;
        }
        if (!resize(buffer, grown)) break;
        stream.next_out = buffer.get() + size;
        stream.avail_out = static_cast<uInt>(grown - size);
        size = grown;
    }
    inflateEnd(&stream);
    if (status != Z_STREAM_END) return -1;
    const int64_t produced = stream.next_out - buffer.get();
    if (produced > kCCInflateMaxSize) {
        logTooLarge();
        return -1;
    }
    return handOver(std::move(buffer), produced, out);
}

int32_t ccInflateMemory(const unsigned char* in, uint32_t inLength, unsigned char** out) {
    return ccInflateMemoryWithHint(in, inLength, out, kCCInflateDefaultSize);
}

int32_t ccInflateGZipFile(const char* path, unsigned char** out) {
    *out = nullptr;
    unsigned char* bytes = nullptr;
    const int64_t length = ccLoadFileToMemory(path, &bytes);
    if (length < 0) return -1;
    MallocBuffer file(bytes);
    // Files no larger than InputLimits::kFileBytes, below kCCInflateMaxSize, pass as they stand.
    if (!startsGZipMember(bytes, static_cast<uint64_t>(length))) return handOver(std::move(file), length, out);
    return ccInflateMemoryWithHint(bytes, static_cast<uint32_t>(length), out, 0);
}

int32_t ccInflateCCZFile(const char* path, unsigned char** out) {
    *out = nullptr;
    unsigned char* bytes = nullptr;
    const int64_t fileLength = ccLoadFileToMemory(path, &bytes);
    if (fileLength < 0) return -1;
    const MallocBuffer file(bytes);
    if (fileLength < kCCZHeaderLength || std::memcmp(bytes, "CCZ!", 4) != 0) return -1;
    const uint32_t compressionType = readBigEndian(bytes + 4, 2);
    const uint32_t version = readBigEndian(bytes + 6, 2);
    const uint32_t length = readBigEndian(bytes + 12, 4);
    if (compressionType != 0 || version >= 3) return -1;
    if (length > uint32_t{kCCInflateMaxSize}) {
        logTooLarge();
        return -1;
    }
    // The header's length is an upper bound that the stream need not reach.
    const int64_t compressed = fileLength - kCCZHeaderLength;
    uLongf produced = static_cast<uLongf>(std::min<int64_t>(length, mostInflated(compressed)));
    MallocBuffer buffer = allocate(std::max<int64_t>(produced, 1));
    if (!buffer) return -1;
    if (uncompress(buffer.get(), &produced, bytes + kCCZHeaderLength, static_cast<uLong>(compressed)) != Z_OK) {
        return -1;
    }
    return handOver(std::move(buffer), static_cast<int64_t>(produced), out);
}
