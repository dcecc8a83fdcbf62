#include "engine/core/math/kmVec4.h"

#include <cmath>
#include <cstddef>

#include "engine/core/math/kmMat4.h"
#include "engine/core/math/kmUtility.h"

kmVec4* kmVec4Fill(kmVec4* pOut, float x, float y, float z, float w) {
    pOut->x = x;
    pOut->y = y;
    pOut->z = z;
    pOut->w = w;
    return pOut;
}

kmVec4* kmVec4Add(kmVec4* pOut, const kmVec4* pV1, const kmVec4* pV2) {
    return kmVec4Fill(pOut, pV1->x + pV2->x, pV1->y + pV2->y, pV1->z + pV2->z, pV1->w + pV2->w);
}

kmVec4* kmVec4Subtract(kmVec4* pOut, const kmVec4* pV1, const kmVec4* pV2) {
    return kmVec4Fill(pOut, pV1->x - pV2->x, pV1->y - pV2->y, pV1->z - pV2->z, pV1->w - pV2->w);
}

float kmVec4Dot(const kmVec4* pV1, const kmVec4* pV2) {
    return pV1->x * pV2->x + pV1->y * pV2->y + pV1->z * pV2->z + pV1->w * pV2->w;
}

float kmVec4Length(const kmVec4* pIn) {
    return std::sqrt(kmVec4LengthSq(pIn));
}

float kmVec4LengthSq(const kmVec4* pIn) {
    return kmVec4Dot(pIn, pIn);
}

kmVec4* kmVec4Normalize(kmVec4* pOut, const kmVec4* pIn) {
    return kmVec4ScaleToLength(pOut, pIn, 1.0f);
}

kmVec4* kmVec4ScaleToLength(kmVec4* pOut, const kmVec4* pIn, float s) {
    const float factor = s / kmVec4Length(pIn);
    return kmVec4Fill(pOut, pIn->x * factor, pIn->y * factor, pIn->z * factor, pIn->w * factor);
}

kmVec4* kmVec4Transform(kmVec4* pOut, const kmVec4* pV, const kmMat4* pM) {
    const float* m = pM->mat;
    return kmVec4Fill(pOut, m[0] * pV->x + m[4] * pV->y + m[8] * pV->z + m[12] * pV->w,
                      m[1] * pV->x + m[5] * pV->y + m[9] * pV->z + m[13] * pV->w,
                      m[2] * pV->x + m[6] * pV->y + m[10] * pV->z + m[14] * pV->w,
                      m[3] * pV->x + m[7] * pV->y + m[11] * pV->z + m[15] * pV->w);
}

kmVec4* kmVec4TransformArray(kmVec4* pOut, unsigned int outStride, const kmVec4* pV, unsigned int vStride,
                             const kmMat4* pM, unsigned int count) {
    for (unsigned int i = 0; i < count; ++i) {
        kmVec4Transform(pOut + std::size_t(i) * outStride, pV + std::size_t(i) * vStride, pM);
    }
    return pOut;
}

bool kmVec4Equal(const kmVec4* p1, const kmVec4* p2) {
    return kmAlmostEqual(p1->x, p2->x) && kmAlmostEqual(p1->y, p2->y) && kmAlmostEqual(p1->z, p2->z) &&
           kmAlmostEqual(p1->w, p2->w);
}

kmVec4* kmVec4Copy(kmVec4* pOut, const kmVec4* pIn) {
    *pOut = *pIn;
    return pOut;
}
