#pragma once

#include <sys/types.h>

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/foundation/Object.h"
#include "platform/foundation/RunLoopTimer.h"

// A thread's queue of posted work and its timers, drained by that thread one pass at a time.
//
// This is also the engine's hand-off between threads: a thread reaches another by posting blocks
// to that thread's loop. A block with an argument carries its argument in its capture, so no
// separate record class is needed to pair them; the capture keeps both alive until the block has
// run on the target thread.
//
// Which thread is the main thread: the process's initial thread, unless setMainThread() has named
// another one before the main loop was first used.
//
// Lifetime: a thread's loop lives while the thread does; when the thread ends its loop is stopped.
// Other threads that keep a loop hold a RefPtr to it. The main loop lives for the whole process.
// A stopped loop takes no more work.
class RunLoop : public Object {
public:
    // The main thread's loop (see the class comment); may be asked for from any thread.
    static RunLoop& main();
    // The calling thread's loop, made on first use.
    static RunLoop& current();
    // Makes the calling thread the main thread. Call it at start-up, before main() is asked for or
    // the initial thread uses its loop; once the main loop exists, naming a different thread
    // throws NamedException "RunLoop".
    static void setMainThread();

    // True on the thread that owns this loop.
    bool isCurrent() const;

    // Queues the block for the loop's thread; blocks run in the order they were posted, in the pass
    // after the one that is running. With waitUntilDone the caller blocks until the block has run;
    // from the loop's own thread it runs at once, inline.
    // Returns false when the block is empty or the loop is stopped (or stops before the block
    // runs): the block is then dropped without running.
    bool performBlock(std::function<void()> block, bool waitUntilDone = false);
    bool performBlock(std::function<void(RefPtr<Object>)> block, RefPtr<Object> object,
                      bool waitUntilDone);

    // Fires `block` on this loop's thread after `intervalSeconds` (clamped to at least 0.1 ms), and
    // then every interval when it repeats. A loop that falls behind skips the missed firings and
    // keeps the timer's original phase. Safe to call from any thread.
    RefPtr<RunLoopTimer> scheduleTimer(double intervalSeconds, bool repeats, std::function<void()> block);

    // One pass on the loop's thread: runs the work that was queued before the pass began, in order
    // (work posted during the pass waits for the next one), then fires the due timers in the order
    // they were scheduled. Returns how many blocks (work and timers) ran. A block that throws, here
    // or inline, is logged and skipped, unless it throws a NamedException: that ends the program
    // (runPostedWork). Off the loop's thread throws NamedException "RunLoop".
    int runOnce();

    // On the loop's thread (else throws like runOnce): sleeps until work is posted, a timer is scheduled or falls due, the loop
    // stops, or `maxSeconds` pass — whichever comes first.
    void waitForWork(double maxSeconds);

    // Seconds on the clock that times this loop's timers: a monotonic clock unless replaced. A test
    // replaces it to move time by hand; null restores the monotonic clock. Set it before scheduling
    // timers (their fire times are on the clock's scale); it is called with the loop's lock held, so
    // it must not use the loop. Any thread.
    using Clock = std::function<double()>;
    void setClock(Clock clock);

    // Takes no more work and invalidates every timer. Work still queued is dropped without running
    // (its captures released) and every caller waiting for it is released with false. Any thread.
    void stop();
    bool isStopped() const;

private:
    // One posted block; `done` is present when a caller waits for it and is told true once the
    // block ran, false when it was dropped.
    struct Item {
        std::function<void()> block;
        std::optional<std::promise<bool>> done;
    };

    explicit RunLoop(pid_t thread);
    ~RunLoop() override;

    // Throws NamedException "RunLoop" when called off the loop's thread.
    void requireCurrent(const char* operation) const;
    // The clock's reading (see setClock).
    double now() const;
    void fireDueTimers(int& count);

    const pid_t thread_;  // kernel id of the owning thread
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::vector<Item> items_;                   // queued for the next pass, oldest first
    std::vector<RefPtr<RunLoopTimer>> timers_;  // in scheduling order; invalid ones removed after a pass
    Clock clock_;                               // null: the monotonic clock
    uint64_t changes_ = 0;                      // bumped on every post, schedule and stop; wakes waitForWork
    bool stopped_ = false;
    int passDepth_ = 0;                         // nested runOnce calls; loop's thread only
};
