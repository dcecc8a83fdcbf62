// Frames of N moving 16 x 16 sprites (N = 1000, 10000, 50000) sharing one 16 x 16 texture, in a
// shown 1024 x 768 window, drawn four ways in turn, each in a window of its own that is opened for
// the run and closed after it:
//   ours             the director draws a scene of sprite batch nodes (one per 16384 sprites, the
//                    most an atlas holds), as the game does: clear, visit, buffer swap;
//   rawGL            the limit: a hand-written program with one vertex buffer and one draw call;
//   sfmlVertexArray  SFML 2.5, one vertex array of quads drawn with the texture;
//   sfmlSprites      SFML 2.5, one sprite draw per sprite.
// Every frame moves every sprite to the same spot on all four sides, then draws and swaps buffers
// with vsync off, so a frame's time covers moving, drawing and presenting. Blending is straight
// alpha and filtering linear on all sides.
//
// Needs a display: run it under xvfb-run (Mesa's software renderer there) or on a desktop.
// Reports the median of 5 repetitions unless the command line asks otherwise.

#include <SFML/Graphics.hpp>
#include <benchmark/benchmark.h>
#include <epoxy/gl.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchWindow.h"
#include "bench/BenchmarkPairs.h"
#include "bench/RawQuads.h"
#include "engine/core/CCTexture2D.h"
#include "engine/core/ccGLStateCache.h"
#include "engine/render/CCSprite.h"
#include "engine/render/CCSpriteBatchNode.h"
#include "platform/window/GLWindow.h"

namespace {

constexpr uint32_t kWidth = 1024;  // window pixels
constexpr uint32_t kHeight = 768;
constexpr uint32_t kSide = 16;  // pixels of the texture's and of each sprite's side
constexpr float kHalf = kSide / 2.0f;
// Frames drawn before timing: the first ones pay for compiling shaders and mapping the window.
constexpr int kWarmUpFrames = 3;

// A 4 x 4 checker of opaque and two-thirds transparent cells, RGBA, straight alpha.
std::vector<uint8_t> texturePixels() {
    std::vector<uint8_t> pixels(kSide * kSide * 4);
    for (uint32_t i = 0; i < kSide * kSide; ++i) {
        const bool light = ((i % kSide) / 4 + (i / kSide) / 4) % 2 != 0;
        const uint8_t rgba[] = {light ? uint8_t(255) : uint8_t(40), 160, light ? uint8_t(40) : uint8_t(255),
                                light ? uint8_t(255) : uint8_t(170)};
        std::copy(rgba, rgba + 4, &pixels[i * 4]);
    }
    return pixels;
}

struct Spot {
    float x, y;  // window pixels
};

// Centre of sprite i in a frame: each sprite starts somewhere on the screen and drifts 1 to 4
// pixels a frame along each axis, wrapping so that it always lies wholly inside the window.
Spot spotOf(uint32_t i, uint32_t frame) {
    constexpr uint32_t spanX = kWidth - kSide, spanY = kHeight - kSide;
    return {float((i * 37 + frame * (1 + i % 4)) % spanX) + kHalf,
            float((i * 91 + frame * (1 + i / 4 % 4)) % spanY) + kHalf};
}

// MARK: ours

class OurFrames {
public:
    explicit OurFrames(uint32_t n) : bench_("bench_sprites ours", CGSizeMake(kWidth, kHeight)) {
        if (!bench_.ready()) return;
        const std::vector<uint8_t> pixels = texturePixels();
        auto texture = makeRef<CCTexture2D>();
        texture->initWithData(pixels.data(), kCCTexture2DPixelFormat_RGBA8888, kSide, kSide, CGSizeMake(kSide, kSide));
        RefPtr<CCScene> scene = CCScene::node();
        for (uint32_t first = 0; first < n; first += CCTextureAtlas::kCCTextureAtlasMaxCapacity) {
            const uint64_t count = std::min<uint64_t>(n - first, CCTextureAtlas::kCCTextureAtlasMaxCapacity);
            RefPtr<CCSpriteBatchNode> batch = CCSpriteBatchNode::batchNodeWithTexture(texture, count);
            scene->addChild(batch.get());
            for (uint64_t i = 0; i < count; ++i) {
                RefPtr<CCSprite> sprite = CCSprite::spriteWithTexture(texture);
                batch->addChild(sprite.get());
                sprites_.push_back(sprite.get());
            }
        }
        bench_.runWithScene(scene);
    }

    bool ready() const { return bench_.ready(); }

    void draw(uint32_t frame) {
        for (uint32_t i = 0; i < sprites_.size(); ++i) {
            const Spot spot = spotOf(i, frame);
            sprites_[i]->setPosition(CGPointMake(spot.x, spot.y));
        }
        bench_.drawScene();
    }

private:
    BenchDirector bench_;
    std::vector<CCSprite*> sprites_;  // owned by their batches
};

// MARK: the limit

class RawGLFrames {
public:
    explicit RawGLFrames(uint32_t n) : quads_(n) {
        window_ = GLWindow::create("bench_sprites rawGL", CGSizeMake(kWidth, kHeight));
        if (!window_) return;
        window_->setSwapInterval(0);
        glViewport(0, 0, kWidth, kHeight);
        glClearColor(0, 0, 0, 1);
        kmMat4MakeOrtho(&projection_, 0, kWidth, 0, kHeight, -1024, 1024);

        const std::vector<uint8_t> pixels = texturePixels();
        glGenTextures(1, &texture_);
        glBindTexture(GL_TEXTURE_2D, texture_);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, kSide, kSide, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());

        // Image rows run top first, so the top edge samples t = 0.
        const ccColor4B white{255, 255, 255, 255};
        for (ccV3F_C4B_T2F_Quad& q : quads_) {
            q.bl = {{0, 0, 0}, white, {0, 1}};
            q.br = {{0, 0, 0}, white, {1, 1}};
            q.tl = {{0, 0, 0}, white, {0, 0}};
            q.tr = {{0, 0, 0}, white, {1, 0}};
        }
        raw_ = std::make_unique<RawQuads>(quads_);
    }

    ~RawGLFrames() {
        if (!window_) return;
        raw_.reset();
        glDeleteTextures(1, &texture_);
    }

    bool ready() const { return window_ != nullptr; }

    void draw(uint32_t frame) {
        for (uint32_t i = 0; i < quads_.size(); ++i) {
            const Spot spot = spotOf(i, frame);
            const float left = spot.x - kHalf, right = spot.x + kHalf;
            const float bottom = spot.y - kHalf, top = spot.y + kHalf;
            ccV3F_C4B_T2F_Quad& q = quads_[i];
            q.bl.vertices = {left, bottom, 0};
            q.br.vertices = {right, bottom, 0};
            q.tl.vertices = {left, top, 0};
            q.tr.vertices = {right, top, 0};
        }
        raw_->upload(quads_);
        glClear(GL_COLOR_BUFFER_BIT);
        raw_->draw(projection_, texture_, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        window_->swapBuffers();
    }

private:
    std::unique_ptr<GLWindow> window_;
    std::vector<ccV3F_C4B_T2F_Quad> quads_;
    std::unique_ptr<RawQuads> raw_;
    kmMat4 projection_;
    GLuint texture_ = 0;
};

// MARK: SFML

// An SFML window of the benchmark's size with vsync and frame limiting off, and the texture. It
// has the 24-bit depth buffer the engine's view has, so both draw into the same kind of window
// (Mesa's software renderer fills a window without one markedly faster).
class SfmlWindow {
public:
    explicit SfmlWindow(const char* title)
        : window(sf::VideoMode(kWidth, kHeight), title, sf::Style::Titlebar | sf::Style::Close,
                 sf::ContextSettings(24)) {
        window.setVerticalSyncEnabled(false);
        window.setFramerateLimit(0);
        const std::vector<uint8_t> pixels = texturePixels();
        texture.create(kSide, kSide);
        texture.update(pixels.data());
        texture.setSmooth(true);
    }

    bool ready() const { return window.isOpen(); }

    sf::RenderWindow window;
    sf::Texture texture;
};

class SfmlVertexArrayFrames {
public:
    explicit SfmlVertexArrayFrames(uint32_t n) : sfml_("bench_sprites sfmlVertexArray"), quads_(sf::Quads, n * 4) {
        for (uint32_t i = 0; i < n; ++i) {
            quads_[i * 4].texCoords = {0, 0};
            quads_[i * 4 + 1].texCoords = {kSide, 0};
            quads_[i * 4 + 2].texCoords = {kSide, kSide};
            quads_[i * 4 + 3].texCoords = {0, kSide};
        }
    }

    bool ready() const { return sfml_.ready(); }

    void draw(uint32_t frame) {
        const uint32_t n = static_cast<uint32_t>(quads_.getVertexCount() / 4);
        for (uint32_t i = 0; i < n; ++i) {
            const Spot spot = spotOf(i, frame);
            const float left = spot.x - kHalf, right = spot.x + kHalf;
            const float top = spot.y - kHalf, bottom = spot.y + kHalf;  // y grows downwards
            quads_[i * 4].position = {left, top};
            quads_[i * 4 + 1].position = {right, top};
            quads_[i * 4 + 2].position = {right, bottom};
            quads_[i * 4 + 3].position = {left, bottom};
        }
        sfml_.window.clear();
        sfml_.window.draw(quads_, &sfml_.texture);
        sfml_.window.display();
    }

private:
    SfmlWindow sfml_;
    sf::VertexArray quads_;
};

class SfmlSpriteFrames {
public:
    explicit SfmlSpriteFrames(uint32_t n) : sfml_("bench_sprites sfmlSprites") {
        sprites_.assign(n, sf::Sprite(sfml_.texture));
        for (sf::Sprite& sprite : sprites_) sprite.setOrigin(kHalf, kHalf);
    }

    bool ready() const { return sfml_.ready(); }

    void draw(uint32_t frame) {
        for (uint32_t i = 0; i < sprites_.size(); ++i) {
            const Spot spot = spotOf(i, frame);
            sprites_[i].setPosition(spot.x, spot.y);
        }
        sfml_.window.clear();
        for (const sf::Sprite& sprite : sprites_) sfml_.window.draw(sprite);
        sfml_.window.display();
    }

private:
    SfmlWindow sfml_;
    std::vector<sf::Sprite> sprites_;
};

// MARK: runs

template <typename Frames, uint32_t N>
void run(benchmark::State& state) {
    Frames frames(N);
    if (!frames.ready()) {
        state.SkipWithError("no window");
        return;
    }
    uint32_t frame = 0;
    for (int i = 0; i < kWarmUpFrames; ++i) frames.draw(frame++);
    for (auto _ : state) frames.draw(frame++);
    state.counters["sprites"] = N;
}

template <uint32_t N>
BenchmarkGroup groupOf(const char* name) {
    return {name,
            run<OurFrames, N>,
            {{"rawGL", run<RawGLFrames, N>},
             {"sfmlVertexArray", run<SfmlVertexArrayFrames, N>},
             {"sfmlSprites", run<SfmlSpriteFrames, N>}}};
}

}  // namespace

int main(int argc, char** argv) {
    if (!benchDisplayAvailable("bench_sprites", CGSizeMake(kWidth, kHeight))) return 0;
    std::vector<char*> args = withFiveRepetitions(argc, argv);
    int count = static_cast<int>(args.size());
    return runBenchmarkGroups(count, args.data(), {groupOf<1000>("1000"), groupOf<10000>("10000"), groupOf<50000>("50000")},
                              benchmark::kMillisecond);
}
