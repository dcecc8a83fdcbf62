// 10 000 nodes, each running a repeat-forever around a sequence of two moves (out and back), stepped
// by the action manager one frame at a time, against the limit: a plain loop that computes the same
// positions from each node's clock and sets them directly. The "step" counter is the time per
// action step (one node's frame).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "bench/BenchmarkPairs.h"
#include "engine/actions/CCActionManager.h"
#include "engine/actions/composite/CCRepeatForever.h"
#include "engine/actions/composite/CCSequence.h"
#include "engine/actions/interval/CCMoveBy.h"
#include "engine/core/CCDirectorDisplayLink.h"
#include "engine/core/CCNode.h"

namespace {

constexpr int kNodes = 10000;
constexpr float kFrame = 1.0f / 60;
constexpr float kLegSeconds = 1;  // each move's duration
constexpr double kReach = 10;     // points each move travels

std::vector<RefPtr<CCNode>> makeNodes() {
    std::vector<RefPtr<CCNode>> nodes;
    for (int i = 0; i < kNodes; ++i) nodes.push_back(CCNode::node());
    return nodes;
}

void perStep(benchmark::State& state) {
    state.counters["step"] = benchmark::Counter(kNodes, benchmark::Counter::kIsIterationInvariantRate |
                                                            benchmark::Counter::kInvert);
}

void stepOurs(benchmark::State& state) {
    std::vector<RefPtr<CCNode>> nodes = makeNodes();
    RefPtr<CCActionManager> manager = makeRef<CCActionManager>();
    for (const RefPtr<CCNode>& node : nodes) {
        RefPtr<CCFiniteTimeAction> legs = CCSequence::actionOne(CCMoveBy::actionWithDuration(kLegSeconds, {kReach, 0}),
                                                                CCMoveBy::actionWithDuration(kLegSeconds, {-kReach, 0}));
        manager->addAction(CCRepeatForever::actionWithAction(refCast<CCActionInterval>(legs)).get(), node.get(), false);
    }
    for (auto _ : state) {
        manager->update(kFrame);
        benchmark::ClobberMemory();
    }
    perStep(state);
}

void stepLimit(benchmark::State& state) {
    struct Clock {
        CCNode* node;
        CGPoint start;
        float elapsed;
    };
    std::vector<RefPtr<CCNode>> nodes = makeNodes();
    std::vector<Clock> clocks;
    for (const RefPtr<CCNode>& node : nodes) clocks.push_back({node.get(), node->position(), 0});
    for (auto _ : state) {
        for (Clock& clock : clocks) {
            clock.elapsed = std::fmod(clock.elapsed + kFrame, 2 * kLegSeconds);
            const double out = std::min(clock.elapsed, kLegSeconds) / kLegSeconds;
            const double back = std::max(clock.elapsed - kLegSeconds, 0.0f) / kLegSeconds;
            clock.node->setPosition({clock.start.x + kReach * (out - back), clock.start.y});
        }
        benchmark::ClobberMemory();
    }
    perStep(state);
}

}  // namespace

int main(int argc, char** argv) {
    // Nodes take the shared director's scheduler and action manager when they are made.
    CCDirector::setSharedDirector(makeRef<CCDirectorDisplayLink>());
    const int status = runBenchmarkPairs(argc, argv, {{"step10000", stepOurs, stepLimit}}, "limit", benchmark::kMicrosecond);
    CCDirector::sharedDirector()->end();
    CCDirector::setSharedDirector(nullptr);
    return status;
}
