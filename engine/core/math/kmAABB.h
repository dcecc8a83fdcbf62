#pragma once

#include "engine/core/math/kmVec3.h"

// An axis-aligned box; min <= max on every axis for a box that holds anything.
struct kmAABB {
    kmVec3 min;
    kmVec3 max;
};

// min <= point <= max on all three axes, bounds included.
bool kmAABBContainsPoint(const kmVec3* pPoint, const kmAABB* pBox);
kmAABB* kmAABBCopy(kmAABB* pOut, const kmAABB* pIn);
