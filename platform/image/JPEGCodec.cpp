#include "platform/image/JPEGCodec.h"

// jpeglib.h needs size_t and FILE declared before it.
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

#include <algorithm>
#include <csetjmp>
#include <string>

#include "platform/foundation/InputLimits.h"
#include "platform/foundation/Log.h"
#include "platform/image/Image.h"

namespace {

struct ErrorManager {
    jpeg_error_mgr manager;  // first, so that libjpeg's pointer to it is a pointer to this
    jmp_buf recovery;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void jumpToRecovery(j_common_ptr info) {
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    info->err->format_message(info, errors->message);
    std::longjmp(errors->recovery, 1);
}

// Level -1 is a warning about corrupt data (a truncated file among them): the decoder would go on
// with made-up pixels, so it fails instead. Trace messages (levels 0 and up) are dropped.
void failOnWarning(j_common_ptr info, int level) {
    if (level < 0) jumpToRecovery(info);
}

// Called by libjpeg before each step of reading a progressive file into memory. Every scan is a
// pass over all of the picture's coefficients, so the number of scans bounds the decoding time.
void refuseExtraScans(j_common_ptr info) {
    if (reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > static_cast<int>(InputLimits::kImageScans)) {
        auto* errors = reinterpret_cast<ErrorManager*>(info->err);
        std::snprintf(errors->message, sizeof errors->message, "more than %u scans", InputLimits::kImageScans);
        std::longjmp(errors->recovery, 1);
    }
}

void installErrorManager(j_common_ptr info, ErrorManager* errors) {
    info->err = jpeg_std_error(&errors->manager);
    errors->manager.error_exit = jumpToRecovery;
    errors->manager.emit_message = failOnWarning;
    errors->message[0] = '\0';
}

// Runs libjpeg calls; false, with the reason in `errors->message`, when libjpeg reports an error
// (from inside the calls, through the jump above). `calls` must hold no object with a destructor:
// the jump skips its frame along with libjpeg's.
template <typename Calls>
bool recovering(ErrorManager* errors, const Calls& calls) {
    if (setjmp(errors->recovery)) return false;
    calls();
    return true;
}

}  // namespace

bool JPEGCodec::isJPEG(const uint8_t* data, size_t length) {
    return length >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF;
}

bool JPEGCodec::decode(const uint8_t* data, size_t length, uint32_t maxSize, Image* image, std::string* failure) {
    jpeg_decompress_struct info{};
    ErrorManager errors;
    installErrorManager(reinterpret_cast<j_common_ptr>(&info), &errors);
    // Creating the decoder may fail too; it is destroyed either way.
    bool decodedWell = recovering(&errors, [&] {
        jpeg_create_decompress(&info);
        jpeg_mem_src(&info, data, static_cast<unsigned long>(length));
        jpeg_read_header(&info, TRUE);
    });
    if (decodedWell) {
        const std::string refusal = Image::sizeRefusal(info.image_width, info.image_height, maxSize);
        std::snprintf(errors.message, sizeof errors.message, "%s", refusal.c_str());
        decodedWell = refusal.empty();
    }
    if (decodedWell && (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK)) {
        std::snprintf(errors.message, sizeof errors.message, "CMYK images are not supported");
        decodedWell = false;
    }
    Image decoded;
    jpeg_progress_mgr progress{};
    progress.progress_monitor = refuseExtraScans;
    if (decodedWell) {
        decoded.startPixels(info.image_width, info.image_height, false, 8);
        decodedWell = recovering(&errors, [&] {
            info.progress = &progress;
            info.out_color_space = JCS_EXT_RGBA;
            jpeg_start_decompress(&info);
            while (info.output_scanline < info.output_height) {
                JSAMPROW row = decoded.rowToFill(info.output_scanline);
                jpeg_read_scanlines(&info, &row, 1);
            }
            jpeg_finish_decompress(&info);
        });
    }
    jpeg_destroy_decompress(&info);
    if (!decodedWell) {
        *failure = errors.message;
        return false;
    }
    *image = std::move(decoded);
    return true;
}

bool JPEGCodec::encode(const Image& image, int quality, std::string* bytes) {
    jpeg_compress_struct info{};
    ErrorManager errors;
    installErrorManager(reinterpret_cast<j_common_ptr>(&info), &errors);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    const bool encodedWell = recovering(&errors, [&] {
        jpeg_create_compress(&info);
        jpeg_mem_dest(&info, &buffer, &size);
        info.image_width = image.width();
        info.image_height = image.height();
        info.input_components = 4;
        info.in_color_space = JCS_EXT_RGBX;
        jpeg_set_defaults(&info);
        jpeg_set_quality(&info, std::clamp(quality, 1, 100), TRUE);
        jpeg_start_compress(&info, TRUE);
        while (info.next_scanline < info.image_height) {
            JSAMPROW row = const_cast<uint8_t*>(image.pixels().data()) + size_t{info.next_scanline} * image.width() * 4;
            jpeg_write_scanlines(&info, &row, 1);
        }
        jpeg_finish_compress(&info);
    });
    jpeg_destroy_compress(&info);
    if (encodedWell) bytes->assign(reinterpret_cast<const char*>(buffer), size);
    std::free(buffer);
    if (!encodedWell) logLine("JPEG image cannot be encoded: %s", errors.message);
    return encodedWell;
}
