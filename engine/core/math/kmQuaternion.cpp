#include "engine/core/math/kmQuaternion.h"

#include <cmath>

#include "engine/core/math/kmMat3.h"
#include "engine/core/math/kmUtility.h"
#include "engine/core/math/kmVec3.h"

namespace {

kmQuaternion* fill(kmQuaternion* pOut, float x, float y, float z, float w) {
    *pOut = {x, y, z, w};
    return pOut;
}

}  // namespace

kmQuaternion* kmQuaternionMakeIdentity(kmQuaternion* pOut) {
    return fill(pOut, 0, 0, 0, 1);
}

bool kmQuaternionIsIdentity(const kmQuaternion* pIn) {
    return pIn->x == 0 && pIn->y == 0 && pIn->z == 0 && pIn->w == 1;
}

kmQuaternion* kmQuaternionCopy(kmQuaternion* pOut, const kmQuaternion* pIn) {
    *pOut = *pIn;
    return pOut;
}

kmQuaternion* kmQuaternionConjugate(kmQuaternion* pOut, const kmQuaternion* pIn) {
    return fill(pOut, -pIn->x, -pIn->y, -pIn->z, pIn->w);
}

float kmQuaternionDot(const kmQuaternion* q1, const kmQuaternion* q2) {
    return q1->x * q2->x + q1->y * q2->y + q1->z * q2->z + q1->w * q2->w;
}

float kmQuaternionLength(const kmQuaternion* pIn) {
    return std::sqrt(kmQuaternionLengthSq(pIn));
}

float kmQuaternionLengthSq(const kmQuaternion* pIn) {
    return kmQuaternionDot(pIn, pIn);
}

kmQuaternion* kmQuaternionAdd(kmQuaternion* pOut, const kmQuaternion* pQ1, const kmQuaternion* pQ2) {
    return fill(pOut, pQ1->x + pQ2->x, pQ1->y + pQ2->y, pQ1->z + pQ2->z, pQ1->w + pQ2->w);
}

kmQuaternion* kmQuaternionScale(kmQuaternion* pOut, const kmQuaternion* pIn, float s) {
    return fill(pOut, pIn->x * s, pIn->y * s, pIn->z * s, pIn->w * s);
}

kmQuaternion* kmQuaternionNormalize(kmQuaternion* pOut, const kmQuaternion* pIn) {
    return kmQuaternionScale(pOut, pIn, 1.0f / kmQuaternionLength(pIn));
}

kmQuaternion* kmQuaternionMultiply(kmQuaternion* pOut, const kmQuaternion* q1, const kmQuaternion* q2) {
    return fill(pOut, q1->x * q2->w + q1->w * q2->x + q1->y * q2->z - q1->z * q2->y,
                q1->y * q2->w + q1->w * q2->y + q1->z * q2->x - q1->x * q2->z,
                q1->z * q2->w + q1->w * q2->z + q1->x * q2->y - q1->y * q2->x,
                q1->w * q2->w - q1->x * q2->x - q1->y * q2->y - q1->z * q2->z);
}

kmQuaternion* kmQuaternionInvert(kmQuaternion* pOut, const kmQuaternion* pIn) {
    const float length = kmQuaternionLength(pIn);
    if (std::fabs(length) < kmEpsilon) {
        return fill(pOut, 0, 0, 0, 0);
    }
    kmQuaternionConjugate(pOut, pIn);
    return kmQuaternionScale(pOut, pOut, 1.0f / length);
}

kmQuaternion* kmQuaternionMakeRotationAxis(kmQuaternion* pOut, const kmVec3* axis, float radians) {
    const float half = radians * 0.5f;
    const float s = std::sin(half);
    return fill(pOut, axis->x * s, axis->y * s, axis->z * s, std::cos(half));
}

kmQuaternion* kmQuaternionMakeFromMat3(kmQuaternion* pOut, const kmMat3* pIn) {
    if (pIn == nullptr) {
        return nullptr;
    }
    // Divides by the largest of the four candidate terms so that S stays well away from 0.
    const float* m = pIn->mat;
    const float trace = m[0] + m[4] + m[8] + 1.0f;
    if (trace > kmEpsilon) {
        const float s = std::sqrt(trace) * 2;
        return fill(pOut, (m[5] - m[7]) / s, (m[6] - m[2]) / s, (m[1] - m[3]) / s, s / 4);
    }
    if (m[0] > m[4] && m[0] > m[8]) {
        const float s = std::sqrt(1.0f + m[0] - m[4] - m[8]) * 2;
        return fill(pOut, s / 4, (m[3] + m[1]) / s, (m[6] + m[2]) / s, (m[5] - m[7]) / s);
    }
    if (m[4] > m[8]) {
        const float s = std::sqrt(1.0f + m[4] - m[0] - m[8]) * 2;
        return fill(pOut, (m[3] + m[1]) / s, s / 4, (m[7] + m[5]) / s, (m[6] - m[2]) / s);
    }
    const float s = std::sqrt(1.0f + m[8] - m[0] - m[4]) * 2;
    return fill(pOut, (m[6] + m[2]) / s, (m[7] + m[5]) / s, s / 4, (m[1] - m[3]) / s);
}

kmQuaternion* kmQuaternionMakeFromAngles(kmQuaternion* pOut, float first, float second, float third) {
    const float h1 = kmDegreesToRadians(first) / 2;
    const float h2 = kmDegreesToRadians(second) / 2;
    const float h3 = kmDegreesToRadians(third) / 2;
    const float c1 = std::cos(h1), s1 = std::sin(h1);
    const float c2 = std::cos(h2), s2 = std::sin(h2);
    const float c3 = std::cos(h3), s3 = std::sin(h3);
    fill(pOut, s2 * c1 * c3 - c2 * s1 * s3, c2 * s1 * c3 + s2 * c1 * s3, c2 * c1 * s3 - s2 * s1 * c3,
         c2 * c1 * c3 + s2 * s1 * s3);
    return kmQuaternionNormalize(pOut, pOut);
}

void kmQuaternionToAxisAngle(const kmQuaternion* pIn, kmVec3* pAxis, float* pAngle) {
    constexpr float twoPi = 2 * 3.141592f;
    const kmVec3 imaginary = {pIn->x, pIn->y, pIn->z};
    const float length = kmVec3Length(&imaginary);
    if (std::fabs(length) < kmEpsilon || std::fabs(length - twoPi) < kmEpsilon) {
        *pAngle = 0;
        kmVec3Fill(pAxis, 0, 0, 1);
        return;
    }
    *pAngle = 2 * std::acos(pIn->w);
    kmVec3Scale(pAxis, &imaginary, 1.0f / length);
    kmVec3Normalize(pAxis, pAxis);
}

kmQuaternion* kmQuaternionSlerp(kmQuaternion* pOut, const kmQuaternion* q1, const kmQuaternion* q2, float t) {
    if (q1->x == q2->x && q1->y == q2->y && q1->z == q2->z && q1->w == q2->w) {
        return kmQuaternionCopy(pOut, q1);
    }
    const float cosTheta = kmQuaternionDot(q1, q2);
    const float theta = std::acos(cosTheta);
    const float sinTheta = std::sqrt(1.0f - cosTheta * cosTheta);
    const float weight1 = std::sin(theta * (1 - t)) / sinTheta;
    const float weight2 = std::sin(theta * t) / sinTheta;
    return fill(pOut, q2->x * weight2 + q1->x * weight1, q2->y * weight2 + q1->y * weight1,
                q2->z * weight2 + q1->z * weight1, q2->w * weight2 + q1->w * weight1);
}

kmQuaternion* kmQuaternionMakeBetween(kmQuaternion* pOut, const kmVec3* vec1, const kmVec3* vec2,
                                      const kmVec3* fallback) {
    kmVec3 a, b;
    kmVec3Normalize(&a, vec1);
    kmVec3Normalize(&b, vec2);
    const float d = kmVec3Dot(&a, &b);
    if (d >= 1.0f) {
        return kmQuaternionMakeIdentity(pOut);
    }
    if (d < -0.999999f) {
        kmVec3 axis;
        if (fallback != nullptr && kmVec3LengthSq(fallback) >= kmEpsilon) {
            axis = *fallback;
        } else {
            const kmVec3 unitX = {1, 0, 0}, unitY = {0, 1, 0};
            kmVec3Cross(&axis, &unitX, vec1);
            if (kmVec3LengthSq(&axis) < kmEpsilon) {
                kmVec3Cross(&axis, &unitY, vec1);
            }
            kmVec3Normalize(&axis, &axis);
        }
        // A half turn: w is cos(1.570796) = 3.1391647e-7, and (x, y, z) the axis itself.
        return kmQuaternionMakeRotationAxis(pOut, &axis, 3.141592f);
    }
    const float s = std::sqrt((1 + d) * 2);
    kmVec3 c;
    kmVec3Scale(&c, kmVec3Cross(&c, &a, &b), 1.0f / s);
    fill(pOut, c.x, c.y, c.z, s * 0.5f);
    return kmQuaternionNormalize(pOut, pOut);
}

kmVec3* kmQuaternionRotateVec3(kmVec3* pOut, const kmQuaternion* q, const kmVec3* v) {
    const kmVec3 qv = {q->x, q->y, q->z};
    kmVec3 uv, uuv;
    kmVec3Cross(&uv, &qv, v);
    kmVec3Cross(&uuv, &qv, &uv);
    kmVec3Scale(&uv, &uv, 2 * q->w);
    kmVec3Scale(&uuv, &uuv, 2);
    return kmVec3Fill(pOut, v->x + uv.x + uuv.x, v->y + uv.y + uuv.y, v->z + uv.z + uuv.z);
}
