#include "PadlinkSDK/PadlinkRPCLib/JPLogger.h"

#include <cinttypes>

#include "platform/foundation/Log.h"

void JPLogger::log64(uint64_t word, const std::string& annotation) {
    logLine("%s: 0x%08" PRIx32 " %08" PRIx32, annotation.c_str(), static_cast<uint32_t>(word >> 32),
            static_cast<uint32_t>(word));
}
