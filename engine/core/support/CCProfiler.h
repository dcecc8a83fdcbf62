#pragma once

#include <map>
#include <string>

#include "engine/core/support/CCProfiling.h"
#include "platform/foundation/Object.h"

// The shared set of active timers, by name. Engine thread only; nothing here locks.
class CCProfiler : public Object {
public:
    // The one profiler, made on first use.
    static CCProfiler* sharedProfiler();

    // A new timer under that name, replacing any timer of the same name; the profiler holds the only
    // reference, so the pointer lives until the timer is released.
    CCProfilingTimer* createAndAddTimerWithName(const std::string& name);
    void releaseTimer(const std::string& name);
    void releaseAllTimers();
    // Logs each timer's description as one line, in name order.
    void displayTimers() const;

    // Null when no timer has that name.
    CCProfilingTimer* timerWithName(const std::string& name) const;

private:
    std::map<std::string, RefPtr<CCProfilingTimer>> activeTimers_;
};
