#pragma once

// Runs benchmarks in pairs — our code and a peer doing the same work — and prints our time over
// the peer's for each pair after the usual console table.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

struct BenchmarkPair {
    std::string name;
    void (*ours)(benchmark::State&);
    void (*peer)(benchmark::State&);
};

// Registers "<name>/ours" and "<name>/<peerName>" for every pair, with times shown in `unit`,
// calls `beforeRunning` (if any) once the command line is accepted, runs the benchmarks the
// command line selects, then prints one line per pair whose two halves both ran:
// "<name>: ours X <unit>, <peerName> Y <unit>, ratio Z". A pair's time is the median of its
// repetitions when repetitions are asked for, else its single run's real time per iteration.
// Returns the process exit status: 1 for unrecognised arguments, else 0.
inline int runBenchmarkPairs(int argc, char** argv, const std::vector<BenchmarkPair>& pairs, const char* peerName,
                             benchmark::TimeUnit unit, void (*beforeRunning)() = nullptr) {
    class RecordingReporter : public benchmark::ConsoleReporter {
    public:
        void ReportRuns(const std::vector<Run>& runs) override {
            for (const Run& run : runs) {
                if (run.error_occurred) continue;
                if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                    medians_[run.run_name.str()] = run.GetAdjustedRealTime();
                } else if (run.run_type == Run::RT_Iteration) {
                    singles_[run.run_name.str()] = run.GetAdjustedRealTime();
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

    const std::string peerSuffix = std::string("/") + peerName;
    for (const BenchmarkPair& pair : pairs) {
        benchmark::RegisterBenchmark((pair.name + "/ours").c_str(), pair.ours)->Unit(unit);
        benchmark::RegisterBenchmark((pair.name + peerSuffix).c_str(), pair.peer)->Unit(unit);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    if (beforeRunning != nullptr) beforeRunning();
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const char* unitName = benchmark::GetTimeUnitString(unit);
    std::printf("\nours over %s (below 1: ours is faster):\n", peerName);
    for (const BenchmarkPair& pair : pairs) {
        const double ours = reporter.time(pair.name + "/ours");
        const double peer = reporter.time(pair.name + peerSuffix);
        if (ours > 0 && peer > 0) {
            std::printf("%s: ours %.2f %s, %s %.2f %s, ratio %.2f\n", pair.name.c_str(), ours, unitName, peerName, peer,
                        unitName, ours / peer);
        }
    }
    return 0;
}
