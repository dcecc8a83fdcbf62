#include "engine/core/math/kmVec2.h"

#include <cmath>

#include "engine/core/math/kmMat3.h"
#include "engine/core/math/kmUtility.h"

kmVec2* kmVec2Fill(kmVec2* pOut, float x, float y) {
    pOut->x = x;
    pOut->y = y;
    return pOut;
}

float kmVec2Length(const kmVec2* pIn) {
    return std::sqrt(kmVec2LengthSq(pIn));
}

float kmVec2LengthSq(const kmVec2* pIn) {
    return kmVec2Dot(pIn, pIn);
}

kmVec2* kmVec2Normalize(kmVec2* pOut, const kmVec2* pIn) {
    return kmVec2Scale(pOut, pIn, 1.0f / kmVec2Length(pIn));
}

kmVec2* kmVec2Add(kmVec2* pOut, const kmVec2* pV1, const kmVec2* pV2) {
    return kmVec2Fill(pOut, pV1->x + pV2->x, pV1->y + pV2->y);
}

kmVec2* kmVec2Subtract(kmVec2* pOut, const kmVec2* pV1, const kmVec2* pV2) {
    return kmVec2Fill(pOut, pV1->x - pV2->x, pV1->y - pV2->y);
}

float kmVec2Dot(const kmVec2* pV1, const kmVec2* pV2) {
    return pV1->x * pV2->x + pV1->y * pV2->y;
}

kmVec2* kmVec2Scale(kmVec2* pOut, const kmVec2* pIn, float s) {
    return kmVec2Fill(pOut, pIn->x * s, pIn->y * s);
}

kmVec2* kmVec2Transform(kmVec2* pOut, const kmVec2* pV, const kmMat3* pM) {
    const float* m = pM->mat;
    return kmVec2Fill(pOut, m[0] * pV->x + m[3] * pV->y + m[6], m[1] * pV->x + m[4] * pV->y + m[7]);
}

bool kmVec2Equal(const kmVec2* p1, const kmVec2* p2) {
    return kmAlmostEqual(p1->x, p2->x) && kmAlmostEqual(p1->y, p2->y);
}
