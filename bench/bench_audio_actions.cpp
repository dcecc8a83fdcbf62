// One step of the audio action manager with 0, 10 and 100 running gain fades on fake targets,
// against the limit: a plain loop setting the same property of the same targets through the same
// by-name setter.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "audio/OALActionManager.h"
#include "audio/OALPropertyAction.h"
#include "bench/BenchmarkPairs.h"

namespace {

constexpr uint64_t kStepNanoseconds = 33'333'333;  // the timer's 1/30 s
constexpr float kFadeSeconds = 1e9f;               // long enough never to end during a run

struct BenchTarget : OALActionTarget {
    float floatProperty(const std::string& key) const override {
        return key == "gain" ? gain : key == "pan" ? pan : pitch;
    }
    void setFloatProperty(const std::string& key, float value) override {
        (key == "gain" ? gain : key == "pan" ? pan : pitch) = value;
    }
    ALXYZ position() const override { return where; }
    void setPosition(ALXYZ position) override { where = position; }

    float gain = 1, pan = 0, pitch = 1;
    ALXYZ where;
};

template <int kActions>
void stepOurs(benchmark::State& state) {
    std::vector<BenchTarget> targets(kActions);
    OALActionManager* manager = OALActionManager::sharedInstance();
    uint64_t now = 1;
    manager->setClock([&now] { return now += kStepNanoseconds; });
    for (BenchTarget& target : targets) {
        OALPropertyAction::gainActionWithDuration(kFadeSeconds, 0, 1)->runWithTarget(&target);
    }
    manager->step();  // adopts them
    for (auto _ : state) {
        manager->step();
        benchmark::ClobberMemory();
    }
    OALActionManager::purgeSharedInstance();
}

template <int kActions>
void stepLimit(benchmark::State& state) {
    std::vector<BenchTarget> targets(kActions);
    std::vector<OALActionTarget*> called;  // through the interface, as the actions call them
    for (BenchTarget& target : targets) called.push_back(&target);
    const std::string key = "gain";
    float elapsed = 0;
    for (auto _ : state) {
        elapsed += kStepNanoseconds * 1e-9f;
        for (OALActionTarget* target : called) target->setFloatProperty(key, elapsed / kFadeSeconds);
        benchmark::ClobberMemory();
    }
}

}  // namespace

int main(int argc, char** argv) {
    return runBenchmarkPairs(argc, argv,
                             {{"step/0", stepOurs<0>, stepLimit<0>},
                              {"step/10", stepOurs<10>, stepLimit<10>},
                              {"step/100", stepOurs<100>, stepLimit<100>}},
                             "limit", benchmark::kNanosecond);
}
