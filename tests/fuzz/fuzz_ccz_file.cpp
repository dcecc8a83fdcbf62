// CCZ files (16-byte header and a zlib stream), as compressed textures are stored.
#include <cstdint>
#include <cstdlib>

#include "FuzzInputFile.h"
#include "engine/core/support/ccInflate.h"
#include "platform/foundation/Log.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    LogCapture quiet;
    unsigned char* out = nullptr;
    const int32_t length = ccInflateCCZFile(FuzzInputFile::write(data, size), &out);
    // A buffer exactly on success, of no more than the stream can inflate to within the budget.
    if ((length < 0) != (out == nullptr) || length > kCCInflateMaxSize ||
        length > static_cast<int64_t>(size) * kCCInflateMaxRatio) {
        std::abort();
    }
    std::free(out);
    return 0;
}
