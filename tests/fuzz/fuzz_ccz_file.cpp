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
    if ((length < 0) != (out == nullptr)) std::abort();
    std::free(out);
    return 0;
}
