#include "engine/core/math/kmVec3.h"

#include <cmath>

#include "engine/core/math/kmMat4.h"
#include "engine/core/math/kmUtility.h"

kmVec3* kmVec3Fill(kmVec3* pOut, float x, float y, float z) {
    pOut->x = x;
    pOut->y = y;
    pOut->z = z;
    return pOut;
}

float kmVec3Length(const kmVec3* pIn) {
    return std::sqrt(kmVec3LengthSq(pIn));
}

float kmVec3LengthSq(const kmVec3* pIn) {
    return kmVec3Dot(pIn, pIn);
}

kmVec3* kmVec3Normalize(kmVec3* pOut, const kmVec3* pIn) {
    return kmVec3Scale(pOut, pIn, 1.0f / kmVec3Length(pIn));
}

kmVec3* kmVec3Cross(kmVec3* pOut, const kmVec3* pV1, const kmVec3* pV2) {
    return kmVec3Fill(pOut, pV1->y * pV2->z - pV1->z * pV2->y, pV1->z * pV2->x - pV1->x * pV2->z,
                      pV1->x * pV2->y - pV1->y * pV2->x);
}

float kmVec3Dot(const kmVec3* pV1, const kmVec3* pV2) {
    return pV1->x * pV2->x + pV1->y * pV2->y + pV1->z * pV2->z;
}

kmVec3* kmVec3Add(kmVec3* pOut, const kmVec3* pV1, const kmVec3* pV2) {
    return kmVec3Fill(pOut, pV1->x + pV2->x, pV1->y + pV2->y, pV1->z + pV2->z);
}

kmVec3* kmVec3Subtract(kmVec3* pOut, const kmVec3* pV1, const kmVec3* pV2) {
    return kmVec3Fill(pOut, pV1->x - pV2->x, pV1->y - pV2->y, pV1->z - pV2->z);
}

kmVec3* kmVec3Scale(kmVec3* pOut, const kmVec3* pIn, float s) {
    return kmVec3Fill(pOut, pIn->x * s, pIn->y * s, pIn->z * s);
}

kmVec3* kmVec3Copy(kmVec3* pOut, const kmVec3* pIn) {
    if (pOut != pIn) {
        *pOut = *pIn;
    }
    return pOut;
}

kmVec3* kmVec3Zero(kmVec3* pOut) {
    return kmVec3Fill(pOut, 0.0f, 0.0f, 0.0f);
}

bool kmVec3Equal(const kmVec3* p1, const kmVec3* p2) {
    return kmAlmostEqual(p1->x, p2->x) && kmAlmostEqual(p1->y, p2->y) && kmAlmostEqual(p1->z, p2->z);
}

kmVec3* kmVec3Transform(kmVec3* pOut, const kmVec3* pV, const kmMat4* pM) {
    const float* m = pM->mat;
    return kmVec3Fill(pOut, m[0] * pV->x + m[4] * pV->y + m[8] * pV->z + m[12],
                      m[1] * pV->x + m[5] * pV->y + m[9] * pV->z + m[13],
                      m[2] * pV->x + m[6] * pV->y + m[10] * pV->z + m[14]);
}

kmVec3* kmVec3TransformCoord(kmVec3* pOut, const kmVec3* pV, const kmMat4* pM) {
    const float w = pM->mat[3] * pV->x + pM->mat[7] * pV->y + pM->mat[11] * pV->z + pM->mat[15];
    kmVec3Transform(pOut, pV, pM);
    return kmVec3Scale(pOut, pOut, 1.0f / w);
}

kmVec3* kmVec3TransformNormal(kmVec3* pOut, const kmVec3* pV, const kmMat4* pM) {
    const float* m = pM->mat;
    return kmVec3Fill(pOut, m[0] * pV->x + m[4] * pV->y + m[8] * pV->z,
                      m[1] * pV->x + m[5] * pV->y + m[9] * pV->z,
                      m[2] * pV->x + m[6] * pV->y + m[10] * pV->z);
}

kmVec3* kmVec3InverseTransform(kmVec3* pOut, const kmVec3* pV, const kmMat4* pM) {
    const kmVec3 moved = {pV->x - pM->mat[12], pV->y - pM->mat[13], pV->z - pM->mat[14]};
    return kmVec3InverseTransformNormal(pOut, &moved, pM);
}

kmVec3* kmVec3InverseTransformNormal(kmVec3* pOut, const kmVec3* pV, const kmMat4* pM) {
    const float* m = pM->mat;
    return kmVec3Fill(pOut, m[0] * pV->x + m[1] * pV->y + m[2] * pV->z,
                      m[4] * pV->x + m[5] * pV->y + m[6] * pV->z,
                      m[8] * pV->x + m[9] * pV->y + m[10] * pV->z);
}
