// Frames of a full-window scene (a coloured layer and 1000 16 x 16 sprites in a batch) in a shown
// 1024 x 768 window, drawn three ways, each in a window of its own:
//   waves3D / wavesTiles3D  ours: the scene drawn through a grid effect on a 32 x 24 grid covering
//                           the window (captured into a texture, the mesh moved, drawn back);
//   noGrid                  the same scene drawn straight to the window, the peer.
// Every frame steps the effect and draws and swaps buffers with vsync off, so a frame's time covers
// the mesh update, the capture, the drawing and presenting; the ratio is what the grid costs.
//
// Needs a display: run it under xvfb-run (Mesa's software renderer there) or on a desktop.
// Reports the median of 5 repetitions unless the command line asks otherwise.

#include <benchmark/benchmark.h>
#include <epoxy/gl.h>

#include <vector>

#include "bench/BenchWindow.h"
#include "bench/BenchmarkPairs.h"
#include "engine/actions/grid/CCWaves3D.h"
#include "engine/actions/grid/CCWavesTiles3D.h"
#include "engine/core/CCLayerColor.h"
#include "engine/core/CCTexture2D.h"
#include "engine/render/CCSprite.h"
#include "engine/render/CCSpriteBatchNode.h"

namespace {

constexpr uint32_t kWidth = 1024;  // window pixels
constexpr uint32_t kHeight = 768;
constexpr uint32_t kSprites = 1000;
constexpr uint32_t kSide = 16;  // pixels of the texture's side
constexpr ccGridSize kGrid{32, 24};
// Frames drawn before timing: the first ones pay for compiling shaders and mapping the window.
constexpr int kWarmUpFrames = 3;

enum class Effect { none, waves3D, wavesTiles3D };

class GridFrames {
public:
    explicit GridFrames(Effect effect) : bench_("bench_grid", CGSizeMake(kWidth, kHeight)) {
        if (!bench_.ready()) return;

        std::vector<uint8_t> pixels(kSide * kSide * 4);
        for (uint32_t i = 0; i < kSide * kSide; ++i) {
            const uint8_t rgba[] = {uint8_t(i % kSide * 16), 160, uint8_t(i / kSide * 16), 255};
            std::copy(rgba, rgba + 4, &pixels[i * 4]);
        }
        auto texture = makeRef<CCTexture2D>();
        texture->initWithData(pixels.data(), kCCTexture2DPixelFormat_RGBA8888, kSide, kSide, CGSizeMake(kSide, kSide));
        scene_ = CCScene::node();
        scene_->addChild(CCLayerColor::layerWithColor({40, 60, 90, 255}).get());
        RefPtr<CCSpriteBatchNode> batch = CCSpriteBatchNode::batchNodeWithTexture(texture, kSprites);
        scene_->addChild(batch.get());
        for (uint32_t i = 0; i < kSprites; ++i) {
            RefPtr<CCSprite> sprite = CCSprite::spriteWithTexture(texture);
            sprite->setPosition(CGPointMake((i * 37) % kWidth, (i * 91) % kHeight));
            batch->addChild(sprite.get());
        }
        if (effect == Effect::waves3D) scene_->runAction(CCWaves3D::actionWithWaves(5, 20, kGrid, 1e6f).get());
        if (effect == Effect::wavesTiles3D) {
            scene_->runAction(CCWavesTiles3D::actionWithWaves(5, 20, kGrid, 1e6f).get());
        }
        bench_.runWithScene(scene_);
    }

    bool ready() const { return bench_.ready(); }

    void draw() { bench_.drawScene(); }

private:
    BenchDirector bench_;
    RefPtr<CCScene> scene_;  // released before bench_, while the GL context is there
};

template <Effect effect>
void run(benchmark::State& state) {
    GridFrames frames(effect);
    if (!frames.ready()) {
        state.SkipWithError("no window");
        return;
    }
    for (int i = 0; i < kWarmUpFrames; ++i) frames.draw();
    for (auto _ : state) frames.draw();
}

}  // namespace

int main(int argc, char** argv) {
    if (!benchDisplayAvailable("bench_grid", CGSizeMake(kWidth, kHeight))) return 0;
    std::vector<char*> args = withFiveRepetitions(argc, argv);
    int count = static_cast<int>(args.size());
    return runBenchmarkPairs(count, args.data(),
                             {{"waves3D", run<Effect::waves3D>, run<Effect::none>},
                              {"wavesTiles3D", run<Effect::wavesTiles3D>, run<Effect::none>}},
                             "noGrid", benchmark::kMillisecond);
}
