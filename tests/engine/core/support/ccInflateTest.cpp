#include "engine/core/support/ccInflate.h"

#include <gtest/gtest.h>
#include <malloc.h>

#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <tuple>

#include "platform/foundation/Log.h"
#include "support/Deflate.h"
#include "support/TestSupport.h"

namespace {
using Output = std::optional<std::string>;
constexpr std::nullopt_t kFailed = std::nullopt;

// Varied bytes that compress: a repeating text with a changing counter.
std::string sampleData(size_t size) {
    std::string data;
    for (uint64_t i = 0; data.size() < size; ++i) data += "tile " + std::to_string(i * 7919 % 1000) + ";";
    return data.substr(0, size);
}

std::string zeros(int windowBits, int64_t size) { return deflated(windowBits, std::string(size, '\0'), Z_BEST_SPEED); }

// What one call handed over, which must be its length of bytes, or -1 and a null buffer;
// `allocated` receives the buffer's size.
Output run(const std::function<int32_t(unsigned char**)>& call, size_t* allocated) {
    unsigned char* out = nullptr;
    const int32_t length = call(&out);
    EXPECT_TRUE(out ? length >= 0 : length == -1) << length;
    if (!out) return kFailed;
    if (allocated) *allocated = malloc_usable_size(out);
    const std::string bytes(reinterpret_cast<char*>(out), std::max(length, 0));
    std::free(out);
    return bytes;
}

Output inMemory(const std::string& in, int32_t hint, size_t* allocated = nullptr) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(in.data());
    const auto length = static_cast<uint32_t>(in.size());
    return run([&](unsigned char** out) { return ccInflateMemoryWithHint(bytes, length, out, hint); }, allocated);
}

Output fromFile(int32_t (*reader)(const char*, unsigned char**), const std::string& path, size_t* allocated = nullptr) {
    return run([&](unsigned char** out) { return reader(path.c_str(), out); }, allocated);
}
}  // namespace

TEST(ccInflate, MemoryGrowsFromTheHintUntilTheStreamEndsAndRefusesBrokenStreams) {
    const std::string data = sampleData(100), zlib = deflated(kZlib, data), gzip = deflated(kGZip, "ab");
    std::string badChecksum = zlib;
    badChecksum.back() ^= 1;
    // 16 -> 32 -> 64 -> 128 bytes of room for 100 bytes; a hint of 0 or less (a tile map of zero or
    // overflowing size) starts at the default size; gzip streams are taken like zlib ones; an empty
    // stream is a success with a buffer.
    const std::tuple<std::string, int32_t, Output> streams[] = {
        {zlib, 16, data}, {zlib, 0, data}, {zlib, -5, data}, {deflated(kGZip, data), 0, data},
        {deflated(kZlib, ""), 64, ""}, {"", 16, kFailed}, {"not compressed", 16, kFailed},
        {zlib.substr(0, zlib.size() / 2), 16, kFailed}, {badChecksum, 16, kFailed},
        {gzip + gzip.substr(0, 12), 16, kFailed},
    };
    for (const auto& [stream, hint, expected] : streams) {
        EXPECT_EQ(inMemory(stream, hint), expected) << testing::PrintToString(stream);
    }
    // No buffer is sized from a hint beyond what the input can inflate to, and the result is cut to fit.
    size_t allocated = 0;
    inMemory(zlib, kCCInflateMaxSize, &allocated);
    EXPECT_LT(allocated, 1000u);
}

TEST(ccInflate, MemoryAndFileReadEveryGZipMember) {
    TemporaryFolder folder;
    // The first member outgrows the default first buffer; a stray byte after the last is ignored.
    const std::string a = sampleData(300000), b = "second", gzip = deflated(kGZip, a);
    const std::pair<std::string, std::string> streams[] = {
        {gzip + deflated(kGZip, b), a + b},
        {deflated(kGZip, b) + deflated(kGZip, "") + deflated(kGZip, b) + "\x1f", b + b},
        {deflated(kGZip, ""), ""},
    };
    for (const auto& [stream, expected] : streams) {
        EXPECT_EQ(inMemory(stream, 0), expected);
        EXPECT_EQ(fromFile(ccInflateGZipFile, folder.write("f.gz", stream)), expected);
    }
    // A file that is not gzip is passed through as it stands.
    EXPECT_EQ(fromFile(ccInflateGZipFile, folder.write("plain.txt", "plain text")), "plain text");
    for (const std::string& path : {folder.file("missing.gz"), folder.write("cut.gz", gzip.substr(0, gzip.size() / 2)),
                                    folder.write("nocrc.gz", gzip.substr(0, gzip.size() - 4))}) {
        EXPECT_EQ(fromFile(ccInflateGZipFile, path), kFailed) << path;
    }
}

TEST(ccInflate, OutputIsCappedAgainstDecompressionBombs) {
    TemporaryFolder folder;
    LogCapture capture;
    // With a hint of the maximum the output fills its first buffer exactly.
    const std::string full(kCCInflateMaxSize, '\0'), gzip = zeros(kGZip, kCCInflateMaxSize);
    EXPECT_TRUE(inMemory(zeros(kZlib, kCCInflateMaxSize), kCCInflateMaxSize) == full);
    EXPECT_TRUE(fromFile(ccInflateGZipFile, folder.write("cap.gz", gzip)) == full);
    EXPECT_TRUE(capture.lines().empty());
    const std::string bomb = zeros(kZlib, int64_t{kCCInflateMaxSize} + 1);
    for (int32_t hint : {0, INT32_MAX}) EXPECT_EQ(inMemory(bomb, hint), kFailed);
    // A second gzip member takes the file over the maximum.
    EXPECT_EQ(fromFile(ccInflateGZipFile, folder.write("bomb.gz", gzip + deflated(kGZip, "x"))), kFailed);
    EXPECT_EQ(capture.lines().size(), 3u);
}

TEST(ccInflate, CCZFileIsCheckedAndInflated) {
    TemporaryFolder folder;
    const std::string data = sampleData(4000), stream = deflated(kZlib, data);
    // The header's length is an upper bound: the bytes produced are what counts, and what is kept.
    size_t allocated = 0;
    EXPECT_EQ(fromFile(ccInflateCCZFile, folder.write("l.ccz", cczHeader(0, 2, 90000000) + stream), &allocated), data);
    EXPECT_LT(allocated, 5000u);
    LogCapture capture;
    const std::pair<std::string, Output> files[] = {
        {cczHeader(0, 0, 4000) + stream, data}, {cczHeader(0, 1, 4000) + stream, data},
        {cczHeader(0, 2, 4000) + stream, data},
        {cczHeader(0, 3, 4000) + stream, kFailed},                     // version too new
        {cczHeader(1, 2, 4000) + stream, kFailed},                     // compression type 1
        {"CCZ?" + cczHeader(0, 2, 4000).substr(4) + stream, kFailed},  // magic
        {cczHeader(0, 2, 4000).substr(0, 10), kFailed},                // shorter than the header
        {cczHeader(0, 2, 4000), kFailed},                              // header only
        {cczHeader(0, 2, 3999) + stream, kFailed},                     // more data than the header allows
        {cczHeader(0, 2, 4000) + stream.substr(0, 100), kFailed},      // truncated stream
        {cczHeader(0, 2, 0x80000000u) + stream, kFailed},              // a length that int32 cannot hold
        {cczHeader(0, 2, uint32_t{kCCInflateMaxSize} + 1) + stream, kFailed},
    };
    for (const auto& [bytes, expected] : files) {
        EXPECT_EQ(fromFile(ccInflateCCZFile, folder.write("f.ccz", bytes)), expected) << testing::PrintToString(bytes);
    }
    EXPECT_EQ(fromFile(ccInflateCCZFile, folder.file("missing.ccz")), kFailed);
    EXPECT_EQ(capture.lines().size(), 2u);  // the two lengths beyond the maximum
}
