// One scheduler tick with 1000 per-frame updates (mixed priorities) and 500 timers (mixed
// intervals), against the limit: a plain vector of 1500 std::function calls doing the same trivial
// work every frame.

#include <benchmark/benchmark.h>

#include <functional>
#include <vector>

#include "bench/BenchmarkPairs.h"
#include "engine/core/CCScheduler.h"

namespace {

constexpr int updateCount = 1000;
constexpr int timerCount = 500;
constexpr float frameTime = 1.0f / 60;

struct Worker : Object {
    void update(float dt) { total += dt; }
    void tick(float dt) { total += dt; }
    float total = 0;
};

std::vector<RefPtr<Worker>> makeWorkers() {
    std::vector<RefPtr<Worker>> workers;
    for (int i = 0; i < updateCount + timerCount; ++i) workers.push_back(makeRef<Worker>());
    return workers;
}

void tickOurs(benchmark::State& state) {
    std::vector<RefPtr<Worker>> workers = makeWorkers();
    RefPtr<CCScheduler> scheduler = makeRef<CCScheduler>();
    for (int i = 0; i < updateCount; ++i) scheduler->scheduleUpdateForTarget(workers[i].get(), i % 5 - 2, false);
    const float intervals[] = {0, frameTime, 2 * frameTime, 0.1f, 0.5f};
    for (int i = 0; i < timerCount; ++i) {
        scheduler->scheduleSelector(ccSelector(&Worker::tick), workers[updateCount + i].get(), intervals[i % 5], false);
    }
    for (auto _ : state) {
        scheduler->update(frameTime);
        benchmark::ClobberMemory();
    }
    state.counters["calls/frame"] = updateCount + timerCount;
}

void tickLimit(benchmark::State& state) {
    std::vector<RefPtr<Worker>> workers = makeWorkers();
    std::vector<std::function<void(float)>> calls;
    for (const RefPtr<Worker>& worker : workers) {
        Worker* target = worker.get();
        calls.emplace_back([target](float dt) { target->update(dt); });
    }
    for (auto _ : state) {
        for (const std::function<void(float)>& call : calls) call(frameTime);
        benchmark::ClobberMemory();
    }
    state.counters["calls/frame"] = static_cast<double>(calls.size());
}

}  // namespace

int main(int argc, char** argv) {
    return runBenchmarkPairs(argc, argv, {{"tick", tickOurs, tickLimit}}, "limit", benchmark::kMicrosecond);
}
