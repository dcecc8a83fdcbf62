#include "audio/ALSoundSourcePool.h"

#include <algorithm>

#include "audio/ALSource.h"
#include "platform/foundation/NamedException.h"

namespace {

constexpr size_t kInitialCapacity = 10;

}  // namespace

RefPtr<ALSoundSourcePool> ALSoundSourcePool::pool() {
    return makeRef<ALSoundSourcePool>();
}

ALSoundSourcePool::ALSoundSourcePool() {
    sources_.reserve(kInitialCapacity);
}

ALSoundSourcePool::~ALSoundSourcePool() = default;

void ALSoundSourcePool::addSource(RefPtr<ALSource> source) {
    CC_REQUIRE(source != nullptr, "NSInvalidArgumentException", "ALSoundSourcePool: cannot add a null source");
    std::lock_guard lock(mutex_);
    sources_.push_back(std::move(source));
}

void ALSoundSourcePool::removeSource(const ALSource* source) {
    std::lock_guard lock(mutex_);
    const auto found = std::find(sources_.begin(), sources_.end(), source);
    if (found != sources_.end()) sources_.erase(found);
}

void ALSoundSourcePool::moveToHead(size_t index) {
    std::lock_guard lock(mutex_);
    CC_REQUIRE(index < sources_.size(), "NSRangeException", "ALSoundSourcePool: index %zu beyond %zu sources", index,
               sources_.size());
    // A rotation: no source is retained or released on the way.
    std::rotate(sources_.begin() + ptrdiff_t(index), sources_.begin() + ptrdiff_t(index) + 1, sources_.end());
}

RefPtr<ALSource> ALSoundSourcePool::getFreeSource(bool interrupt) {
    std::lock_guard lock(mutex_);
    for (size_t i = 0; i < sources_.size(); ++i) {
        if (!sources_[i]->playing()) {
            moveToHead(i);
            return sources_.back();
        }
    }
    if (!interrupt) return nullptr;
    for (size_t i = 0; i < sources_.size(); ++i) {
        // Only an interruptible sound may be cut off; one may also have ended since the first walk.
        if (!sources_[i]->playing() || sources_[i]->interruptible()) {
            sources_[i]->stop();
            moveToHead(i);
            return sources_.back();
        }
    }
    return nullptr;
}

size_t ALSoundSourcePool::count() const {
    std::lock_guard lock(mutex_);
    return sources_.size();
}
