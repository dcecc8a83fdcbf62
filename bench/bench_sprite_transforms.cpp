// Moving 10000 sprites of one batch node for a frame through the batch's quad update path, without
// drawing: every sprite takes a new position (which marks it dirty), then every child of the batch
// rewrites its quad in the atlas (updateTransform, as the batch's draw does). Against the limit: a
// plain loop writing the same vertex positions into an array of quads. The "perSprite" column is
// the time per sprite.
//
// Needs a display for the GL context that the batch's program and texture live in: run it under
// xvfb-run or on a desktop.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "bench/BenchmarkPairs.h"
#include "engine/core/CCShaderCache.h"
#include "engine/core/CCTexture2D.h"
#include "engine/core/ccGLStateCache.h"
#include "engine/render/CCSprite.h"
#include "engine/render/CCSpriteBatchNode.h"
#include "platform/window/GLWindow.h"

namespace {

constexpr uint32_t kSprites = 10000;
constexpr float kHalf = 8;  // half a sprite's side, points

// Centre of sprite i in a frame, points: a 100 x 100 grid 10 points apart, shifted one point
// right and up every other frame.
CGPoint pointOf(uint32_t i, uint32_t frame) {
    const double shift = frame % 2;
    return {static_cast<double>(i % 100) * 10 + shift, static_cast<double>(i / 100) * 10 + shift};
}

RefPtr<CCSpriteBatchNode> makeBatch() {
    const std::vector<uint8_t> white(static_cast<size_t>(kHalf * 2 * kHalf * 2 * 4), 255);
    auto texture = makeRef<CCTexture2D>();
    texture->initWithData(white.data(), kCCTexture2DPixelFormat_RGBA8888, 16, 16, CGSizeMake(16, 16));
    RefPtr<CCSpriteBatchNode> batch = CCSpriteBatchNode::batchNodeWithTexture(texture, kSprites);
    for (uint32_t i = 0; i < kSprites; ++i) batch->addChild(CCSprite::spriteWithTexture(texture).get());
    return batch;
}

void moveOurs(CCSpriteBatchNode* batch, uint32_t frame) {
    uint32_t i = 0;
    for (Object* child : *batch->children()) static_cast<CCSprite*>(child)->setPosition(pointOf(i++, frame));
    for (Object* child : *batch->children()) static_cast<CCSprite*>(child)->updateTransform();
}

void moveLimit(std::vector<ccV3F_C4B_T2F_Quad>& quads, uint32_t frame) {
    for (uint32_t i = 0; i < quads.size(); ++i) {
        const CGPoint centre = pointOf(i, frame);
        const float left = static_cast<float>(centre.x) - kHalf, right = static_cast<float>(centre.x) + kHalf;
        const float bottom = static_cast<float>(centre.y) - kHalf, top = static_cast<float>(centre.y) + kHalf;
        ccV3F_C4B_T2F_Quad& q = quads[i];
        q.bl.vertices = {left, bottom, 0};
        q.br.vertices = {right, bottom, 0};
        q.tl.vertices = {left, top, 0};
        q.tr.vertices = {right, top, 0};
    }
}

void setPerSprite(benchmark::State& state) {
    state.counters["perSprite"] =
        benchmark::Counter(kSprites, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void ours(benchmark::State& state) {
    const RefPtr<CCSpriteBatchNode> batch = makeBatch();
    uint32_t frame = 0;
    for (auto _ : state) {
        moveOurs(batch.get(), ++frame);
        benchmark::DoNotOptimize(batch->textureAtlas()->quads());
    }
    setPerSprite(state);
}

void limit(benchmark::State& state) {
    std::vector<ccV3F_C4B_T2F_Quad> quads(kSprites);
    uint32_t frame = 0;
    for (auto _ : state) {
        moveLimit(quads, ++frame);
        benchmark::DoNotOptimize(quads.data());
    }
    setPerSprite(state);
}

// Whether both sides write the same vertex positions for a frame.
bool sameQuads() {
    const RefPtr<CCSpriteBatchNode> batch = makeBatch();
    moveOurs(batch.get(), 1);
    std::vector<ccV3F_C4B_T2F_Quad> quads(kSprites);
    moveLimit(quads, 1);
    const ccV3F_C4B_T2F_Quad* atlas = batch->textureAtlas()->quads();
    for (uint32_t i = 0; i < kSprites; ++i) {
        const ccVertex3F ourCorners[] = {atlas[i].bl.vertices, atlas[i].br.vertices, atlas[i].tl.vertices,
                                         atlas[i].tr.vertices};
        const ccVertex3F limitCorners[] = {quads[i].bl.vertices, quads[i].br.vertices, quads[i].tl.vertices,
                                           quads[i].tr.vertices};
        if (std::memcmp(ourCorners, limitCorners, sizeof(ourCorners)) != 0) return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::unique_ptr<GLWindow> window = GLWindow::create("bench_sprite_transforms", CGSizeMake(64, 64), true);
    if (!window) {
        std::printf("bench_sprite_transforms: skipped, no display or GL context (run it under xvfb-run)\n");
        return 0;
    }
    if (!sameQuads()) {
        std::printf("bench_sprite_transforms: ours and the limit write different quads\n");
        return 1;
    }
    const int status = runBenchmarkPairs(argc, argv, {{"move10000", ours, limit}}, "limit", benchmark::kMicrosecond);

    // GL objects go while their context is there.
    CCShaderCache::purgeSharedShaderCache();
    ccGLInvalidateStateCache();
    window.reset();
    return status;
}
