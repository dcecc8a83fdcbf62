#include "engine/core/support/CCProfiling.h"

#include <algorithm>
#include <cinttypes>

#include "engine/core/support/CCProfiler.h"
#include "platform/foundation/StringUtils.h"

bool CCProfilingTimer::initWithName(const std::string& name) {
    name_ = name;
    reset();
    return true;
}

void CCProfilingTimer::reset() {
    averageTime_ = 0;
    minTime_ = 10000;
    maxTime_ = 0;
    totalTime_ = 0;
    numberOfCalls_ = 0;
    startTime_ = std::chrono::steady_clock::now();
}

std::string CCProfilingTimer::description() const {
    return stringWithFormat("%s ::\tavg: %fms,\tmin: %fms,\tmax: %fms,\ttotal: %.2fs,\tnr calls: %" PRIu64,
                            name_.c_str(), averageTime_, minTime_, maxTime_, totalTime_ / 1000, numberOfCalls_);
}

void ccProfilingBegin(const std::string& name) {
    CCProfiler* profiler = CCProfiler::sharedProfiler();
    CCProfilingTimer* timer = profiler->timerWithName(name);
    if (!timer) timer = profiler->createAndAddTimerWithName(name);
    timer->startTime_ = std::chrono::steady_clock::now();
    ++timer->numberOfCalls_;
}

void ccProfilingEnd(const std::string& name) {
    CCProfilingTimer* timer = CCProfiler::sharedProfiler()->timerWithName(name);
    if (!timer) return;
    const double duration =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - timer->startTime_).count();
    timer->averageTime_ = (timer->averageTime_ + duration) / 2;
    timer->totalTime_ += duration;
    timer->maxTime_ = std::max(timer->maxTime_, duration);
    timer->minTime_ = std::min(timer->minTime_, duration);
}

void ccProfilingReset(const std::string& name) {
    CCProfilingTimer* timer = CCProfiler::sharedProfiler()->timerWithName(name);
    if (timer) timer->reset();
}
