// One frame of a running particle system, 1000 to 16000 live particles in gravity or radius mode:
// the system's update (motion, colour, size, quad writes, one upload) and its draw. Against the
// limit: a plain loop doing the same motion and colour steps on an array of particles, filling the
// same vertex array, uploading it and drawing it with one call (RawQuads). "perParticle" is the time
// per particle. Both sides wait for GL to finish each frame. Afterwards it counts the allocations
// of 100 more frames of ours, which should be none.
//
// Needs a display for the GL context: run it under xvfb-run or on a desktop.

#include <benchmark/benchmark.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

#include "bench/BenchmarkPairs.h"
#include "bench/RawQuads.h"
#include "engine/core/CCShaderCache.h"
#include "engine/core/CCTexture2D.h"
#include "engine/core/ccGLStateCache.h"
#include "engine/core/support/ccPointMath.h"
#include "engine/render/CCParticleSystemQuad.h"
#include "platform/window/GLWindow.h"

namespace {
std::atomic<uint64_t> allocations{0};
}  // namespace

// Counting replacements of the global allocation functions; GCC takes their malloc and free for a
// mismatch once they are inlined.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }

namespace {

constexpr float kFrame = 1.0f / 60;
RefPtr<CCTexture2D> whiteTexture;

// A full system of n particles that live for ever; radius or gravity mode.
RefPtr<CCParticleSystemQuad> makeSystem(uint64_t n, bool radius) {
    RefPtr<CCParticleSystemQuad> system = CCParticleSystemQuad::particleWithTotalParticles(n);
    system->setTexture(whiteTexture);
    system->setLife(1e6f);
    system->setDuration(CCParticleSystem::kCCParticleDurationInfinity);
    system->setEmissionRate(1e9f);
    system->setAngleVar(180);
    system->setStartSize(1);
    system->setEndSize(2);
    system->setStartColor({1, 1, 1, 1});
    system->setEndColor({0, 0, 1, 0});
    if (radius) {
        system->setEmitterMode(CCParticleSystem::kCCParticleModeRadius);
        system->setStartRadius(20);
        system->setStartRadiusVar(10);
        system->setEndRadius(30);
        system->setRotatePerSecond(90);
        system->setRotatePerSecondVar(30);
    } else {
        system->setSpeed(50);
        system->setSpeedVar(40);
        system->setGravity({0, -10});
        system->setRadialAccel(1);
        system->setTangentialAccel(1);
    }
    system->update(kFrame);
    return system;
}

void setPerParticle(benchmark::State& state, uint64_t n) {
    state.counters["perParticle"] =
        benchmark::Counter(static_cast<double>(n), benchmark::Counter::kIsIterationInvariantRate |
                                                       benchmark::Counter::kInvert);
}

template <uint64_t N, bool Radius>
void ours(benchmark::State& state) {
    const RefPtr<CCParticleSystemQuad> system = makeSystem(N, Radius);
    for (auto _ : state) {
        system->update(kFrame);
        system->draw();
        glFinish();
    }
    system->cleanup();
    setPerParticle(state, N);
}

// The plain particle: what the frame needs of the system's record.
struct PlainParticle {
    double x, y, vx, vy;
    float angle, anglePerSecond, radius, radiusPerSecond;
    float radialAccel, tangentialAccel;
    ccColor4F color, colorPerSecond;
    float size, sizePerSecond, lifeLeft;
};

template <uint64_t N, bool Radius>
void limit(benchmark::State& state) {
    std::vector<PlainParticle> particles(N);
    for (uint64_t i = 0; i < N; ++i) {
        const float a = static_cast<float>(i) * 0.01f;
        particles[i] = {0, 0, 50 * cosf(a), 50 * sinf(a), a, 1.5f, 20, 1e-5f, 1, 1,
                        {1, 1, 1, 1}, {-1e-6f, -1e-6f, 0, -1e-6f}, 1, 1e-6f, 1e6f};
    }
    std::vector<ccV3F_C4B_T2F_Quad> quads(N);
    RawQuads raw(quads);
    kmMat4 identity;
    kmMat4MakeIdentity(&identity);
    const auto byte = [](float c) { return static_cast<uint8_t>(std::min(std::max(c * 255, 0.0f), 255.0f)); };
    for (auto _ : state) {
        for (uint64_t i = 0; i < N; ++i) {
            PlainParticle& p = particles[i];
            p.lifeLeft -= kFrame;
            if (Radius) {
                p.angle += p.anglePerSecond * kFrame;
                p.radius += p.radiusPerSecond * kFrame;
                p.x = -cosf(p.angle) * p.radius;
                p.y = -sinf(p.angle) * p.radius;
            } else {
                CGPoint radial{0, 0};
                if (p.x != 0 || p.y != 0) radial = ccPointNormalize({p.x, p.y});
                p.vx += (radial.x * p.radialAccel - radial.y * p.tangentialAccel) * kFrame;
                p.vy += (radial.y * p.radialAccel + radial.x * p.tangentialAccel - 10) * kFrame;
                p.x += p.vx * kFrame;
                p.y += p.vy * kFrame;
            }
            p.color.r += p.colorPerSecond.r * kFrame;
            p.color.g += p.colorPerSecond.g * kFrame;
            p.color.b += p.colorPerSecond.b * kFrame;
            p.color.a += p.colorPerSecond.a * kFrame;
            p.size += p.sizePerSecond * kFrame;
            const ccColor4B c{byte(p.color.r), byte(p.color.g), byte(p.color.b), byte(p.color.a)};
            const float half = p.size / 2, x = static_cast<float>(p.x), y = static_cast<float>(p.y);
            ccV3F_C4B_T2F_Quad& q = quads[i];
            q.bl.vertices = {x - half, y - half, 0};
            q.br.vertices = {x + half, y - half, 0};
            q.tl.vertices = {x - half, y + half, 0};
            q.tr.vertices = {x + half, y + half, 0};
            q.bl.colors = q.br.colors = q.tl.colors = q.tr.colors = c;
        }
        raw.upload(quads);
        raw.draw(identity, whiteTexture->name(), GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
        glFinish();
    }
    setPerParticle(state, N);
}

// Allocations made by 100 frames of a running system of each kind.
uint64_t allocationsPerHundredFrames() {
    uint64_t total = 0;
    for (bool radius : {false, true}) {
        const RefPtr<CCParticleSystemQuad> system = makeSystem(16000, radius);
        system->draw();
        const uint64_t before = allocations.load();
        for (int frame = 0; frame < 100; ++frame) {
            system->update(kFrame);
            system->draw();
        }
        total += allocations.load() - before;
        system->cleanup();
    }
    return total;
}

}  // namespace

int main(int argc, char** argv) {
    std::unique_ptr<GLWindow> window = GLWindow::create("bench_particles", CGSizeMake(64, 64), true);
    if (!window) {
        std::printf("bench_particles: skipped, no display or GL context (run it under xvfb-run)\n");
        return 0;
    }
    const std::vector<uint8_t> white(2 * 2 * 4, 255);
    whiteTexture = makeRef<CCTexture2D>();
    whiteTexture->initWithData(white.data(), kCCTexture2DPixelFormat_RGBA8888, 2, 2, CGSizeMake(2, 2));

    const int status = runBenchmarkPairs(argc, argv,
                                         {{"gravity1000", ours<1000, false>, limit<1000, false>},
                                          {"gravity4000", ours<4000, false>, limit<4000, false>},
                                          {"gravity16000", ours<16000, false>, limit<16000, false>},
                                          {"radius1000", ours<1000, true>, limit<1000, true>},
                                          {"radius4000", ours<4000, true>, limit<4000, true>},
                                          {"radius16000", ours<16000, true>, limit<16000, true>}},
                                         "limit", benchmark::kNanosecond);
    std::printf("allocations in 100 running frames: %llu\n",
                static_cast<unsigned long long>(allocationsPerHundredFrames()));

    // GL objects go while their context is there.
    whiteTexture.reset();
    CCShaderCache::purgeSharedShaderCache();
    ccGLInvalidateStateCache();
    window.reset();
    return status;
}
