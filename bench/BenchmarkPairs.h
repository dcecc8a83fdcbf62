#pragma once

// Runs benchmarks in pairs — our code and a peer doing the same work — or in groups of our code
// and several peers, and prints our time over each peer's after the usual console table.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

// Our benchmark and the one peer it is compared with.
struct BenchmarkPair {
    std::string name;
    void (*ours)(benchmark::State&);
    void (*peer)(benchmark::State&);
};

// A peer doing the same work as ours, under the name it is reported by.
struct BenchmarkPeer {
    std::string name;
    void (*run)(benchmark::State&);
};

// Our benchmark and the peers it is compared with. Work done in other processes (launches) times
// itself (benchmark::State::SetIterationTime): the benchmark's own CPU time would be nearly
// nothing, and the runs would repeat until it added up.
struct BenchmarkGroup {
    std::string name;
    void (*ours)(benchmark::State&);
    std::vector<BenchmarkPeer> peers;
    bool manualTime = false;
};

// Registers "<name>/ours" and "<name>/<peer name>" for every group and peer, with times shown in
// `unit`, calls `beforeRunning` (if any) once the command line is accepted, runs the benchmarks
// the command line selects, then prints one line per group whose own half and at least one peer
// ran: "<name>: ours X <unit>, <peer> Y <unit>, ratio Z" with ", <peer> Y <unit>, ratio Z" again
// for every further peer that ran. A time is the median of its repetitions when repetitions are
// asked for, else its single run's real time per iteration. Returns the process exit status: 1
// for unrecognised arguments, else 0.
inline int runBenchmarkGroups(int argc, char** argv, const std::vector<BenchmarkGroup>& groups,
                              benchmark::TimeUnit unit, void (*beforeRunning)() = nullptr) {
    class RecordingReporter : public benchmark::ConsoleReporter {
    public:
        void ReportRuns(const std::vector<Run>& runs) override {
            for (const Run& run : runs) {
                if (run.error_occurred) continue;
                if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                    medians_[run.run_name.function_name] = run.GetAdjustedRealTime();
                } else if (run.run_type == Run::RT_Iteration) {
                    singles_[run.run_name.function_name] = run.GetAdjustedRealTime();
                }
            }
            ConsoleReporter::ReportRuns(runs);
        }

        // In the benchmark's own unit; 0 when it did not run.
        double time(const std::string& name) const {
            if (const auto median = medians_.find(name); median != medians_.end()) return median->second;
            const auto single = singles_.find(name);
            return single == singles_.end() ? 0.0 : single->second;
        }

    private:
        std::map<std::string, double> medians_;
        std::map<std::string, double> singles_;
    };

    std::vector<std::string> peerNames;  // every peer once, in order of first appearance
    for (const BenchmarkGroup& group : groups) {
        auto timed = [&](benchmark::internal::Benchmark* benchmark) {
            benchmark->Unit(unit);
            if (group.manualTime) benchmark->UseManualTime();
        };
        timed(benchmark::RegisterBenchmark((group.name + "/ours").c_str(), group.ours));
        for (const BenchmarkPeer& peer : group.peers) {
            timed(benchmark::RegisterBenchmark((group.name + "/" + peer.name).c_str(), peer.run));
            if (std::find(peerNames.begin(), peerNames.end(), peer.name) == peerNames.end()) {
                peerNames.push_back(peer.name);
            }
        }
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    if (beforeRunning != nullptr) beforeRunning();
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const char* unitName = benchmark::GetTimeUnitString(unit);
    std::string over;
    for (const std::string& name : peerNames) over += (over.empty() ? "" : ", ") + name;
    std::printf("\nours over %s (below 1: ours is faster):\n", over.c_str());
    for (const BenchmarkGroup& group : groups) {
        const double ours = reporter.time(group.name + "/ours");
        if (ours <= 0) continue;
        std::string line;
        for (const BenchmarkPeer& peer : group.peers) {
            const double time = reporter.time(group.name + "/" + peer.name);
            if (time <= 0) continue;
            char part[160];
            std::snprintf(part, sizeof(part), ", %s %.2f %s, ratio %.2f", peer.name.c_str(), time, unitName, ours / time);
            line += part;
        }
        if (!line.empty()) std::printf("%s: ours %.2f %s%s\n", group.name.c_str(), ours, unitName, line.c_str());
    }
    return 0;
}

// runBenchmarkGroups with one peer, named `peerName`, in every group.
inline int runBenchmarkPairs(int argc, char** argv, const std::vector<BenchmarkPair>& pairs, const char* peerName,
                             benchmark::TimeUnit unit, void (*beforeRunning)() = nullptr) {
    std::vector<BenchmarkGroup> groups;
    for (const BenchmarkPair& pair : pairs) groups.push_back({pair.name, pair.ours, {{peerName, pair.peer}}});
    return runBenchmarkGroups(argc, argv, groups, unit, beforeRunning);
}
