#include "engine/core/math/kmPlane.h"

#include "engine/core/math/kmVec3.h"
#include "engine/core/math/kmVec4.h"

namespace {

// Distance within which a point counts as lying on a plane.
constexpr float planeTolerance = 0.001f;

}  // namespace

float kmPlaneDot(const kmPlane* pP, const kmVec4* pV) {
    return pP->a * pV->x + pP->b * pV->y + pP->c * pV->z + pP->d * pV->w;
}

float kmPlaneDotCoord(const kmPlane* pP, const kmVec3* pV) {
    return kmPlaneDotNormal(pP, pV) + pP->d;
}

float kmPlaneDotNormal(const kmPlane* pP, const kmVec3* pV) {
    return pP->a * pV->x + pP->b * pV->y + pP->c * pV->z;
}

kmPlane* kmPlaneFromPointNormal(kmPlane* pOut, const kmVec3* pPoint, const kmVec3* pNormal) {
    *pOut = {pNormal->x, pNormal->y, pNormal->z, -kmVec3Dot(pNormal, pPoint)};
    return pOut;
}

kmPlane* kmPlaneFromPoints(kmPlane* pOut, const kmVec3* p1, const kmVec3* p2, const kmVec3* p3) {
    kmVec3 edge1, edge2, normal;
    kmVec3Subtract(&edge1, p2, p1);
    kmVec3Subtract(&edge2, p3, p1);
    kmVec3Normalize(&normal, kmVec3Cross(&normal, &edge1, &edge2));
    return kmPlaneFromPointNormal(pOut, p1, &normal);
}

kmPlane* kmPlaneNormalize(kmPlane* pOut, const kmPlane* pP) {
    const kmVec3 normal = {pP->a, pP->b, pP->c};
    const float length = kmVec3Length(&normal);
    *pOut = {pP->a / length, pP->b / length, pP->c / length, pP->d / length};
    return pOut;
}

kmPointClassification kmPlaneClassifyPoint(const kmPlane* pIn, const kmVec3* pP) {
    const float distance = kmPlaneDotCoord(pIn, pP);
    if (distance > planeTolerance) {
        return kmPointInFrontOfPlane;
    }
    if (distance < -planeTolerance) {
        return kmPointBehindPlane;
    }
    return kmPointOnPlane;
}
