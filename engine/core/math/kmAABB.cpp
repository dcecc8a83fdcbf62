#include "engine/core/math/kmAABB.h"

bool kmAABBContainsPoint(const kmVec3* pPoint, const kmAABB* pBox) {
    return pPoint->x >= pBox->min.x && pPoint->x <= pBox->max.x && pPoint->y >= pBox->min.y &&
           pPoint->y <= pBox->max.y && pPoint->z >= pBox->min.z && pPoint->z <= pBox->max.z;
}

kmAABB* kmAABBCopy(kmAABB* pOut, const kmAABB* pIn) {
    *pOut = *pIn;
    return pOut;
}
