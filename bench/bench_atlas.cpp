// Frames of N textured, coloured 8 x 8 quads (N = 1000, 10000, 50000) drawn through the texture
// atlas, against the limit: a hand-written OpenGL program drawing the same quads from one vertex
// buffer and one index buffer with one glDrawElements. Each frame clears, draws and waits for GL
// to finish (glFinish), so the times include the rendering itself.
//
// "static" frames draw unchanged quads; "moving" frames first move every quad (through the
// atlas's updateQuad for ours, by rewriting the client array for the peer) and so upload them all.
// An atlas holds at most 16384 quads (16-bit indices), so 50000 quads take four atlases and four
// draw calls where the peer, with 32-bit indices, makes one.
//
// Needs a display: run it under xvfb-run (Mesa's software renderer there) or on a desktop.

#include <benchmark/benchmark.h>
#include <epoxy/gl.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "bench/BenchmarkPairs.h"
#include "bench/RawQuads.h"
#include "engine/core/CCGLProgram.h"
#include "engine/core/CCShaderCache.h"
#include "engine/core/CCTexture2D.h"
#include "engine/core/CCTextureAtlas.h"
#include "engine/core/ccGLStateCache.h"
#include "engine/core/math/kmGLMatrix.h"
#include "platform/window/GLWindow.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr float kSide = 8;            // pixels per quad side
constexpr int kColumns = kWidth / 8;  // quads per row before they wrap
constexpr int kRows = kHeight / 8;

std::unique_ptr<GLWindow> window;
RefPtr<CCTexture2D> texture;  // 32 x 32 checker, shared by both sides

// Quad i of a frame, shifted right by `shift` pixels; past a screenful the grid starts again.
ccV3F_C4B_T2F_Quad quadAt(uint64_t i, float shift) {
    const float x = static_cast<float>(i % kColumns) * kSide + shift;
    const float y = static_cast<float>((i / kColumns) % kRows) * kSide;
    const ccColor4B c{static_cast<uint8_t>(i * 37), static_cast<uint8_t>(i * 91), static_cast<uint8_t>(i * 13), 255};
    ccV3F_C4B_T2F_Quad q;
    q.bl = {{x, y, 0}, c, {0, 1}};
    q.br = {{x + kSide, y, 0}, c, {1, 1}};
    q.tl = {{x, y + kSide, 0}, c, {0, 0}};
    q.tr = {{x + kSide, y + kSide, 0}, c, {1, 0}};
    return q;
}

kmMat4 projection() {
    kmMat4 matrix;
    kmMat4MakeOrtho(&matrix, 0, kWidth, 0, kHeight, -1024, 1024);
    return matrix;
}

// MARK: ours

class OurFrame {
public:
    explicit OurFrame(uint64_t n) : n_(n) {
        for (uint64_t first = 0; first < n; first += CCTextureAtlas::kCCTextureAtlasMaxCapacity) {
            const uint64_t count = std::min(n - first, CCTextureAtlas::kCCTextureAtlasMaxCapacity);
            atlases_.push_back(CCTextureAtlas::textureAtlasWithTexture(texture, count));
        }
        move(0);
        program_ = CCShaderCache::sharedShaderCache()->programForKey(kCCShader_PositionTextureColor);

        // The peer changes GL state behind the state cache: start from a cache that knows nothing.
        ccGLInvalidateStateCache();
        ccGLBindVertexArray(0);
        const kmMat4 ortho = projection();
        kmGLSetMatrixMode(KM_GL_PROJECTION);
        kmGLLoad(&ortho);
        kmGLSetMatrixMode(KM_GL_MODELVIEW);
        kmGLSetIdentity();
    }

    void move(float shift) {
        for (uint64_t i = 0; i < n_; ++i) {
            const ccV3F_C4B_T2F_Quad q = quadAt(i, shift);
            atlases_[i / CCTextureAtlas::kCCTextureAtlasMaxCapacity]->updateQuad(
                &q, i % CCTextureAtlas::kCCTextureAtlasMaxCapacity);
        }
    }

    void draw() {
        glClear(GL_COLOR_BUFFER_BIT);
        program_->use();
        program_->setUniformsForBuiltins();
        ccGLSetBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
        for (const RefPtr<CCTextureAtlas>& atlas : atlases_) atlas->drawQuads();
        glFinish();
    }

    uint64_t drawCalls() const { return atlases_.size(); }

private:
    uint64_t n_;
    std::vector<RefPtr<CCTextureAtlas>> atlases_;
    RefPtr<CCGLProgram> program_;
};

void runOurs(benchmark::State& state, uint64_t n, bool moving) {
    OurFrame frame(n);
    float shift = 0;
    for (auto _ : state) {
        if (moving) frame.move(shift = 1 - shift);
        frame.draw();
    }
    state.counters["drawCalls"] = static_cast<double>(frame.drawCalls());
}

// MARK: the limit

class PeerFrame {
public:
    explicit PeerFrame(uint64_t n) : quads_(n) {
        fill(0);
        raw_ = std::make_unique<RawQuads>(quads_);
    }

    void move(float shift) {
        fill(shift);
        raw_->upload(quads_);
    }

    void draw() {
        glClear(GL_COLOR_BUFFER_BIT);
        raw_->draw(projection(), texture->name(), GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
        glFinish();
    }

private:
    void fill(float shift) {
        for (size_t i = 0; i < quads_.size(); ++i) quads_[i] = quadAt(i, shift);
    }

    std::vector<ccV3F_C4B_T2F_Quad> quads_;
    std::unique_ptr<RawQuads> raw_;
};

void runPeer(benchmark::State& state, uint64_t n, bool moving) {
    PeerFrame frame(n);
    float shift = 0;
    for (auto _ : state) {
        if (moving) frame.move(shift = 1 - shift);
        frame.draw();
    }
    state.counters["drawCalls"] = 1;
}

template <uint64_t N, bool Moving>
void ours(benchmark::State& state) {
    runOurs(state, N, Moving);
}

template <uint64_t N, bool Moving>
void peer(benchmark::State& state) {
    runPeer(state, N, Moving);
}

// The first frames of a program pay for the driver compiling its shaders and warming up: draws
// some of both before anything is timed.
void warmUp() {
    OurFrame ours(1000);
    for (int i = 0; i < 200; ++i) ours.draw();
    PeerFrame peer(1000);
    for (int i = 0; i < 200; ++i) peer.draw();
}

bool openWindow() {
    window = GLWindow::create("bench_atlas", CGSizeMake(kWidth, kHeight), true);
    if (!window) return false;
    glViewport(0, 0, kWidth, kHeight);
    glClearColor(0, 0, 0, 1);
    std::vector<uint8_t> checker(32 * 32 * 4);
    for (size_t i = 0; i < 32 * 32; ++i) {
        const uint8_t level = ((i % 32) / 4 + (i / 32) / 4) % 2 ? 255 : 128;
        std::fill_n(&checker[i * 4], 4, level);
    }
    texture = makeRef<CCTexture2D>();
    return texture->initWithData(checker.data(), kCCTexture2DPixelFormat_RGBA8888, 32, 32, CGSizeMake(32, 32));
}

}  // namespace

int main(int argc, char** argv) {
    if (!openWindow()) {
        std::printf("bench_atlas: skipped, no display or GL context (run it under xvfb-run)\n");
        return 0;
    }
    std::printf("GL renderer: %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    const int status = runBenchmarkPairs(argc, argv,
                                         {
                                             {"static/1000", ours<1000, false>, peer<1000, false>},
                                             {"static/10000", ours<10000, false>, peer<10000, false>},
                                             {"static/50000", ours<50000, false>, peer<50000, false>},
                                             {"moving/1000", ours<1000, true>, peer<1000, true>},
                                             {"moving/10000", ours<10000, true>, peer<10000, true>},
                                             {"moving/50000", ours<50000, true>, peer<50000, true>},
                                         },
                                         "rawGL", benchmark::kMillisecond, warmUp);

    // GL objects go while their context is there.
    texture.reset();
    CCShaderCache::purgeSharedShaderCache();
    ccGLInvalidateStateCache();
    window.reset();
    return status;
}
