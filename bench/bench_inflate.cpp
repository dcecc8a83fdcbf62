// Inflation of texture-sized data: our in-memory and CCZ readers against plain zlib doing the same
// work with the output size known in advance.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "bench/BenchmarkPairs.h"
#include "engine/core/support/ccInflate.h"

namespace {
constexpr int kSide = 1024;  // a 1024 x 1024 RGBA texture: 4 MiB

// Texture-like pixels: a dithered sky gradient, a band of repeated shaded sprites and a fully
// transparent corner, as sprite sheets and backgrounds look.
std::vector<unsigned char> makeImage() {
    std::vector<unsigned char> pixels(size_t{kSide} * kSide * 4);
    std::mt19937 random(42);
    std::uniform_int_distribution<int> dither(-2, 2);
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            unsigned char* p = &pixels[(size_t{static_cast<size_t>(y)} * kSide + x) * 4];
            if (x >= kSide * 3 / 4 && y < kSide / 4) continue;  // transparent: all zero
            if (y >= kSide / 2) {
                const int dx = x % 64 - 32, dy = y % 64 - 32;
                const double distance = std::sqrt(double(dx * dx + dy * dy));
                const int shade = distance < 28 ? static_cast<int>(255 - distance * 6) : 40;
                p[0] = static_cast<unsigned char>(shade);
                p[1] = static_cast<unsigned char>(shade / 2);
                p[2] = static_cast<unsigned char>(255 - shade / 3);
                p[3] = distance < 28 ? 255 : 0;
            } else {
                p[0] = static_cast<unsigned char>(std::clamp(60 + y / 8 + dither(random), 0, 255));
                p[1] = static_cast<unsigned char>(std::clamp(120 + y / 6 + dither(random), 0, 255));
                p[2] = static_cast<unsigned char>(std::clamp(220 - y / 10 + dither(random), 0, 255));
                p[3] = 255;
            }
        }
    }
    return pixels;
}

struct Data {
    std::vector<unsigned char> image;
    std::string zlib;      // the image as one zlib stream
    std::string cczPath;   // the image as a CCZ file
    ~Data() { std::filesystem::remove(cczPath); }
};

const Data& data() {
    static const Data shared = [] {
        Data d;
        d.image = makeImage();
        uLongf length = compressBound(d.image.size());
        d.zlib.resize(length);
        compress2(reinterpret_cast<Bytef*>(d.zlib.data()), &length, d.image.data(), d.image.size(), Z_BEST_COMPRESSION);
        d.zlib.resize(length);
        const uint32_t size = static_cast<uint32_t>(d.image.size());
        std::string header = "CCZ!";
        header += std::string{0, 0, 0, 2, 0, 0, 0, 0};
        for (int shift = 24; shift >= 0; shift -= 8) header += static_cast<char>(size >> shift);
        d.cczPath = (std::filesystem::temp_directory_path() / "vantrel-bench-inflate.ccz").string();
        std::ofstream(d.cczPath, std::ios::binary) << header << d.zlib;
        return d;
    }();
    return shared;
}

const unsigned char* zlibBytes() { return reinterpret_cast<const unsigned char*>(data().zlib.data()); }
uint32_t zlibLength() { return static_cast<uint32_t>(data().zlib.size()); }

void setBytes(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(data().image.size()));
}

// Ours: the default first size of 256 KiB, grown by doubling.
void OursInflateMemory(benchmark::State& state) {
    for (auto _ : state) {
        unsigned char* out = nullptr;
        benchmark::DoNotOptimize(ccInflateMemory(zlibBytes(), zlibLength(), &out));
        std::free(out);
    }
    setBytes(state);
}

// Peer: inflate into a buffer of the known size.
void ZlibInflateLoop(benchmark::State& state) {
    const size_t size = data().image.size();
    for (auto _ : state) {
        auto* out = static_cast<unsigned char*>(std::malloc(size));
        z_stream stream{};
        stream.next_in = const_cast<unsigned char*>(zlibBytes());
        stream.avail_in = zlibLength();
        stream.next_out = out;
        stream.avail_out = static_cast<uInt>(size);
        inflateInit2(&stream, 15 + 32);
        int status;
        do status = inflate(&stream, Z_NO_FLUSH);
        while (status == Z_OK);
        inflateEnd(&stream);
        if (status != Z_STREAM_END) state.SkipWithError("inflate failed");
        std::free(out);
    }
    setBytes(state);
}

// Ours with the exact size as the hint, as the tile map passes it.
void OursInflateMemoryExactHint(benchmark::State& state) {
    const int32_t size = static_cast<int32_t>(data().image.size());
    for (auto _ : state) {
        unsigned char* out = nullptr;
        benchmark::DoNotOptimize(ccInflateMemoryWithHint(zlibBytes(), zlibLength(), &out, size));
        std::free(out);
    }
    setBytes(state);
}

// Peer: zlib's one-shot uncompress with the known size.
void ZlibUncompress(benchmark::State& state) {
    const size_t size = data().image.size();
    for (auto _ : state) {
        auto* out = static_cast<unsigned char*>(std::malloc(size));
        uLongf length = size;
        if (uncompress(out, &length, zlibBytes(), zlibLength()) != Z_OK) state.SkipWithError("uncompress failed");
        std::free(out);
    }
    setBytes(state);
}

void OursInflateCCZFile(benchmark::State& state) {
    for (auto _ : state) {
        unsigned char* out = nullptr;
        benchmark::DoNotOptimize(ccInflateCCZFile(data().cczPath.c_str(), &out));
        std::free(out);
    }
    setBytes(state);
}

// Peer: read the same file whole, then uncompress after its 16-byte header.
void ZlibReadFileAndUncompress(benchmark::State& state) {
    const size_t size = data().image.size();
    for (auto _ : state) {
        FILE* file = std::fopen(data().cczPath.c_str(), "rb");
        std::fseek(file, 0, SEEK_END);
        const long fileLength = std::ftell(file);
        std::fseek(file, 0, SEEK_SET);
        auto* bytes = static_cast<unsigned char*>(std::malloc(fileLength));
        const size_t read = std::fread(bytes, 1, fileLength, file);
        std::fclose(file);
        auto* out = static_cast<unsigned char*>(std::malloc(size));
        uLongf length = size;
        if (uncompress(out, &length, bytes + 16, read - 16) != Z_OK) state.SkipWithError("uncompress failed");
        std::free(bytes);
        std::free(out);
    }
    setBytes(state);
}

void printData() {
    std::printf("data: %zu bytes RGBA, %zu bytes deflated\n", data().image.size(), data().zlib.size());
}
}  // namespace

int main(int argc, char** argv) {
    return runBenchmarkPairs(argc, argv,
                             {
                                 {"memory", OursInflateMemory, ZlibInflateLoop},
                                 {"memoryExactHint", OursInflateMemoryExactHint, ZlibUncompress},
                                 {"cczFile", OursInflateCCZFile, ZlibReadFileAndUncompress},
                             },
                             "zlib", benchmark::kMillisecond, printData);
}
