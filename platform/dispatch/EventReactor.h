#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <unordered_map>

#include "platform/foundation/Object.h"

class DispatchSource;

// The one thread that waits for every dispatch source: an epoll set in which each source has its
// own descriptor (a duplicate of the watched one, or a timerfd), registered one-shot. A source is
// armed only while it wants an event, and each arming yields at most one event, which the reactor
// hands to the source (which posts it to its queue). A quiet process therefore sleeps in
// epoll_wait without waking. Internal to the dispatch layer.
class EventReactor {
public:
    // Made on first use; lives (with its thread) for the whole process.
    static EventReactor& shared();

    // Registers `descriptor` for `source`, disarmed, and returns the registration's key (never
    // reused, so an event of a removed registration never reaches a later one on the same number);
    // 0 with errno set when epoll refuses it.
    uint64_t add(int descriptor, RefPtr<DispatchSource> source);
    // Arms the registration for one event of `events` (EPOLLIN or EPOLLOUT), or disarms it with 0.
    void arm(int descriptor, uint64_t key, uint32_t events);
    // Unregisters; an event already taken from epoll for it is dropped.
    void remove(int descriptor, uint64_t key);

    // Times epoll_wait returned with events since the process started: the thread's wake-ups.
    uint64_t wakeups() const { return wakeups_.load(std::memory_order_relaxed); }

private:
    EventReactor();
    void run();

    const int epoll_;
    std::mutex mutex_;
    std::unordered_map<uint64_t, RefPtr<DispatchSource>> sources_;  // by registration key
    uint64_t lastKey_ = 0;
    std::atomic<uint64_t> wakeups_{0};
};
