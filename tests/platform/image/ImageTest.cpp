#include "platform/image/Image.h"

#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>

#include "platform/foundation/InputLimits.h"
#include "platform/foundation/Log.h"
#include "platform/image/JPEGCodec.h"
#include "platform/image/PNGCodec.h"
#include "support/TestSupport.h"

// The sanitizer runtime's allocation hooks; null in a build without it.
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void*, size_t),
                                                         void (*)(const volatile void*)) __attribute__((weak));
extern "C" size_t __sanitizer_get_allocated_size(const volatile void*) __attribute__((weak));

namespace {

constexpr uint32_t kNoLimit = 16384;

// Heap bytes held at most since startHeapPeak beyond those held then (0 without the sanitizer runtime).
int64_t heapHeld = 0, heapPeak = 0;
void startHeapPeak() {
    [[maybe_unused]] static const bool hooked = __sanitizer_install_malloc_and_free_hooks &&
        __sanitizer_install_malloc_and_free_hooks(
            [](const volatile void*, size_t size) { heapPeak = std::max(heapPeak, heapHeld += size); },
            [](const volatile void* block) { heapHeld -= __sanitizer_get_allocated_size(block); });
    heapHeld = heapPeak = 0;
}

// A PNG as libpng writes it from rows packed as the file stores them (16-bit samples big-endian),
// with a palette of red and blue (`alpha` for its transparency) and `texts` compressed text chunks
// of 2 MiB each before the image data; cut within the image data when `pixels` holds fewer rows.
std::string png(uint32_t width, uint32_t height, int type, int depth, std::vector<uint8_t> pixels,
                int interlace = 0, std::vector<uint8_t> alpha = {}, int texts = 0) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::string file;
    png_set_write_fn(png, &file, [](png_structp png, png_bytep data, size_t size) {
        static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<char*>(data), size);
    }, [](png_structp) {});
    png_set_compression_buffer_size(png, 16);  // image data chunks of 16 bytes: a flush writes them
    png_set_IHDR(png, info, width, height, depth, type, interlace, 0, 0);
    const png_color palette[] = {{255, 0, 0}, {0, 0, 255}};
    if (type == PNG_COLOR_TYPE_PALETTE) png_set_PLTE(png, info, palette, 2);
    if (!alpha.empty()) png_set_tRNS(png, info, alpha.data(), static_cast<int>(alpha.size()), nullptr);
    std::string text(2 << 20, 't');
    const png_text chunk = {PNG_TEXT_COMPRESSION_zTXt, const_cast<char*>("k"), text.data(), text.size(), 0, {}, {}};
    std::vector<png_text> chunks(texts, chunk);
    png_set_text(png, info, chunks.data(), texts);
    png_write_info(png, info);
    const size_t rowBytes = png_get_rowbytes(png, info), rows = std::min<size_t>(height, pixels.size() / rowBytes);
    for (int pass = png_set_interlace_handling(png); pass > 0; --pass) {
        for (size_t y = 0; y < rows; ++y) png_write_row(png, &pixels[y * rowBytes]);
    }
    rows < height ? png_write_flush(png) : png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return file;
}

// A grey 8 x 8 progressive JPEG: quantisation, frame, a DC code, then `scans` times the one scan.
std::string progressiveJPEG(uint32_t scans) {
    std::string file = std::string("\xFF\xD8\xFF\xDB\x00\x43\x00", 7) + std::string(64, '\x01') +
                       std::string("\xFF\xC2\x00\x0B\x08\x00\x08\x00\x08\x01\x01\x11\x00", 13) +
                       std::string("\xFF\xC4\x00\x14\x00\x01", 6) + std::string(16, '\0');
    for (uint32_t i = 0; i < scans; ++i) file += std::string("\xFF\xDA\x00\x08\x01\x01\x00\x00\x00\x00\x7F", 11);
    return file + "\xFF\xD9";
}

// Premultiplied RGBA: alpha falling down the rows from 255 to 64 (or opaque), red rising across.
std::vector<uint8_t> gradient(uint32_t width, uint32_t height, bool opaque = false) {
    std::vector<uint8_t> pixels;
    for (uint32_t i = 0; i < width * height; ++i) {
        const auto alpha = static_cast<uint8_t>(opaque ? 255 : 255 - i / width * 191 / height);
        pixels.insert(pixels.end(), {static_cast<uint8_t>(i % width * alpha / width), 40, 30, alpha});
    }
    return pixels;
}

TEST(ImageTest, EveryKindOfPNGDecodesToPremultipliedRGBA) {
    const std::tuple<std::string, bool, int, std::vector<uint8_t>> cases[] = {
        // Straight alpha in the file: (255, 128, 0) at half alpha, a clear pixel.
        {png(2, 1, PNG_COLOR_TYPE_RGBA, 8, {255, 128, 0, 128, 10, 20, 30, 0}), true, 8, {128, 64, 0, 128, 0, 0, 0, 0}},
        {png(2, 1, PNG_COLOR_TYPE_GRAY, 8, {0, 200}), false, 8, {0, 0, 0, 255, 200, 200, 200, 255}},
        {png(1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {200, 51}), true, 8, {40, 40, 40, 51}},
        {png(2, 1, PNG_COLOR_TYPE_GRAY, 2, {0x2D}), false, 8, {0, 0, 0, 255, 170, 170, 170, 255}},
        {png(1, 1, PNG_COLOR_TYPE_RGB, 16, {0xFF, 0xFF, 0x80, 0x80, 0, 0}), false, 16, {255, 128, 0, 255}},
        {png(2, 1, PNG_COLOR_TYPE_PALETTE, 8, {0, 1}), false, 8, {255, 0, 0, 255, 0, 0, 255, 255}},
        {png(2, 1, PNG_COLOR_TYPE_PALETTE, 8, {0, 1}, 0, {255, 0}), true, 8, {255, 0, 0, 255, 0, 0, 0, 0}},
        // Interlaced rows arrive in seven passes, some of them empty in small pictures.
        {png(9, 9, PNG_COLOR_TYPE_RGBA, 8, gradient(9, 9, true), 1), true, 8, gradient(9, 9, true)},
        {png(3, 2, PNG_COLOR_TYPE_RGBA, 8, gradient(3, 2, true), 1), true, 8, gradient(3, 2, true)},
    };
    for (const auto& [file, hasAlpha, bits, pixels] : cases) {
        Image image;
        ASSERT_TRUE(image.initWithData(reinterpret_cast<const uint8_t*>(file.data()), file.size(), kNoLimit));
        EXPECT_TRUE(image.hasAlpha() == hasAlpha && image.bitsPerComponent() == bits);
        EXPECT_EQ(image.pixels(), pixels);
    }
}

// Broken files and files made to cost time or memory fail with one log line, within budgets.
TEST(ImageTest, BrokenAndHostileFilesStayWithinTheirBudgets) {
    const Image picture(100, 50, true, gradient(100, 50));
    std::string pngFile, opaquePNG, jpegFile;
    ASSERT_TRUE(PNGCodec::encode(picture, &pngFile) && JPEGCodec::encode(picture, 90, &jpegFile) &&
                PNGCodec::encode(Image(100, 50, false, picture.pixels()), &opaquePNG));
    std::string corrupt = pngFile;
    corrupt[pngFile.size() / 2] ^= 0x55;  // in the image data
    const std::tuple<std::string, uint32_t, std::string> cases[] = {
        {"", kNoLimit, "neither"}, {"not an image at all", kNoLimit, "neither"}, {corrupt, kNoLimit, "image data cannot be decoded: PNG: "},
        {pngFile.substr(0, 20), kNoLimit, "longer than the rest"}, {pngFile.substr(0, 33), kNoLimit, "ends early"},
        {jpegFile.substr(0, 40), kNoLimit, "image data cannot be decoded: JPEG: "}, {pngFile, 99, "exceeds the limit of 99"},
        {jpegFile.substr(0, jpegFile.size() / 2), kNoLimit, "Premature end"}, {jpegFile, 99, "limit of 99"},
        // After the header, a chunk declaring 64 MiB in a file of 46 bytes.
        {pngFile.substr(0, 33) + std::string("\x04\x00\x00\x00tEXtshort", 13), kNoLimit, "longer than the rest"},
        {png(8193, 4096, PNG_COLOR_TYPE_GRAY, 8, std::vector<uint8_t>(8193)), kNoLimit, "exceeds the budget"},
        {progressiveJPEG(InputLimits::kImageScans + 1), kNoLimit, "more than 256 scans"},
        {progressiveJPEG(InputLimits::kImageScans), kNoLimit, ""},
        {png(4, 4, PNG_COLOR_TYPE_GRAY, 8, std::vector<uint8_t>(16), 0, {}, 8), kNoLimit, ""},  // text of 16 MiB
    };
    for (const auto& [bytes, maxSize, refusal] : cases) {
        Image image(1, 1, true, {1, 2, 3, 4});
        LogCapture capture;
        startHeapPeak();
        EXPECT_EQ(image.initWithData(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), maxSize),
                  refusal.empty()) << refusal;
        EXPECT_LT(heapPeak, 2 << 20) << refusal;
        EXPECT_EQ(capture.lines().size(), refusal.empty() ? 0u : 1u) << refusal;
        EXPECT_TRUE(refusal.empty() || (capture.contains(refusal) && image.empty())) << refusal;
    }
    // Whole, the files hold what was written, through straight alpha in the PNG; without alpha,
    // and in the JPEG (whose colour is close), the alpha is 255.
    Image read;
    for (const auto& [file, opaque, tolerance] : {std::tuple{pngFile, 0, 0}, {opaquePNG, 1, 0}, {jpegFile, 1, 12}}) {
        ASSERT_TRUE(read.initWithData(reinterpret_cast<const uint8_t*>(file.data()), file.size(), kNoLimit));
        for (size_t i = 0; i < picture.pixels().size(); ++i) {
            EXPECT_NEAR(read.pixels()[i], i % 4 == 3 && opaque ? 255 : picture.pixels()[i], i % 4 == 3 ? 0 : tolerance);
        }
    }
    // Only regular files are read: a directory once claimed 2^63 bytes.
    TemporaryFolder folder;
    EXPECT_TRUE(read.initWithContentsOfFile(folder.write("a.png", pngFile), 100));
    for (const std::string& path : {folder.file("missing.png"), folder.path()}) {
        LogCapture capture;
        EXPECT_FALSE(read.initWithContentsOfFile(path, kNoLimit));
        EXPECT_TRUE(capture.contains(path == folder.path() ? "not a regular file" : "No such file")) << path;
    }
}

// However many nodes ask for a broken file, its name is logged once, with the reason.
TEST(ImageTest, ABrokenFileIsReportedOnceByName) {
    TemporaryFolder folder;
    const std::string broken = folder.write("broken.png", png(2, 2, PNG_COLOR_TYPE_RGBA, 8, std::vector<uint8_t>(16)).substr(0, 33));
    const std::string text = folder.write("notes.png", "not an image");
    LogCapture capture;
    Image image;
    for (int attempt = 0; attempt < 3; ++attempt) {
        EXPECT_FALSE(image.initWithContentsOfFile(broken, kNoLimit));
        EXPECT_FALSE(image.initWithContentsOfFile(text, kNoLimit));
    }
    EXPECT_EQ(capture.lines(), (std::vector<std::string>{
                                   "image " + broken + " cannot be decoded: PNG: the file ends early",
                                   "image " + text + " cannot be decoded: neither PNG nor JPEG",
                               }));
}

}  // namespace
