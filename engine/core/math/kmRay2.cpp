#include "engine/core/math/kmRay2.h"

#include <cmath>

#include "engine/core/math/kmUtility.h"

namespace {

// lo - kmEpsilon <= value <= hi + kmEpsilon for the bounds in either order.
bool withinWidened(float value, float bound1, float bound2) {
    return value >= kmMinFloat(bound1, bound2) - kmEpsilon && value <= kmMaxFloat(bound1, bound2) + kmEpsilon;
}

}  // namespace

kmRay2* kmRay2Fill(kmRay2* pOut, float px, float py, float vx, float vy) {
    *pOut = {{px, py}, {vx, vy}};
    return pOut;
}

bool kmRay2IntersectSegment(const kmRay2* pRay, const kmVec2* p1, const kmVec2* p2, kmVec2* pIntersection) {
    const float x1 = pRay->start.x, y1 = pRay->start.y;
    const float x2 = x1 + pRay->dir.x, y2 = y1 + pRay->dir.y;
    const float x3 = p1->x, y3 = p1->y, x4 = p2->x, y4 = p2->y;
    const float denom = pRay->dir.x * (y4 - y3) - pRay->dir.y * (x4 - x3);
    if (std::fabs(denom) < kmEpsilon) {
        return false;
    }
    const float ua = ((x4 - x3) * (y1 - y3) - (y4 - y3) * (x1 - x3)) / denom;
    const float x = x1 + ua * pRay->dir.x;
    const float y = y1 + ua * pRay->dir.y;
    if (!withinWidened(x, x3, x4) || !withinWidened(y, y3, y4) || !withinWidened(x, x1, x2) ||
        !withinWidened(y, y1, y2)) {
        return false;
    }
    kmVec2Fill(pIntersection, x, y);
    return true;
}

bool kmRay2IntersectTriangle(const kmRay2* pRay, const kmVec2* p1, const kmVec2* p2, const kmVec2* p3,
                             kmVec2* pIntersection, kmVec2* pNormal) {
    const kmVec2* edges[3][2] = {{p1, p2}, {p2, p3}, {p3, p1}};
    float nearest = 10000.0f;
    const kmVec2* const* nearestEdge = nullptr;
    kmVec2 nearestHit;
    for (const auto& edge : edges) {
        kmVec2 hit, offset;
        if (kmRay2IntersectSegment(pRay, edge[0], edge[1], &hit)) {
            const float distance = kmVec2Length(kmVec2Subtract(&offset, &hit, &pRay->start));
            if (distance < nearest) {
                nearest = distance;
                nearestEdge = edge;
                nearestHit = hit;
            }
        }
    }
    if (nearestEdge == nullptr) {
        return false;
    }
    *pIntersection = nearestHit;
    if (pNormal != nullptr) {
        const kmVec2 turned = {-(nearestEdge[1]->y - nearestEdge[0]->y), nearestEdge[1]->x - nearestEdge[0]->x};
        kmVec2Normalize(pNormal, &turned);
    }
    return true;
}
