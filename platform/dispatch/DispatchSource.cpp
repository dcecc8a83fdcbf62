#include "platform/dispatch/DispatchSource.h"

#include <fcntl.h>
#include <sys/epoll.h>
#include <sys/ioctl.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>

#include "platform/dispatch/EventReactor.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NamedException.h"

namespace {

timespec toTimespec(double seconds) {
    if (!(seconds > 0)) return {0, 0};
    const double whole = std::floor(seconds);
    return {static_cast<time_t>(whole), static_cast<long>((seconds - whole) * 1e9)};
}

}  // namespace

DispatchSource::DispatchSource(Kind kind, int ownDescriptor, std::shared_ptr<const FileDescriptor> watched,
                               RefPtr<DispatchQueue> queue)
    : kind_(kind), ownDescriptor_(ownDescriptor), watched_(std::move(watched)), queue_(std::move(queue)) {}

RefPtr<DispatchSource> DispatchSource::make(Kind kind, int ownDescriptor, std::shared_ptr<const FileDescriptor> watched,
                                            RefPtr<DispatchQueue> queue) {
    CC_REQUIRE(queue, "DispatchSource", "a source needs a queue");
    if (ownDescriptor < 0) {
        logLine("DispatchSource: cannot watch a descriptor: %s", std::strerror(errno));
        return nullptr;
    }
    RefPtr<DispatchSource> source(new DispatchSource(kind, ownDescriptor, std::move(watched), std::move(queue)));
    source->key_ = EventReactor::shared().add(ownDescriptor, source);
    if (source->key_ == 0) {
        logLine("DispatchSource: epoll refused a descriptor: %s", std::strerror(errno));
        ::close(ownDescriptor);
        return nullptr;
    }
    return source;
}

RefPtr<DispatchSource> DispatchSource::watch(Kind kind, std::shared_ptr<const FileDescriptor> descriptor,
                                             RefPtr<DispatchQueue> queue) {
    CC_REQUIRE(descriptor && descriptor->get() >= 0, "DispatchSource", "a source needs an open descriptor");
    // A duplicate of its own, so that a read and a write source can watch one descriptor (epoll
    // takes each descriptor once per set).
    const int duplicate = fcntl(descriptor->get(), F_DUPFD_CLOEXEC, 0);
    return make(kind, duplicate, std::move(descriptor), std::move(queue));
}

RefPtr<DispatchSource> DispatchSource::read(std::shared_ptr<const FileDescriptor> descriptor, RefPtr<DispatchQueue> queue) {
    return watch(Kind::Read, std::move(descriptor), std::move(queue));
}

RefPtr<DispatchSource> DispatchSource::write(std::shared_ptr<const FileDescriptor> descriptor, RefPtr<DispatchQueue> queue) {
    return watch(Kind::Write, std::move(descriptor), std::move(queue));
}

RefPtr<DispatchSource> DispatchSource::timer(RefPtr<DispatchQueue> queue) {
    return make(Kind::Timer, timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC), nullptr, std::move(queue));
}

void DispatchSource::setEventHandler(std::function<void(uint64_t)> handler) {
    std::lock_guard lock(mutex_);
    CC_REQUIRE(!everResumed_, "DispatchSource", "handlers are set before the first resume");
    eventHandler_ = std::move(handler);
}

void DispatchSource::setCancelHandler(std::function<void()> handler) {
    std::lock_guard lock(mutex_);
    CC_REQUIRE(!everResumed_, "DispatchSource", "handlers are set before the first resume");
    cancelHandler_ = std::move(handler);
}

void DispatchSource::setTimer(double startSeconds, double intervalSeconds) {
    CC_REQUIRE(kind_ == Kind::Timer, "DispatchSource", "setTimer on a descriptor source");
    std::lock_guard lock(mutex_);
    if (cancelled_) return;
    itimerspec setting{toTimespec(intervalSeconds), toTimespec(startSeconds)};
    // A zero value would disarm the timerfd: "at once" is the shortest time it takes.
    if (setting.it_value.tv_sec == 0 && setting.it_value.tv_nsec == 0) setting.it_value.tv_nsec = 1;
    timerfd_settime(ownDescriptor_, 0, &setting, nullptr);
}

void DispatchSource::armLocked() {
    EventReactor::shared().arm(ownDescriptor_, key_, kind_ == Kind::Write ? EPOLLOUT : EPOLLIN);
}

void DispatchSource::resume() {
    std::lock_guard lock(mutex_);
    everResumed_ = true;
    if (cancelled_ || !suspended_) return;
    suspended_ = false;
    if (!eventQueued_) armLocked();
}

void DispatchSource::suspend() {
    std::lock_guard lock(mutex_);
    if (cancelled_ || suspended_) return;
    suspended_ = true;
    EventReactor::shared().arm(ownDescriptor_, key_, 0);
}

void DispatchSource::cancel() {
    {
        std::lock_guard lock(mutex_);
        if (cancelled_) return;
        cancelled_ = true;
    }
    EventReactor::shared().remove(ownDescriptor_, key_);
    // No lock needed: only finish() lets go of queue_, and this very call posts it.
    queue_->async([self = RefPtr(this)] { self->finish(); });
}

bool DispatchSource::isSuspended() const {
    std::lock_guard lock(mutex_);
    return suspended_;
}

bool DispatchSource::isCancelled() const {
    std::lock_guard lock(mutex_);
    return cancelled_;
}

uint64_t DispatchSource::reactorWakeups() { return EventReactor::shared().wakeups(); }

void DispatchSource::fire() {
    // Posted under the lock: once cancelled, finish() may let go of the queue at any time.
    std::lock_guard lock(mutex_);
    if (cancelled_ || eventQueued_) return;
    eventQueued_ = true;
    queue_->async([self = RefPtr(this)] { self->deliver(); });
}

void DispatchSource::deliver() {
    {
        std::lock_guard lock(mutex_);
        eventQueued_ = false;
        if (cancelled_ || suspended_) return;  // a suspended source is re-armed by resume()
    }
    uint64_t data = 0;
    bool happened = true;
    if (kind_ == Kind::Read) {
        int readable = 0;
        if (ioctl(ownDescriptor_, FIONREAD, &readable) == 0 && readable > 0) data = static_cast<uint64_t>(readable);
    } else if (kind_ == Kind::Timer) {
        // Nothing to read when setTimer() re-set the timer after this event was queued.
        happened = ::read(ownDescriptor_, &data, sizeof data) == static_cast<ssize_t>(sizeof data);
    }
    if (happened && eventHandler_) eventHandler_(data);
    std::lock_guard lock(mutex_);
    if (!cancelled_ && !suspended_ && !eventQueued_) armLocked();
}

void DispatchSource::finish() {
    ::close(ownDescriptor_);
    if (cancelHandler_) cancelHandler_();
    eventHandler_ = nullptr;
    cancelHandler_ = nullptr;
    watched_.reset();
    // Let go of the queue here, inside the block, rather than whenever the last holder of the
    // source does: a thread waiting for the blocks queued so far then finds the queue released.
    RefPtr<DispatchQueue> queue;
    {
        std::lock_guard lock(mutex_);
        queue = std::move(queue_);
    }
}
