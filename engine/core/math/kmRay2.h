#pragma once

#include "engine/core/math/kmVec2.h"

// A 2D ray, tested as the segment from start to start + dir.
struct kmRay2 {
    kmVec2 start;
    kmVec2 dir;
};

kmRay2* kmRay2Fill(kmRay2* pOut, float px, float py, float vx, float vy);
// Where the ray's segment crosses the segment p1-p2, each allowed to overshoot by kmEpsilon. False,
// pIntersection untouched, when they miss or are parallel (within kmEpsilon).
bool kmRay2IntersectSegment(const kmRay2* pRay, const kmVec2* p1, const kmVec2* p2, kmVec2* pIntersection);
// The hit with the triangle's edge nearest the ray's start, with that edge's unit normal (the edge
// direction turned counter-clockwise). pNormal may be null. False, outputs untouched, when no edge
// is hit.
bool kmRay2IntersectTriangle(const kmRay2* pRay, const kmVec2* p1, const kmVec2* p2, const kmVec2* p3,
                             kmVec2* pIntersection, kmVec2* pNormal);
