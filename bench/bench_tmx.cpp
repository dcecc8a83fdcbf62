// Tile maps, ours against the limit in the same run:
//   load/256x256    a TMX document of one 256 x 256 layer, its GIDs zlib-compressed and base64-coded,
//                   read into map records; the limit reads the same text with expat alone (collecting
//                   the data text), base64-decodes it and inflates it with zlib's uncompress.
//   draw/<n> tiles  frames of a full-window orthogonal layer of 16 x 16 tiles in a shown 1024 x 768
//                   window, drawn by the director (clear, visit, buffer swap); the limit draws as many
//                   quads with one hand-written program and one draw call (bench/RawQuads.h).
//
// The draw benchmarks need a display: run under xvfb-run. Medians of 5 repetitions unless the
// command line asks otherwise.

#include <benchmark/benchmark.h>
#include <epoxy/gl.h>
#include <expat.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchWindow.h"
#include "bench/BenchmarkPairs.h"
#include "bench/RawQuads.h"
#include "engine/core/support/ccBase64.h"
#include "engine/render/CCTMXTiledMap.h"
#include "platform/image/Image.h"
#include "platform/window/GLWindow.h"
#include "tests/engine/render/TMXTestMaps.h"

namespace {

constexpr uint32_t kWidth = 1024, kHeight = 768;  // window pixels
constexpr uint32_t kTile = 16;                    // tile side, pixels
constexpr uint32_t kColumns = kWidth / kTile, kRows = kHeight / kTile;
constexpr int kWarmUpFrames = 3;

// A map of one width x height layer whose GIDs cycle through the picture's four tiles.
std::string mapText(uint32_t width, uint32_t height) {
    std::vector<uint32_t> tiles(width * height);
    for (uint32_t i = 0; i < width * height; ++i) tiles[i] = 1 + (i * 7 + i / width) % 4;
    const std::string gids = littleEndian(tiles);
    std::string compressed(compressBound(gids.size()), '\0');
    uLongf length = compressed.size();
    compress(reinterpret_cast<Bytef*>(compressed.data()), &length, reinterpret_cast<const Bytef*>(gids.data()),
             gids.size());
    compressed.resize(length);
    const std::string w = std::to_string(width), h = std::to_string(height), t = std::to_string(kTile);
    return R"(<?xml version="1.0"?><map version="1.0" orientation="orthogonal" width=")" + w + "\" height=\"" + h +
           "\" tilewidth=\"" + t + "\" tileheight=\"" + t + R"("><tileset name="t" firstgid="1" tilewidth=")" + t +
           "\" tileheight=\"" + t + R"("><image source="tiles.png"/></tileset><layer name="ground" width=")" + w +
           "\" height=\"" + h + R"("><data encoding="base64" compression="zlib">)" + base64(compressed) +
           "</data></layer></map>";
}

const std::string& loadText() {
    static const std::string text = mapText(256, 256);
    return text;
}

// MARK: load

void loadOurs(benchmark::State& state) {
    for (auto _ : state) {
        RefPtr<CCTMXMapInfo> info = CCTMXMapInfo::formatWithXML(loadText(), "/tmp");
        benchmark::DoNotOptimize(info->layers()[0]->tiles().data());
    }
}

struct ExpatData {
    bool inData = false;
    std::string text;
};

void loadLimit(benchmark::State& state) {
    for (auto _ : state) {
        ExpatData data;
        XML_Parser parser = XML_ParserCreate(nullptr);
        XML_SetUserData(parser, &data);
        XML_SetElementHandler(
            parser, [](void* user, const XML_Char* name, const XML_Char**) {
                static_cast<ExpatData*>(user)->inData = std::string_view(name) == "data";
            },
            [](void* user, const XML_Char*) { static_cast<ExpatData*>(user)->inData = false; });
        XML_SetCharacterDataHandler(parser, [](void* user, const XML_Char* text, int length) {
            auto* data = static_cast<ExpatData*>(user);
            if (data->inData) data->text.append(text, static_cast<size_t>(length));
        });
        XML_Parse(parser, loadText().data(), static_cast<int>(loadText().size()), 1);
        XML_ParserFree(parser);
        unsigned char* decoded = nullptr;
        const uint32_t length = base64DecodeAlloc(reinterpret_cast<const unsigned char*>(data.text.data()),
                                                  static_cast<uint32_t>(data.text.size()), &decoded);
        std::vector<uint32_t> tiles(256 * 256);
        uLongf produced = tiles.size() * sizeof(uint32_t);
        uncompress(reinterpret_cast<Bytef*>(tiles.data()), &produced, decoded, length);
        std::free(decoded);
        benchmark::DoNotOptimize(tiles.data());
    }
}

// MARK: draw

// Four solid 16 x 16 tiles side by side, RGBA.
std::vector<uint8_t> tilePixels() {
    std::vector<uint8_t> pixels(4 * kTile * kTile * 4);
    for (uint32_t i = 0; i < 4 * kTile * kTile; ++i) {
        const uint32_t tile = (i % (4 * kTile)) / kTile;
        const uint8_t rgba[] = {uint8_t(60 * tile), 200, uint8_t(255 - 60 * tile), 255};
        std::copy(rgba, rgba + 4, &pixels[i * 4]);
    }
    return pixels;
}

class OurFrames {
public:
    OurFrames() : bench_("bench_tmx ours", CGSizeMake(kWidth, kHeight)) {
        if (!bench_.ready()) return;
        char folder[] = "/tmp/bench-tmx-XXXXXX";
        if (!mkdtemp(folder)) return;
        folder_ = folder;
        Image(4 * kTile, kTile, true, tilePixels()).writePNG(folder_ + "/tiles.png");
        RefPtr<CCScene> scene = CCScene::node();
        RefPtr<CCTMXTiledMap> map = CCTMXTiledMap::tiledMapWithXML(mapText(kColumns, kRows), folder_);
        if (!map) return;
        scene->addChild(map.get());
        bench_.runWithScene(scene);
        mapLoaded_ = true;
    }

    ~OurFrames() {
        if (!folder_.empty()) std::filesystem::remove_all(folder_);
    }

    bool ready() const { return mapLoaded_; }
    void draw() { bench_.drawScene(); }

private:
    BenchDirector bench_;
    std::string folder_;
    bool mapLoaded_ = false;
};

class RawGLFrames {
public:
    RawGLFrames() {
        window_ = GLWindow::create("bench_tmx rawGL", CGSizeMake(kWidth, kHeight));
        if (!window_) return;
        window_->setSwapInterval(0);
        glViewport(0, 0, kWidth, kHeight);
        glClearColor(0, 0, 0, 1);
        kmMat4MakeOrtho(&projection_, 0, kWidth, 0, kHeight, -1024, 1024);
        const std::vector<uint8_t> pixels = tilePixels();
        glGenTextures(1, &texture_);
        glBindTexture(GL_TEXTURE_2D, texture_);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 4 * kTile, kTile, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        std::vector<ccV3F_C4B_T2F_Quad> quads;
        const ccColor4B white{255, 255, 255, 255};
        for (uint32_t i = 0; i < kColumns * kRows; ++i) {
            const float x = float(i % kColumns * kTile), y = float((kRows - 1 - i / kColumns) * kTile);
            const float u = float((1 + (i * 7 + i / kColumns) % 4) - 1) / 4;
            quads.push_back({{{x, y + kTile, 0}, white, {u, 0}},
                             {{x, y, 0}, white, {u, 1}},
                             {{x + kTile, y + kTile, 0}, white, {u + 0.25f, 0}},
                             {{x + kTile, y, 0}, white, {u + 0.25f, 1}}});
        }
        raw_ = std::make_unique<RawQuads>(quads);
    }

    ~RawGLFrames() {
        if (!window_) return;
        raw_.reset();
        glDeleteTextures(1, &texture_);
    }

    bool ready() const { return window_ != nullptr; }

    void draw() {
        glClear(GL_COLOR_BUFFER_BIT);
        raw_->draw(projection_, texture_, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
        window_->swapBuffers();
    }

private:
    std::unique_ptr<GLWindow> window_;
    std::unique_ptr<RawQuads> raw_;
    kmMat4 projection_;
    GLuint texture_ = 0;
};

template <typename Frames>
void draw(benchmark::State& state) {
    Frames frames;
    if (!frames.ready()) {
        state.SkipWithError("no window");
        return;
    }
    for (int i = 0; i < kWarmUpFrames; ++i) frames.draw();
    for (auto _ : state) frames.draw();
    state.counters["tiles"] = kColumns * kRows;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<char*> args = withFiveRepetitions(argc, argv);
    int count = static_cast<int>(args.size());
    const std::string drawName = "draw/" + std::to_string(kColumns * kRows) + " tiles";
    return runBenchmarkGroups(count, args.data(),
                              {{"load/256x256", loadOurs, {{"expat+zlib", loadLimit}}},
                               {drawName, draw<OurFrames>, {{"rawGL", draw<RawGLFrames>}}}},
                              benchmark::kMillisecond);
}
