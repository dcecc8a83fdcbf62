#pragma once

#include "engine/core/CCNode.h"

namespace game {

// Mirrors the node along each axis whose flip a movement has noted since it last drew the node
// (a turn at a path's end, a change of side on an orbit), and clears the note.
inline void applyPendingFlips(CCNode* node, bool& flipXDirty, bool& flipYDirty) {
    if (flipXDirty) {
        node->setScaleX(-node->scaleX());
        flipXDirty = false;
    }
    if (flipYDirty) {
        node->setScaleY(-node->scaleY());
        flipYDirty = false;
    }
}

}  // namespace game
