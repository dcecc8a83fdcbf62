#pragma once

#include <cstdint>

#include "platform/dispatch/DispatchSource.h"

// Suspending and resuming a socket's descriptor source (read, write, send, receive) while keeping
// the socket's record of it: `bit` of the socket's `flags` is set while the source is suspended,
// which other steps read. A null source (the socket is closed) is left alone.
inline void suspendSocketSource(DispatchSource* source, uint32_t& flags, uint32_t bit) {
    if (source && !(flags & bit)) {
        source->suspend();
        flags |= bit;
    }
}

inline void resumeSocketSource(DispatchSource* source, uint32_t& flags, uint32_t bit) {
    if (source && (flags & bit)) {
        source->resume();
        flags &= ~bit;
    }
}
