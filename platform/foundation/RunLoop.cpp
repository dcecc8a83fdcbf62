#include "platform/foundation/RunLoop.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>

#include "platform/foundation/NamedException.h"
#include "platform/foundation/PostedWork.h"

namespace {

// Shortest timer interval, seconds; shorter ones (and NaN) become this, so that a repeating timer
// cannot fire on every pass.
constexpr double kShortestTimerInterval = 0.0001;
// Longest single sleep of waitForWork, seconds; keeps the deadline within the clock's range.
constexpr double kLongestWait = 1e6;

double monotonicSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// The steady clock's time `seconds` (at least 0) from now.
std::chrono::steady_clock::time_point steadyTimeAfter(double seconds) {
    return std::chrono::steady_clock::now() +
           std::chrono::ceil<std::chrono::steady_clock::duration>(std::chrono::duration<double>(std::max(seconds, 0.0)));
}

std::mutex registryMutex;
// Holds one count for the rest of the process, so that work posted to the main thread during static
// destruction finds a (stopped) loop rather than freed memory.
RunLoop* mainLoop = nullptr;

// A thread's own loop; stopping it when the thread ends releases anybody still waiting on it.
struct ThreadLoop {
    RefPtr<RunLoop> loop;
    ~ThreadLoop() {
        if (loop) loop->stop();
    }
};
thread_local ThreadLoop threadLoop;

}  // namespace

RunLoop::RunLoop(pid_t thread) : thread_(thread) {}

RunLoop::~RunLoop() { stop(); }

RunLoop& RunLoop::main() {
    std::lock_guard lock(registryMutex);
    if (!mainLoop) {
        mainLoop = new RunLoop(getpid());
        mainLoop->retain();
    }
    return *mainLoop;
}

RunLoop& RunLoop::current() {
    if (!threadLoop.loop) {
        const pid_t self = gettid();
        std::lock_guard lock(registryMutex);
        if (mainLoop && mainLoop->thread_ == self) {
            threadLoop.loop = RefPtr(mainLoop);
        } else {
            threadLoop.loop = RefPtr<RunLoop>(new RunLoop(self));
            if (!mainLoop && self == getpid()) {
                mainLoop = threadLoop.loop.get();
                mainLoop->retain();
            }
        }
    }
    return *threadLoop.loop;
}

void RunLoop::setMainThread() {
    RunLoop& loop = current();
    std::lock_guard lock(registryMutex);
    if (mainLoop == &loop) return;
    CC_REQUIRE(!mainLoop, "RunLoop", "the main thread was already chosen");
    mainLoop = &loop;
    mainLoop->retain();
}

bool RunLoop::isCurrent() const { return gettid() == thread_; }

void RunLoop::requireCurrent(const char* operation) const {
    CC_REQUIRE(isCurrent(), "RunLoop", "%s called off the loop's thread", operation);
}

bool RunLoop::performBlock(std::function<void()> block, bool waitUntilDone) {
    if (!block) return false;
    if (waitUntilDone && isCurrent()) {
        if (isStopped()) return false;
        runPostedWork("RunLoop", block);
        return true;
    }
    std::future<bool> finished;
    {
        std::lock_guard lock(mutex_);
        if (stopped_) return false;
        Item item{std::move(block), std::nullopt};
        if (waitUntilDone) finished = item.done.emplace().get_future();
        items_.push_back(std::move(item));
        ++changes_;
        // Under the lock: once the item is queued its block may end the loop's thread and with it
        // the loop, so the poster must not touch the loop after letting go.
        wake_.notify_all();
    }
    return waitUntilDone ? finished.get() : true;
}

bool RunLoop::performBlock(std::function<void(RefPtr<Object>)> block, RefPtr<Object> object, bool waitUntilDone) {
    if (!block) return false;
    return performBlock([block = std::move(block), object = std::move(object)] { block(object); }, waitUntilDone);
}

RefPtr<RunLoopTimer> RunLoop::scheduleTimer(double intervalSeconds, bool repeats, std::function<void()> block) {
    if (!(intervalSeconds >= kShortestTimerInterval)) intervalSeconds = kShortestTimerInterval;
    const bool empty = !block;
    RefPtr<RunLoopTimer> timer(new RunLoopTimer(intervalSeconds, repeats, now() + intervalSeconds, std::move(block)));
    {
        std::lock_guard lock(mutex_);
        if (stopped_ || empty) {
            timer->invalidate();
            return timer;
        }
        timers_.push_back(timer);
        ++changes_;
        wake_.notify_all();
    }
    return timer;
}

int RunLoop::runOnce() {
    requireCurrent("runOnce");
    std::vector<Item> batch;
    {
        std::lock_guard lock(mutex_);
        batch.swap(items_);
    }
    ++passDepth_;
    int count = 0;
    for (Item& item : batch) {
        const bool ran = !isStopped();
        if (ran) {
            runPostedWork("RunLoop", item.block);
            ++count;
        }
        // Captures go before the waiter hears, so it finds the objects it handed over released.
        item.block = nullptr;
        if (item.done) item.done->set_value(ran);
    }
    fireDueTimers(count);
    if (--passDepth_ == 0) {
        std::lock_guard lock(mutex_);
        std::erase_if(timers_, [](const RefPtr<RunLoopTimer>& timer) { return !timer->isValid(); });
    }
    return count;
}

void RunLoop::fireDueTimers(int& count) {
    const double now = this->now();
    // By index, re-reading the size each time: blocks may schedule timers (appended, and not yet due)
    // and stop() may empty the list; invalid timers are only removed by the outermost pass.
    for (size_t index = 0;; ++index) {
        RefPtr<RunLoopTimer> timer;
        {
            std::lock_guard lock(mutex_);
            if (index >= timers_.size()) break;
            timer = timers_[index];
        }
        if (timer->fireTime_ > now) continue;
        const std::shared_ptr<const RunLoopTimer::Block> block = timer->block();
        if (!block) continue;
        if (timer->repeats_) {
            // The next firing on the timer's own grid that is still ahead: missed ones are skipped.
            const double missed = std::floor((now - timer->fireTime_) / timer->interval_);
            timer->fireTime_ += (missed + 1) * timer->interval_;
        } else {
            timer->invalidate();
        }
        runPostedWork("RunLoop", *block);
        ++count;
    }
}

void RunLoop::waitForWork(double maxSeconds) {
    requireCurrent("waitForWork");
    const double start = now();
    // Seconds to sleep, measured on the steady clock whatever clock times the timers.
    double wait = maxSeconds > 0 ? std::min(maxSeconds, kLongestWait) : 0;
    std::unique_lock lock(mutex_);
    for (const RefPtr<RunLoopTimer>& timer : timers_) {
        if (timer->isValid()) wait = std::min(wait, timer->fireTime_ - start);
    }
    const uint64_t seen = changes_;
    wake_.wait_until(lock, steadyTimeAfter(wait), [&] { return stopped_ || !items_.empty() || changes_ != seen; });
}

void RunLoop::setClock(Clock clock) {
    std::lock_guard lock(mutex_);
    clock_ = std::move(clock);
}

double RunLoop::now() const {
    std::lock_guard lock(mutex_);
    return clock_ ? clock_() : monotonicSeconds();
}

void RunLoop::stop() {
    std::vector<Item> items;
    std::vector<RefPtr<RunLoopTimer>> timers;
    {
        std::lock_guard lock(mutex_);
        stopped_ = true;
        items.swap(items_);
        timers.swap(timers_);
        ++changes_;
        wake_.notify_all();
    }
    for (const RefPtr<RunLoopTimer>& timer : timers) timer->invalidate();
    for (Item& item : items) {
        item.block = nullptr;
        if (item.done) item.done->set_value(false);
    }
}

bool RunLoop::isStopped() const {
    std::lock_guard lock(mutex_);
    return stopped_;
}
