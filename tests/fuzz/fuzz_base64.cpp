// Base64 text as particle definitions and tile maps embed it.
#include <cstdint>
#include <cstdlib>

#include "engine/core/support/ccBase64.h"
#include "platform/foundation/Log.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    LogCapture quiet;
    unsigned char* out = nullptr;
    base64DecodeAlloc(data, static_cast<uint32_t>(size), &out);
    std::free(out);
    return 0;
}
