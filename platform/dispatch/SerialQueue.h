#pragma once

#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "platform/dispatch/DispatchQueue.h"
#include "platform/foundation/RunLoop.h"

// A named queue whose blocks run one at a time, in the order they were queued, on the queue's own
// worker thread (started by the constructor). A block that throws is logged and the queue goes on.
// Owned either directly (a member) or shared through RefPtr like every DispatchQueue.
class SerialQueue : public DispatchQueue {
public:
    explicit SerialQueue(std::string name);
    // Runs every block already queued (and whatever they queue in turn), then joins the worker.
    // From a block on the queue itself it cannot wait for itself: the worker then finishes the
    // same work after the destructor has returned.
    ~SerialQueue() override;
    SerialQueue(const SerialQueue&) = delete;
    SerialQueue& operator=(const SerialQueue&) = delete;

    const std::string& name() const { return name_; }

    void async(std::function<void()> block) override;
    // Runs the block on the queue and returns once it has run; from the queue's own thread it runs
    // at once, inline, so a queue never waits for itself.
    void sync(std::function<void()> block) override;
    // True on the queue's worker thread.
    bool isCurrent() const override;

private:
    const std::string name_;
    // Set by the closing block that the destructor queues; read and written on the worker only.
    // Shared with the worker so that a worker outliving the queue (see the destructor) owns it too.
    const std::shared_ptr<bool> finished_;
    RefPtr<RunLoop> loop_;  // the worker thread's loop; set before the constructor returns
    std::thread worker_;
};
