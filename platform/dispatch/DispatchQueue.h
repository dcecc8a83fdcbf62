#pragma once

#include <functional>

#include "platform/foundation/Object.h"

// Where blocks run. Three kinds stand behind this interface:
// - SerialQueue: one worker thread of its own, blocks one at a time in the order queued;
// - MainQueue (main()): the main thread's RunLoop, drained by the main loop of the program (or by
//   a test that pumps it);
// - GlobalQueue (global()): a few shared worker threads running blocks concurrently, for blocking
//   work such as name lookups.
// Blocks that throw are logged and skipped; the queue goes on.
class DispatchQueue : public Object {
public:
    // Queues the block and returns at once.
    virtual void async(std::function<void()> block) = 0;
    // Runs the block on the queue and returns once it has run. On the queue itself (on the main
    // thread, for the main queue) it runs at once, inline: a queue never waits for itself.
    virtual void sync(std::function<void()> block) = 0;
    // True while the calling thread is running this queue's blocks.
    virtual bool isCurrent() const = 0;
    // True for queues that run blocks side by side (the global queue).
    virtual bool isConcurrent() const { return false; }

    // The shared main and global queues; both live for the whole process.
    static RefPtr<DispatchQueue> main();
    static RefPtr<DispatchQueue> global();
};
