#include "engine/core/ccCachePurge.h"

#include "engine/core/support/CCFileUtils.h"

namespace {

void purgeFileLookups() { CCFileUtils::sharedFileUtils()->purgeCachedEntries(); }

struct Purges {
    void (*purge)();
    void (*purgeUnused)();
};

// Indexed by ccCacheSlot; constant-initialised, so caches may register from static initialisers.
Purges slots[kCCCacheSlotCount] = {
    {}, {}, {}, {}, {}, {purgeFileLookups, purgeFileLookups},
};

}  // namespace

void ccCacheRegisterPurge(ccCacheSlot slot, void (*purge)(), void (*purgeUnused)()) {
    if (slot < 0 || slot >= kCCCacheSlotCount) return;
    slots[slot] = {purge, purgeUnused};
}

void ccCachePurgeAll() {
    for (const Purges& slot : slots) {
        if (slot.purge) slot.purge();
    }
}

void ccCachePurgeUnused() {
    for (const Purges& slot : slots) {
        if (slot.purgeUnused) slot.purgeUnused();
    }
}
