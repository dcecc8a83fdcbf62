#include "platform/dispatch/DispatchQueue.h"

#include "platform/dispatch/GlobalQueue.h"
#include "platform/dispatch/MainQueue.h"

namespace {
// Made on first use and never released (one count each for the rest of the process), so blocks
// posted during static destruction still find them.
template <typename Queue>
DispatchQueue* immortal() {
    static DispatchQueue* const queue = [] {
        DispatchQueue* made = new Queue();
        made->retain();
        return made;
    }();
    return queue;
}
}  // namespace

RefPtr<DispatchQueue> DispatchQueue::main() { return RefPtr(immortal<MainQueue>()); }

RefPtr<DispatchQueue> DispatchQueue::global() { return RefPtr(immortal<GlobalQueue>()); }
