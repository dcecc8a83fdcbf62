#pragma once

#include <functional>
#include <memory>
#include <mutex>

#include "platform/foundation/Object.h"

class RunLoop;

// A timer scheduled on a RunLoop. The loop and the caller share it; it fires on the loop's thread
// until it is invalidated (one-shot timers invalidate themselves after firing).
class RunLoopTimer : public Object {
public:
    // Stops the timer and releases its block at once (a firing already under way finishes first).
    // Safe from any thread, including from inside its own or another timer's block.
    void invalidate();
    // False once invalidated.
    bool isValid() const;

private:
    friend class RunLoop;
    using Block = std::function<void()>;

    RunLoopTimer(double interval, bool repeats, double fireTime, Block block);

    // The block to call now, or null once invalidated.
    std::shared_ptr<const Block> block() const;

    const double interval_;  // seconds between firings, at least 0.1 ms
    const bool repeats_;
    double fireTime_;        // monotonic seconds of the next firing; touched by the loop's thread only
    mutable std::mutex mutex_;
    std::shared_ptr<const Block> block_;  // null once invalidated
};
