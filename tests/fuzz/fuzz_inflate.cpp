// zlib or gzip data in memory: the first 4 bytes (little-endian) are the first output size, as a
// tile map computes it from its layer size; the rest is the compressed stream.
#include <cstdint>
#include <cstdlib>

#include "engine/core/support/ccInflate.h"
#include "platform/foundation/Log.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    LogCapture quiet;
    const uint32_t hint = data[0] | data[1] << 8 | data[2] << 16 | static_cast<uint32_t>(data[3]) << 24;
    unsigned char* out = nullptr;
    const int32_t length =
        ccInflateMemoryWithHint(data + 4, static_cast<uint32_t>(size - 4), &out, static_cast<int32_t>(hint));
    // A buffer exactly on success, of no more than the input can inflate to within the budget.
    if ((length < 0) != (out == nullptr) || length > kCCInflateMaxSize ||
        length > static_cast<int64_t>(size - 4) * kCCInflateMaxRatio) {
        std::abort();
    }
    std::free(out);
    return 0;
}
