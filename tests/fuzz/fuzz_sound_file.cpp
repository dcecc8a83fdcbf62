// Sound files, decoded whole to 16-bit PCM as effects are before they are uploaded.
#include <cstdint>
#include <cstdlib>

#include "FuzzInputFile.h"
#include "audio/OALAudioFile.h"
#include "platform/foundation/InputLimits.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string url = std::string("file://") + FuzzInputFile::write(data, size);
    for (bool mono : {false, true}) {
        RefPtr<OALAudioFile> file = OALAudioFile::fileWithUrl(url, mono);
        if (!file) return 0;
        uint32_t bytes = 0;
        std::unique_ptr<uint8_t[]> pcm = file->audioDataWithStartFrame(0, -1, &bytes);
        if (!pcm) continue;
        const uint32_t frameBytes = file->streamDescription().bytesPerFrame;
        if (bytes > InputLimits::kDecodedBytes || frameBytes == 0 || bytes % frameBytes != 0 ||
            uint64_t(bytes) > uint64_t(file->totalFrames()) * frameBytes) {
            std::abort();
        }
        // The last decoded byte must lie inside the allocation.
        if (bytes > 0) [[maybe_unused]] volatile uint8_t last = pcm[bytes - 1];
    }
    return 0;
}
