#include "platform/dispatch/EventReactor.h"

#include <pthread.h>
#include <sys/epoll.h>

#include <cerrno>
#include <thread>

#include "platform/dispatch/DispatchSource.h"
#include "platform/foundation/NamedException.h"

namespace {
// Events taken from epoll per wait.
constexpr int kEventsPerWait = 64;
}

EventReactor& EventReactor::shared() {
    // Never destroyed: its thread may be inside epoll_wait until the process ends.
    static EventReactor* const reactor = new EventReactor();
    return *reactor;
}

EventReactor::EventReactor() : epoll_(epoll_create1(EPOLL_CLOEXEC)) {
    CC_REQUIRE(epoll_ >= 0, "EventReactor", "epoll_create1 failed (errno %d)", errno);
    std::thread([this] { run(); }).detach();
}

uint64_t EventReactor::add(int descriptor, RefPtr<DispatchSource> source) {
    std::lock_guard lock(mutex_);
    epoll_event event{};
    event.events = EPOLLONESHOT;  // nothing else requested: registered but disarmed
    event.data.u64 = lastKey_ + 1;
    if (epoll_ctl(epoll_, EPOLL_CTL_ADD, descriptor, &event) != 0) return 0;
    sources_[++lastKey_] = std::move(source);
    return lastKey_;
}

void EventReactor::arm(int descriptor, uint64_t key, uint32_t events) {
    epoll_event event{};
    event.events = events | EPOLLONESHOT;
    event.data.u64 = key;
    epoll_ctl(epoll_, EPOLL_CTL_MOD, descriptor, &event);
}

void EventReactor::remove(int descriptor, uint64_t key) {
    RefPtr<DispatchSource> source;  // released after the lock
    std::lock_guard lock(mutex_);
    epoll_ctl(epoll_, EPOLL_CTL_DEL, descriptor, nullptr);
    const auto found = sources_.find(key);
    if (found == sources_.end()) return;
    source = std::move(found->second);
    sources_.erase(found);
}

void EventReactor::run() {
    pthread_setname_np(pthread_self(), "EventReactor");
    epoll_event events[kEventsPerWait];
    for (;;) {
        const int count = epoll_wait(epoll_, events, kEventsPerWait, -1);
        if (count <= 0) continue;  // EINTR
        wakeups_.fetch_add(1, std::memory_order_relaxed);
        for (int i = 0; i < count; ++i) {
            // epoll_event is packed on x86-64: read the key by value, never through a reference.
            const uint64_t key = events[i].data.u64;
            RefPtr<DispatchSource> source;
            {
                std::lock_guard lock(mutex_);
                const auto found = sources_.find(key);
                if (found != sources_.end()) source = found->second;
            }
            if (source) source->fire();
        }
    }
}
