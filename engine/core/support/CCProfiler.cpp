#include "engine/core/support/CCProfiler.h"

#include "platform/foundation/Log.h"

CCProfiler* CCProfiler::sharedProfiler() {
    static const RefPtr<CCProfiler> shared = makeRef<CCProfiler>();
    return shared.get();
}

CCProfilingTimer* CCProfiler::createAndAddTimerWithName(const std::string& name) {
    RefPtr<CCProfilingTimer> timer = makeRef<CCProfilingTimer>();
    timer->initWithName(name);
    activeTimers_[name] = timer;
    return timer.get();
}

void CCProfiler::releaseTimer(const std::string& name) { activeTimers_.erase(name); }

void CCProfiler::releaseAllTimers() { activeTimers_.clear(); }

void CCProfiler::displayTimers() const {
    for (const auto& [name, timer] : activeTimers_) logLine("%s", timer->description().c_str());
}

CCProfilingTimer* CCProfiler::timerWithName(const std::string& name) const {
    const auto found = activeTimers_.find(name);
    return found == activeTimers_.end() ? nullptr : found->second.get();
}
