#include "platform/image/PNGCodec.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>

#include "platform/foundation/InputLimits.h"
#include "platform/foundation/Log.h"
#include "platform/image/Image.h"

namespace {

// The file libpng reads, and why it stopped.
struct Source {
    const uint8_t* data;
    size_t length;
    size_t offset;  // bytes read so far
    char message[160];
};

[[noreturn]] void fail(png_structp png, png_const_charp message) {
    auto* source = static_cast<Source*>(png_get_error_ptr(png));
    std::snprintf(source->message, sizeof source->message, "%s", message);
    png_longjmp(png, 1);
}

// Warnings are about skipped or repaired chunks; the picture itself is whole.
void ignoreWarning(png_structp, png_const_charp) {}

void readBytes(png_structp png, png_bytep bytes, size_t count) {
    auto* source = static_cast<Source*>(png_get_io_ptr(png));
    if (count > source->length - source->offset) png_error(png, "the file ends early");
    std::memcpy(bytes, source->data + source->offset, count);
    source->offset += count;
}

// Whether every chunk up to IEND lies within the file. libpng allocates what a chunk declares (up
// to 2 GiB) before it reads the data, so a short file must not get to declare more than it has.
bool chunksFit(const Source& source) {
    for (size_t offset = 8; offset + 8 <= source.length;) {
        const uint64_t chunkBytes = png_get_uint_32(source.data + offset) + uint64_t{12};  // with length, type, CRC
        if (chunkBytes > source.length - offset) return false;
        if (std::memcmp(source.data + offset + 4, "IEND", 4) == 0) break;
        offset += chunkBytes;
    }
    return true;
}

// Runs libpng calls; false, with the reason in the source's message, when libpng reports an error
// (from inside the calls, through the jump in fail). `calls` must hold no object with a destructor:
// the jump skips its frame along with libpng's.
template <typename Calls>
bool recovering(png_structp png, const Calls& calls) {
    if (setjmp(png_jmpbuf(png))) return false;
    calls();
    return true;
}

}  // namespace

bool PNGCodec::isPNG(const uint8_t* data, size_t length) {
    return length >= 8 && png_sig_cmp(data, 0, 8) == 0;
}

bool PNGCodec::decode(const uint8_t* data, size_t length, uint32_t maxSize, Image* image, std::string* failure) {
    Source source{data, length, 0, "libpng cannot start"};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &source, fail, ignoreWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool decodedWell = info && recovering(png, [&] {
        if (!chunksFit(source)) png_error(png, "a chunk is longer than the rest of the file");
        png_set_read_fn(png, &source, readBytes);
        // Every ancillary chunk but the transparency is skipped unread (text chunks may inflate to
        // gigabytes), and whatever libpng still keeps of a chunk is bounded.
        png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
        png_set_chunk_malloc_max(png, InputLimits::kImageChunkBytes);
        png_set_chunk_cache_max(png, InputLimits::kImageChunks);
        png_read_info(png, info);
    });
    Image decoded;
    if (decodedWell) {
        const uint32_t width = png_get_image_width(png, info);
        const uint32_t height = png_get_image_height(png, info);
        const std::string refusal = Image::sizeRefusal(width, height, maxSize);
        std::snprintf(source.message, sizeof source.message, "%s", refusal.c_str());
        decodedWell = refusal.empty();
        const bool hasAlpha = (png_get_color_type(png, info) & PNG_COLOR_MASK_ALPHA) != 0 ||
                              png_get_valid(png, info, PNG_INFO_tRNS) != 0;
        if (decodedWell) decoded.startPixels(width, height, hasAlpha, png_get_bit_depth(png, info) == 16 ? 16 : 8);
    }
    decodedWell = decodedWell && recovering(png, [&] {
        png_set_expand(png);  // palette to RGB, grey below 8 bits to 8, a transparency chunk to alpha
        png_set_scale_16(png);
        png_set_gray_to_rgb(png);
        png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
        const int passes = png_set_interlace_handling(png);
        png_read_update_info(png, info);
        for (int pass = 0; pass < passes; ++pass) {
            for (uint32_t y = 0; y < decoded.height(); ++y) {
                // A row that an interlaced pass skips is not grown into yet.
                const bool reached = passes == 1 || PNG_ROW_IN_INTERLACE_PASS(y, pass);
                png_read_row(png, reached ? decoded.rowToFill(y) : nullptr, nullptr);
            }
        }
    });
    png_destroy_read_struct(&png, &info, nullptr);
    if (!decodedWell) {
        *failure = source.message;
        return false;
    }
    if (decoded.hasAlpha()) {
        for (size_t i = 0; i < decoded.pixels_.size(); i += 4) {
            uint8_t* pixel = &decoded.pixels_[i];
            const unsigned alpha = pixel[3];
            for (int c = 0; c < 3; ++c) pixel[c] = static_cast<uint8_t>((pixel[c] * alpha + 127) / 255);
        }
    }
    *image = std::move(decoded);
    return true;
}

bool PNGCodec::encode(const Image& image, std::string* bytes) {
    const uint32_t channels = image.hasAlpha() ? 4 : 3;
    // libpng takes straight alpha, so the colour is divided back out of the premultiplied pixels.
    std::vector<uint8_t> rows(static_cast<size_t>(image.width()) * image.height() * channels);
    const std::vector<uint8_t>& pixels = image.pixels();
    for (size_t in = 0, out = 0; in < pixels.size(); in += 4, out += channels) {
        const unsigned alpha = pixels[in + 3];
        for (uint32_t c = 0; c < 3; ++c) {
            unsigned value = pixels[in + c];
            if (channels == 4) value = alpha == 0 ? 0 : std::min(255u, (value * 255 + alpha / 2) / alpha);
            rows[out + c] = static_cast<uint8_t>(value);
        }
        if (channels == 4) rows[out + 3] = static_cast<uint8_t>(alpha);
    }

    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    png.width = image.width();
    png.height = image.height();
    png.format = channels == 4 ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    png_alloc_size_t size = 0;
    if (png_image_write_to_memory(&png, nullptr, &size, 0, rows.data(), 0, nullptr)) {
        bytes->resize(size);
        if (png_image_write_to_memory(&png, bytes->data(), &size, 0, rows.data(), 0, nullptr)) {
            bytes->resize(size);
            return true;
        }
    }
    logLine("PNG image cannot be encoded: %s", png.message);
    png_image_free(&png);
    return false;
}
