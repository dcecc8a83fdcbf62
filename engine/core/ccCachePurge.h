#pragma once

// The engine's process-wide caches, each in the slot that fixes when it is purged: dependants
// before what they depend on (font configurations and animations hold sprite frames, which hold
// textures), file lookups last.
enum ccCacheSlot {
    kCCCacheFontConfigurations,
    kCCCacheAnimations,
    kCCCacheSpriteFrames,
    kCCCacheTextures,
    kCCCacheShaders,
    kCCCacheFileLookups,
    kCCCacheSlotCount
};

// A cache puts itself in its slot when it comes into being: `purge` drops the whole cache (engine
// shutdown); `purgeUnused` is what the director's purgeCachedData asks of it (dropping what nobody
// else holds), null when purgeCachedData leaves the cache alone. Registering again replaces the
// slot's functions. The file-lookup slot is filled from the start.
void ccCacheRegisterPurge(ccCacheSlot slot, void (*purge)(), void (*purgeUnused)());

// Every registered purge, slot by slot in the order above (the director's end).
void ccCachePurgeAll();
// Every registered purgeUnused, in the same order (the director's purgeCachedData).
void ccCachePurgeUnused();
