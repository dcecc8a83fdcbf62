#include "PadlinkSDK/JSONCore/JPJKKeyLayout.h"

bool JPJKKeyLayout::holdsSequence(JPJKObject* const* keys, size_t count) const {
    if (sequenceSlots.size() != count) return false;
    for (size_t i = 0; i < count; ++i) {
        if (slots[sequenceSlots[i]].key.get() != keys[i]) return false;
    }
    return true;
}
