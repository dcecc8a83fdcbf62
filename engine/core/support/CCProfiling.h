#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "platform/foundation/Object.h"

// Named timers, kept by the shared CCProfiler, that code brackets with ccProfilingBegin /
// ccProfilingEnd. Meant for one thread (the engine's); nothing here locks.

// Intervals are measured on the monotonic clock, so a change of the wall clock cannot produce
// negative or huge intervals. All times are milliseconds.
class CCProfilingTimer : public Object {
public:
    // Always succeeds.
    bool initWithName(const std::string& name);
    // Counters back to their initial values; the start time becomes now.
    void reset();
    // "<name> ::\tavg: <ms>ms,\tmin: <ms>ms,\tmax: <ms>ms,\ttotal: <s>s,\tnr calls: <n>"
    std::string description() const override;

    const std::string& name() const { return name_; }
    // Each interval weighs one half against everything before it: after a first interval d this is
    // d / 2. A deliberately cheap blend rather than a true mean.
    double averageTime() const { return averageTime_; }
    double minTime() const { return minTime_; }
    double maxTime() const { return maxTime_; }
    double totalTime() const { return totalTime_; }
    // Begins counted.
    uint64_t numberOfCalls() const { return numberOfCalls_; }

private:
    friend void ccProfilingBegin(const std::string& name);
    friend void ccProfilingEnd(const std::string& name);

    std::string name_;
    std::chrono::steady_clock::time_point startTime_;  // the last begin
    double averageTime_ = 0;
    double minTime_ = 10000;  // shortest interval; 10000 until the first one ends
    double maxTime_ = 0;
    double totalTime_ = 0;
    uint64_t numberOfCalls_ = 0;
};

// Starts an interval of the named timer, making the timer when it does not exist yet.
void ccProfilingBegin(const std::string& name);
// Ends the interval begun last for that name; a name never begun is ignored.
void ccProfilingEnd(const std::string& name);
// Resets the named timer; nothing when there is none.
void ccProfilingReset(const std::string& name);
