#include "engine/core/support/ccInflate.h"

#include <gtest/gtest.h>
#include <malloc.h>
#include <zlib.h>

#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <tuple>

#include "platform/foundation/Log.h"
#include "support/TestSupport.h"

namespace {
constexpr int kZlib = 15, kGZip = 15 + 16;  // window bits

// `size` bytes of `data` repeated (the data once by default), deflated without holding them all.
std::string deflated(int windowBits, const std::string& data, int64_t size = -1, int level = Z_BEST_COMPRESSION) {
    z_stream stream{};
    deflateInit2(&stream, level, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY);
    std::string out;
    char chunk[1 << 16];
    for (int64_t left = size < 0 ? static_cast<int64_t>(data.size()) : size, first = 1; left > 0 || first; first = 0) {
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
        stream.avail_in = static_cast<uInt>(std::min<int64_t>(left, static_cast<int64_t>(data.size())));
        left -= stream.avail_in;
        do {
            stream.next_out = reinterpret_cast<Bytef*>(chunk);
            stream.avail_out = sizeof chunk;
            deflate(&stream, left == 0 ? Z_FINISH : Z_NO_FLUSH);
            out.append(chunk, sizeof chunk - stream.avail_out);
        } while (stream.avail_out == 0);
    }
    deflateEnd(&stream);
    return out;
}

std::string zeros(int windowBits, int64_t size) { return deflated(windowBits, std::string(1 << 20, '\0'), size, Z_BEST_SPEED); }

// Varied bytes that compress: a repeating text with a changing counter.
std::string sampleData(size_t size) {
    std::string data;
    for (uint64_t i = 0; data.size() < size; ++i) data += "tile " + std::to_string(i * 7919 % 1000) + ";";
    return data.substr(0, size);
}

// Length and bytes (nullopt for a null buffer) of one call's result, and the buffer's allocation.
struct Result {
    int32_t length;
    std::optional<std::string> bytes;
    size_t allocated = 0;
    bool operator==(const Result& other) const { return length == other.length && bytes == other.bytes; }
};
const Result kFailed{-1, std::nullopt};

Result run(const std::function<int32_t(unsigned char**)>& call) {
    unsigned char* out = nullptr;
    const int32_t length = call(&out);
    Result result{length, std::nullopt};
    if (out) result = {length, std::string(reinterpret_cast<char*>(out), std::max(length, 0)), malloc_usable_size(out)};
    std::free(out);
    return result;
}

Result inMemory(const std::string& in, int32_t hint) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(in.data());
    return run([&](unsigned char** out) { return ccInflateMemoryWithHint(bytes, static_cast<uint32_t>(in.size()), out, hint); });
}

Result fromFile(int32_t (*reader)(const char*, unsigned char**), const std::string& path) {
    return run([&](unsigned char** out) { return reader(path.c_str(), out); });
}

std::string cczHeader(uint16_t compressionType, uint16_t version, uint32_t length) {
    std::string out = "CCZ!";
    for (const auto& [value, bytes] : {std::pair<uint32_t, int>{compressionType, 2}, {version, 2}, {0, 4}, {length, 4}}) {
        for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8) out += static_cast<char>(value >> shift);
    }
    return out;
}
}  // namespace

TEST(ccInflate, MemoryGrowsFromTheHintUntilTheStreamEndsAndRefusesBrokenStreams) {
    const std::string data = sampleData(100), zlib = deflated(kZlib, data), large = sampleData(3 * kCCInflateDefaultSize + 17);
    std::string corrupt = zlib, badChecksum = zlib;
    corrupt[corrupt.size() / 2] ^= 0x55;
    badChecksum.back() ^= 1;
    const std::string gzip = deflated(kGZip, "ab");
    // 16 -> 32 -> 64 -> 128 bytes of room for 100 bytes; a hint of 0 or less (a tile map of zero or
    // overflowing size) starts at the default size; gzip streams are taken like zlib ones; an empty
    // stream is a success with a buffer.
    const std::tuple<std::string, int32_t, Result> streams[] = {
        {zlib, 16, {100, data}}, {zlib, 0, {100, data}}, {zlib, -5, {100, data}}, {deflated(kGZip, data), 0, {100, data}},
        {deflated(kZlib, large), kCCInflateDefaultSize, {static_cast<int32_t>(large.size()), large}},
        {deflated(kZlib, ""), 64, {0, ""}}, {"", 16, kFailed}, {"not compressed", 16, kFailed},
        {zlib.substr(0, zlib.size() / 2), 16, kFailed}, {zlib.substr(0, zlib.size() - 1), 16, kFailed},
        {corrupt, 16, kFailed}, {badChecksum, 16, kFailed}, {gzip + gzip.substr(0, 12), 16, kFailed},
    };
    for (const auto& [stream, hint, expected] : streams) EXPECT_EQ(inMemory(stream, hint), expected) << testing::PrintToString(stream);
    // No buffer is sized from a hint beyond what the input can inflate to, and the result is cut to fit.
    EXPECT_LT(inMemory(zlib, kCCInflateMaxSize).allocated, 1000u);
}

TEST(ccInflate, MemoryAndFileReadEveryGZipMember) {
    TemporaryFolder folder;
    const std::string a = sampleData(300000), b = "second", gzip = deflated(kGZip, a);
    const std::pair<std::string, Result> streams[] = {
        {gzip + deflated(kGZip, b), {static_cast<int32_t>(a.size() + b.size()), a + b}},
        {deflated(kGZip, b) + deflated(kGZip, "") + deflated(kGZip, b) + "\x1f", {12, b + b}},  // a stray byte is ignored
        {deflated(kGZip, ""), {0, ""}},
    };
    for (const auto& [stream, expected] : streams) {
        EXPECT_EQ(inMemory(stream, 0), expected);
        EXPECT_EQ(fromFile(ccInflateGZipFile, folder.write("f.gz", stream)), expected);
    }
    // A file that is not gzip is passed through as it stands.
    EXPECT_EQ(fromFile(ccInflateGZipFile, folder.write("plain.txt", "plain text")), (Result{10, "plain text"}));
    for (const std::string& path : {folder.file("missing.gz"), folder.path(), folder.write("cut.gz", gzip.substr(0, gzip.size() / 2)),
                                    folder.write("nocrc.gz", gzip.substr(0, gzip.size() - 4))}) {
        EXPECT_EQ(fromFile(ccInflateGZipFile, path), kFailed) << path;
    }
}

TEST(ccInflate, OutputIsCappedAgainstDecompressionBombs) {
    TemporaryFolder folder;
    LogCapture capture;
    // With a hint of the maximum the output fills its first buffer exactly.
    EXPECT_EQ(inMemory(zeros(kZlib, kCCInflateMaxSize), kCCInflateMaxSize).length, kCCInflateMaxSize);
    const std::string gzip = zeros(kGZip, kCCInflateMaxSize);
    EXPECT_EQ(fromFile(ccInflateGZipFile, folder.write("cap.gz", gzip)).length, kCCInflateMaxSize);
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
    for (uint16_t version : {0, 1, 2}) {
        EXPECT_EQ(fromFile(ccInflateCCZFile, folder.write("ok.ccz", cczHeader(0, version, 4000) + stream)), (Result{4000, data}));
    }
    // The header's length is an upper bound: the bytes produced are what counts, and what is kept.
    const Result shorter = fromFile(ccInflateCCZFile, folder.write("long.ccz", cczHeader(0, 2, 90000000) + stream));
    EXPECT_EQ(shorter, (Result{4000, data}));
    EXPECT_LT(shorter.allocated, 5000u);
    LogCapture capture;
    const std::string refused[] = {
        cczHeader(0, 3, 4000) + stream,                     // version too new
        cczHeader(1, 2, 4000) + stream,                     // compression type 1
        "CCZ?" + cczHeader(0, 2, 4000).substr(4) + stream,  // magic
        cczHeader(0, 2, 4000).substr(0, 10),                // shorter than the header
        cczHeader(0, 2, 4000),                              // header only
        cczHeader(0, 2, 3999) + stream,                     // more data than the header allows
        cczHeader(0, 2, 4000) + stream.substr(0, 100),      // truncated stream
        cczHeader(0, 2, 0x80000000u) + stream,              // lengths that int32 cannot hold
        cczHeader(0, 2, 0xFFFFFFFFu) + stream,
        cczHeader(0, 2, uint32_t{kCCInflateMaxSize} + 1) + stream,
        std::string(),                                      // (a missing file)
    };
    for (const std::string& bytes : refused) {
        const std::string path = bytes.empty() ? folder.file("missing.ccz") : folder.write("bad.ccz", bytes);
        EXPECT_EQ(fromFile(ccInflateCCZFile, path), kFailed);
    }
    EXPECT_EQ(capture.lines().size(), 3u);  // the three lengths beyond the maximum
}
