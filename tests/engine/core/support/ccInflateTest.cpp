#include "engine/core/support/ccInflate.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "platform/foundation/Log.h"
#include "support/TestSupport.h"

namespace {
std::string zlibCompress(const std::string& data) {
    uLongf length = compressBound(data.size());
    std::string out(length, '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &length, reinterpret_cast<const Bytef*>(data.data()),
              data.size(), Z_BEST_COMPRESSION);
    out.resize(length);
    return out;
}

std::string gzipCompress(const std::string& data) {
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&stream, data.size()), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

// A zlib stream of `size` zero bytes, made without holding them all.
std::string zlibZeros(int64_t size) {
    z_stream stream{};
    deflateInit(&stream, Z_BEST_SPEED);
    const std::string zeros(1 << 20, '\0');
    std::string out;
    char chunk[1 << 16];
    for (int64_t left = size; left >= 0; left -= static_cast<int64_t>(zeros.size())) {
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zeros.data()));
        stream.avail_in = static_cast<uInt>(std::min<int64_t>(left, static_cast<int64_t>(zeros.size())));
        const int flush = left <= static_cast<int64_t>(zeros.size()) ? Z_FINISH : Z_NO_FLUSH;
        do {
            stream.next_out = reinterpret_cast<Bytef*>(chunk);
            stream.avail_out = sizeof chunk;
            deflate(&stream, flush);
            out.append(chunk, sizeof chunk - stream.avail_out);
        } while (stream.avail_out == 0);
        if (flush == Z_FINISH) break;
    }
    deflateEnd(&stream);
    return out;
}

// Varied bytes that compress: a repeating text with a changing counter.
std::string sampleData(size_t size) {
    std::string data;
    for (uint64_t i = 0; data.size() < size; ++i) data += "tile " + std::to_string(i * 7919 % 1000) + ";";
    data.resize(size);
    return data;
}

// Length and bytes of one call's result; `bytes` is empty when the buffer came back null.
struct Result {
    int32_t length;
    std::optional<std::string> bytes;
};

Result taken(int32_t length, unsigned char* out) {
    Result result{length, std::nullopt};
    if (out) result.bytes = std::string(reinterpret_cast<char*>(out), length > 0 ? length : 0);
    std::free(out);
    return result;
}

Result inflateWithHint(const std::string& in, int32_t hint) {
    unsigned char* out = nullptr;
    const int32_t length = ccInflateMemoryWithHint(reinterpret_cast<const unsigned char*>(in.data()),
                                                   static_cast<uint32_t>(in.size()), &out, hint);
    return taken(length, out);
}

// One call of a file reader (ccInflateGZipFile or ccInflateCCZFile).
Result inflateFile(int32_t (*reader)(const char*, unsigned char**), const std::string& path) {
    unsigned char* out = nullptr;
    const int32_t length = reader(path.c_str(), &out);
    return taken(length, out);
}

Result inflateGZipFile(const std::string& path) { return inflateFile(ccInflateGZipFile, path); }
Result inflateCCZFile(const std::string& path) { return inflateFile(ccInflateCCZFile, path); }

std::string bigEndian(uint32_t value, int bytes) {
    std::string out;
    for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8) out += static_cast<char>(value >> shift);
    return out;
}

std::string cczHeader(uint16_t compressionType, uint16_t version, uint32_t length) {
    return "CCZ!" + bigEndian(compressionType, 2) + bigEndian(version, 2) + bigEndian(0, 4) + bigEndian(length, 4);
}

std::string cczFile(const std::string& data, uint16_t version = 2) {
    return cczHeader(0, version, static_cast<uint32_t>(data.size())) + zlibCompress(data);
}
}  // namespace

TEST(ccInflate, MemoryGrowsFromTheHintUntilTheStreamEnds) {
    const std::string data = sampleData(100);
    const std::string zlib = zlibCompress(data);
    // 16 -> 32 -> 64 -> 128 bytes of room for 100 bytes of output.
    const Result grown = inflateWithHint(zlib, 16);
    EXPECT_EQ(grown.length, 100);
    EXPECT_EQ(grown.bytes, data);
    // A hint of 0 or less, as a tile map of zero (or overflowing) size gives, starts at the default.
    EXPECT_EQ(inflateWithHint(zlib, 0).bytes, data);
    EXPECT_EQ(inflateWithHint(zlib, -5).bytes, data);

    const std::string large = sampleData(3 * kCCInflateDefaultSize + 17);
    unsigned char* out = nullptr;
    const std::string deflated = zlibCompress(large);
    const int32_t length =
        ccInflateMemory(reinterpret_cast<const unsigned char*>(deflated.data()), static_cast<uint32_t>(deflated.size()), &out);
    EXPECT_EQ(taken(length, out).bytes, large);

    // gzip streams are taken like zlib ones.
    EXPECT_EQ(inflateWithHint(gzipCompress(data), 0).bytes, data);
}

TEST(ccInflate, MemoryRefusesBrokenStreams) {
    const std::string zlib = zlibCompress(sampleData(1000));
    std::string corrupt = zlib;
    corrupt[corrupt.size() / 2] = static_cast<char>(corrupt[corrupt.size() / 2] ^ 0x55);
    std::string badChecksum = zlib;
    badChecksum.back() = static_cast<char>(badChecksum.back() ^ 1);
    for (const std::string& bad : {std::string(), std::string("not compressed"), zlib.substr(0, zlib.size() / 2),
                                   zlib.substr(0, zlib.size() - 1), corrupt, badChecksum}) {
        const Result result = inflateWithHint(bad, 16);
        EXPECT_EQ(result.length, 0);
        EXPECT_EQ(result.bytes, std::nullopt);
    }
}

TEST(ccInflate, MemoryOutputIsCappedAgainstDecompressionBombs) {
    LogCapture capture;
    // With a hint of the maximum the output fills its first buffer exactly.
    const Result atCap = inflateWithHint(zlibZeros(kCCInflateMaxSize), kCCInflateMaxSize);
    EXPECT_EQ(atCap.length, kCCInflateMaxSize);
    EXPECT_TRUE(atCap.bytes);
    EXPECT_TRUE(capture.lines().empty());

    const std::string bomb = zlibZeros(int64_t{kCCInflateMaxSize} + 1);
    for (int32_t hint : {0, INT32_MAX}) {
        const Result beyond = inflateWithHint(bomb, hint);
        EXPECT_EQ(beyond.length, 0);
        EXPECT_EQ(beyond.bytes, std::nullopt);
    }
    EXPECT_EQ(capture.lines().size(), 2u);
}

TEST(ccInflate, GZipFileIsReadWhole) {
    TemporaryFolder folder;
    const std::string data = sampleData(3 * 1024 * 1024 + 5);  // beyond the first two reads
    const std::string gzip = gzipCompress(data);
    const Result result = inflateGZipFile(folder.write("big.gz", gzip));
    EXPECT_EQ(result.length, static_cast<int32_t>(data.size()));
    EXPECT_EQ(result.bytes, data);

    EXPECT_EQ(inflateGZipFile(folder.write("empty.gz", gzipCompress(""))).bytes, "");
    // zlib's reader passes a file that is not gzip through as it stands.
    EXPECT_EQ(inflateGZipFile(folder.write("plain.txt", "plain text")).bytes, "plain text");

    for (const std::string& path : {folder.file("missing.gz"), folder.write("cut.gz", gzip.substr(0, gzip.size() / 2)),
                                    folder.write("nocrc.gz", gzip.substr(0, gzip.size() - 4))}) {
        const Result failed = inflateGZipFile(path);
        EXPECT_EQ(failed.length, -1) << path;
        EXPECT_EQ(failed.bytes, std::nullopt) << path;
    }
}

TEST(ccInflate, GZipFileOutputIsCapped) {
    TemporaryFolder folder;
    const std::string path = folder.file("bomb.gz");
    gzFile file = gzopen(path.c_str(), "wb1");
    const std::string zeros(1 << 20, '\0');
    for (int i = 0; i < kCCInflateMaxSize / (1 << 20); ++i) gzwrite(file, zeros.data(), static_cast<unsigned>(zeros.size()));
    gzclose(file);
    const Result atCap = inflateGZipFile(path);
    EXPECT_EQ(atCap.length, kCCInflateMaxSize);

    file = gzopen(path.c_str(), "ab1");  // a second gzip member, read on after the first
    gzwrite(file, "x", 1);
    gzclose(file);
    LogCapture capture;
    const Result beyond = inflateGZipFile(path);
    EXPECT_EQ(beyond.length, -1);
    EXPECT_EQ(beyond.bytes, std::nullopt);
    EXPECT_EQ(capture.lines().size(), 1u);
}

TEST(ccInflate, CCZFileIsCheckedAndInflated) {
    TemporaryFolder folder;
    const std::string data = sampleData(4000);
    for (uint16_t version : {0, 1, 2}) {
        const Result result = inflateCCZFile(folder.write("ok.ccz", cczFile(data, version)));
        EXPECT_EQ(result.length, 4000);
        EXPECT_EQ(result.bytes, data);
    }
    // The header's length is an upper bound: the bytes produced are what counts.
    const Result shorter = inflateCCZFile(folder.write("long.ccz", cczHeader(0, 2, 9000) + zlibCompress(data)));
    EXPECT_EQ(shorter.length, 4000);
    EXPECT_EQ(shorter.bytes, data);

    LogCapture capture;
    const std::string stream = zlibCompress(data);
    const std::string refused[] = {
        cczFile(data, 3),                                   // version too new
        cczHeader(1, 2, 4000) + stream,                     // compression type 1
        "CCZ?" + cczFile(data).substr(4),                   // magic
        cczFile(data).substr(0, 10),                        // shorter than the header
        cczHeader(0, 2, 4000),                              // header only
        cczHeader(0, 2, 3999) + stream,                     // more data than the header allows
        cczHeader(0, 2, 4000) + stream.substr(0, 100),      // truncated stream
        cczHeader(0, 2, 0x80000000u) + stream,              // lengths that int32 cannot hold
        cczHeader(0, 2, 0xFFFFFFFFu) + stream,
        cczHeader(0, 2, uint32_t{kCCInflateMaxSize} + 1) + stream,
    };
    for (const std::string& bytes : refused) {
        const Result result = inflateCCZFile(folder.write("bad.ccz", bytes));
        EXPECT_EQ(result.length, -1) << bytes.size();
        EXPECT_EQ(result.bytes, std::nullopt) << bytes.size();
    }
    EXPECT_EQ(capture.lines().size(), 3u);  // the three lengths beyond the maximum
    EXPECT_EQ(inflateCCZFile(folder.file("missing.ccz")).length, -1);
}
