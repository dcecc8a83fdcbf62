#include "platform/image/JPEGCodec.h"

// jpeglib.h needs size_t and FILE declared before it.
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

#include <algorithm>
#include <csetjmp>

#include "platform/foundation/Log.h"
#include "platform/image/Image.h"

// libjpeg reports errors through a callback that must not return; it jumps back to the setjmp in
// the functions below. Those functions hold only trivially destructible locals, and the frames
// jumped over are libjpeg's own, so the jump skips no destructor.

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

void installErrorManager(j_common_ptr info, ErrorManager* errors) {
    info->err = jpeg_std_error(&errors->manager);
    errors->manager.error_exit = jumpToRecovery;
    errors->manager.emit_message = failOnWarning;
    errors->message[0] = '\0';
}

// Creates the decoder (which may fail too) and reads the header of the JPEG in `data`. False with
// the reason in `errors->message`. The decoder must be destroyed either way.
bool readHeader(jpeg_decompress_struct* info, ErrorManager* errors, const uint8_t* data, size_t length) {
    if (setjmp(errors->recovery)) return false;
    jpeg_create_decompress(info);
    jpeg_mem_src(info, data, static_cast<unsigned long>(length));
    jpeg_read_header(info, TRUE);
    return true;
}

// Decompresses into `pixels`, image_width x image_height x 4 bytes owned by the caller.
bool readPixels(jpeg_decompress_struct* info, ErrorManager* errors, uint8_t* pixels) {
    if (setjmp(errors->recovery)) return false;
    info->out_color_space = JCS_EXT_RGBA;
    jpeg_start_decompress(info);
    while (info->output_scanline < info->output_height) {
        JSAMPROW row = pixels + static_cast<size_t>(info->output_scanline) * info->output_width * 4;
        jpeg_read_scanlines(info, &row, 1);
    }
    jpeg_finish_decompress(info);
    return true;
}

bool encodeWithRecovery(jpeg_compress_struct* info, ErrorManager* errors, const Image* image, int quality,
                        unsigned char** buffer, unsigned long* size) {
    if (setjmp(errors->recovery)) return false;
    jpeg_create_compress(info);
    jpeg_mem_dest(info, buffer, size);
    info->image_width = image->width();
    info->image_height = image->height();
    info->input_components = 4;
    info->in_color_space = JCS_EXT_RGBX;
    jpeg_set_defaults(info);
    jpeg_set_quality(info, std::clamp(quality, 1, 100), TRUE);
    jpeg_start_compress(info, TRUE);
    const uint8_t* pixels = image->pixels().data();
    while (info->next_scanline < info->image_height) {
        JSAMPROW row = const_cast<uint8_t*>(pixels) + static_cast<size_t>(info->next_scanline) * image->width() * 4;
        jpeg_write_scanlines(info, &row, 1);
    }
    jpeg_finish_compress(info);
    return true;
}

}  // namespace

bool JPEGCodec::isJPEG(const uint8_t* data, size_t length) {
    return length >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF;
}

bool JPEGCodec::decode(const uint8_t* data, size_t length, uint32_t maxSize, Image* image) {
    jpeg_decompress_struct info{};
    ErrorManager errors;
    installErrorManager(reinterpret_cast<j_common_ptr>(&info), &errors);
    Image decoded;
    bool decodedWell = readHeader(&info, &errors, data, length);
    if (decodedWell && (info.image_width > maxSize || info.image_height > maxSize)) {
        std::snprintf(errors.message, sizeof errors.message, "%u x %u pixels exceeds the limit of %u",
                      info.image_width, info.image_height, maxSize);
        decodedWell = false;
    }
    if (decodedWell && (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK)) {
        std::snprintf(errors.message, sizeof errors.message, "CMYK images are not supported");
        decodedWell = false;
    }
    if (decodedWell) {
        decoded.allocate(info.image_width, info.image_height, false, 8);
        decodedWell = readPixels(&info, &errors, decoded.pixels_.data());
    }
    jpeg_destroy_decompress(&info);
    if (!decodedWell) {
        logLine("Lumora: JPEG image cannot be decoded: %s", errors.message);
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
    const bool encodedWell = encodeWithRecovery(&info, &errors, &image, quality, &buffer, &size);
    jpeg_destroy_compress(&info);
    if (encodedWell) bytes->assign(reinterpret_cast<const char*>(buffer), size);
    std::free(buffer);
    if (!encodedWell) logLine("Lumora: JPEG image cannot be encoded: %s", errors.message);
    return encodedWell;
}
