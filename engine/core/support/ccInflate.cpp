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
constexpr int32_t kGZipFirstRead = 512 * 1024;
constexpr int64_t kCCZHeaderLength = 16;

void logTooLarge() { logLine("Lumora: inflated data larger than %d bytes refused", kCCInflateMaxSize); }

MallocBuffer allocate(int64_t size) { return MallocBuffer(static_cast<unsigned char*>(std::malloc(size))); }

// Reallocates to `size` bytes; on failure the buffer keeps its old allocation.
bool resize(MallocBuffer& buffer, int64_t size) {
    void* grown = std::realloc(buffer.get(), size);
    if (!grown) return false;
    (void)buffer.release();
    buffer.reset(static_cast<unsigned char*>(grown));
    return true;
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
    int64_t size = outLengthHint > 0 ? std::min(outLengthHint, kCCInflateMaxSize) : kCCInflateDefaultSize;
    MallocBuffer buffer = allocate(size);
    if (!buffer) return 0;

    z_stream stream{};
    stream.next_in = const_cast<Bytef*>(in);  // zlib never writes its input
    stream.avail_in = inLength;
    if (inflateInit2(&stream, kZlibOrGzipWindowBits) != Z_OK) return 0;
    stream.next_out = buffer.get();
    stream.avail_out = static_cast<uInt>(size);
    // Z_OK with room left means the input ended early: the loop stops and that counts as failure.
    int status;
    while ((status = inflate(&stream, Z_NO_FLUSH)) == Z_OK && stream.avail_out == 0) {
        if (size == kOutputLimit) {
            logTooLarge();
            break;
        }
        const int64_t grown = std::min(size * 2, kOutputLimit);
        if (!resize(buffer, grown)) break;
        stream.next_out = buffer.get() + size;
        stream.avail_out = static_cast<uInt>(grown - size);
        size = grown;
    }
    const uint64_t produced = stream.total_out;
    inflateEnd(&stream);
    if (status != Z_STREAM_END) return 0;
    if (produced > uint64_t{kCCInflateMaxSize}) {
        logTooLarge();
        return 0;
    }
    *out = buffer.release();
    return static_cast<int32_t>(produced);
}

int32_t ccInflateMemory(const unsigned char* in, uint32_t inLength, unsigned char** out) {
    return ccInflateMemoryWithHint(in, inLength, out, kCCInflateDefaultSize);
}

int32_t ccInflateGZipFile(const char* path, unsigned char** out) {
    *out = nullptr;
    gzFile file = gzopen(path, "rb");
    if (!file) return -1;
    // The buffer always holds `total` bytes read plus room for `request` more.
    int64_t request = kGZipFirstRead;
    int64_t total = 0;
    MallocBuffer buffer = allocate(request);
    bool ok = buffer != nullptr;
    while (ok) {
        const int got = gzread(file, buffer.get() + total, static_cast<unsigned>(request));
        if (got < 0) {
            ok = false;
            break;
        }
        total += got;
        if (got < request) break;
        if (total == kOutputLimit) {
            logTooLarge();
            ok = false;
            break;
        }
        request = std::min(request * 2, kOutputLimit - total);
        ok = resize(buffer, total + request);
    }
    // zlib ends a truncated stream like a complete one and only records the error.
    int error = Z_OK;
    gzerror(file, &error);
    gzclose(file);
    if (!ok || error != Z_OK) return -1;
    *out = buffer.release();
    return static_cast<int32_t>(total);
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
    MallocBuffer buffer = allocate(std::max<uint32_t>(length, 1));
    if (!buffer) return -1;
    uLongf produced = length;
    if (uncompress(buffer.get(), &produced, bytes + kCCZHeaderLength,
                   static_cast<uLong>(fileLength - kCCZHeaderLength)) != Z_OK) {
        return -1;
    }
    *out = buffer.release();
    return static_cast<int32_t>(produced);
}
