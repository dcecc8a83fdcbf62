#pragma once

#include <cstddef>
#include <mutex>
#include <vector>

#include "platform/foundation/Object.h"

class ALSource;

// The sources of a channel in the order they were last handed out: index 0 holds the one handed
// out longest ago (or never), the last index the one handed out most recently. A free source is
// reused first; when none is free, the sound that started longest ago is the first to be cut off.
//
// The pool's lock is also the lock of the channel that owns it; a source's own lock is taken
// inside it, never the other way round.
class ALSoundSourcePool : public Object {
public:
    // An empty pool.
    static RefPtr<ALSoundSourcePool> pool();
    ALSoundSourcePool();

    // Appends `source` (not null) as the one handed out most recently.
    void addSource(RefPtr<ALSource> source);
    // Removes `source` wherever it stands; nothing when it is not in the pool.
    void removeSource(const ALSource* source);
    // Moves the source at `index` (below the count) to the end.
    void moveToHead(size_t index);
    // The free source (neither playing nor paused) handed out longest ago; else, when `interrupt`,
    // the interruptible one whose sound started longest ago, stopped. The source answered moves to
    // the end. Null when there is none.
    RefPtr<ALSource> getFreeSource(bool interrupt);

    // The sources, oldest first; hold lock() while using the list.
    const std::vector<RefPtr<ALSource>>& sources() const { return sources_; }
    size_t count() const;

    // Recursive; held by every pool and channel operation.
    std::recursive_mutex& lock() const { return mutex_; }

protected:
    ~ALSoundSourcePool() override;

private:
    mutable std::recursive_mutex mutex_;
    std::vector<RefPtr<ALSource>> sources_;
};
