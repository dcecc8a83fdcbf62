#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/dispatch/DispatchQueue.h"
#include "platform/dispatch/FileDescriptor.h"

// Watches a descriptor for reading or writing, or counts time, and runs its event handler on its
// queue (a serial queue or the main queue) when that happens.
//
// Built on a hand-written epoll reactor (EventReactor) with a timerfd per timer rather than on
// Asio: the sockets need exactly "tell me on my queue when this descriptor is ready, once per
// arming", which one-shot epoll registrations give directly, and the queues are our own RunLoop
// threads, which Asio's executors would only wrap.
//
// Contract:
// - A source starts suspended; set both handlers, then resume() it. Handlers cannot change after
//   the first resume.
// - Events are level-triggered and coalesce: at most one event per source waits on its queue at any
//   time, so a source's memory stays bounded whatever the traffic. The handler gets:
//   read sources, the bytes readable now (FIONREAD; 0 at end of stream, and for a listening socket
//   or an empty datagram); write sources, 0; timers, the firings since the last event.
// - suspend() and resume() do not nest: a suspended source is resumed by one resume(), and a second
//   suspend() changes nothing. A suspended source is disarmed: it costs no wake-ups.
// - cancel() stops events at once (an event already queued is dropped), then the cancel handler runs
//   on the queue after the last event handler, also when the source is suspended. The watched
//   descriptor is held until then, so it closes only after the cancel handler (if nobody else
//   holds it). A source lives until it is cancelled. The queue too is held until then and no
//   longer: whoever still holds a finished source (the reactor, for a moment) does not keep the
//   queue, and with it a serial queue's thread, alive.
// All operations are safe from any thread.
class DispatchSource : public Object {
public:
    enum class Kind { Read, Write, Timer };

    // Watches `descriptor` for reading / writing. Null, with one logged line, when the system
    // refuses (out of descriptors).
    static RefPtr<DispatchSource> read(std::shared_ptr<const FileDescriptor> descriptor, RefPtr<DispatchQueue> queue);
    static RefPtr<DispatchSource> write(std::shared_ptr<const FileDescriptor> descriptor, RefPtr<DispatchQueue> queue);
    // A timer that fires nothing until setTimer() is called. Null as above.
    static RefPtr<DispatchSource> timer(RefPtr<DispatchQueue> queue);

    void setEventHandler(std::function<void(uint64_t data)> handler);
    void setCancelHandler(std::function<void()> handler);
    // Timers only: first firing `startSeconds` from now (0 or less: at once), then every
    // `intervalSeconds`, or only once when that is 0 or less. Replaces the previous setting and
    // forgets firings not yet delivered.
    void setTimer(double startSeconds, double intervalSeconds = 0);

    void resume();
    void suspend();
    void cancel();
    bool isSuspended() const;
    bool isCancelled() const;

    // Wake-ups of the reactor thread since the process started (to check that idle costs none).
    static uint64_t reactorWakeups();

private:
    friend class EventReactor;

    DispatchSource(Kind kind, int ownDescriptor, std::shared_ptr<const FileDescriptor> watched,
                   RefPtr<DispatchQueue> queue);
    static RefPtr<DispatchSource> make(Kind kind, int ownDescriptor,
                                       std::shared_ptr<const FileDescriptor> watched, RefPtr<DispatchQueue> queue);
    static RefPtr<DispatchSource> watch(Kind kind, std::shared_ptr<const FileDescriptor> descriptor,
                                        RefPtr<DispatchQueue> queue);

    // Reactor thread: the registration fired; queues the event unless one is waiting.
    void fire();
    // On the queue: runs the event handler, then re-arms.
    void deliver();
    // On the queue, once: runs the cancel handler and lets go of everything, the queue included.
    void finish();
    // Requires mutex_.
    void armLocked();

    const Kind kind_;
    const int ownDescriptor_;  // registered with the reactor: a duplicate of the watched one, or a timerfd
    std::shared_ptr<const FileDescriptor> watched_;  // released by finish()
    RefPtr<DispatchQueue> queue_;  // released by finish(); read under mutex_ by fire()
    uint64_t key_ = 0;  // reactor registration; set once by make()
    std::function<void(uint64_t)> eventHandler_;  // immutable once resumed; cleared by finish()
    std::function<void()> cancelHandler_;
    mutable std::mutex mutex_;  // guards the four flags, and queue_ once cancelled
    bool suspended_ = true;
    bool cancelled_ = false;
    bool eventQueued_ = false;  // an event block waits on the queue (it re-arms when it has run)
    bool everResumed_ = false;
};
