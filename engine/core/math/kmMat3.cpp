#include "engine/core/math/kmMat3.h"

#include <cmath>
#include <cstring>

#include "engine/core/math/kmQuaternion.h"
#include "engine/core/math/kmUtility.h"
#include "engine/core/math/kmVec3.h"

namespace {

constexpr kmMat3 identity = {{1, 0, 0, 0, 1, 0, 0, 0, 1}};

kmMat3* fill(kmMat3* pOut, const kmMat3& value) {
    *pOut = value;
    return pOut;
}

}  // namespace

kmMat3* kmMat3Copy(kmMat3* pOut, const kmMat3* pIn) {
    return fill(pOut, *pIn);
}

kmMat3* kmMat3MakeIdentity(kmMat3* pOut) {
    return fill(pOut, identity);
}

float kmMat3Determinant(const kmMat3* pIn) {
    const float* m = pIn->mat;
    return m[0] * m[4] * m[8] + m[1] * m[5] * m[6] + m[2] * m[3] * m[7] - m[0] * m[5] * m[7] -
           m[1] * m[3] * m[8] - m[2] * m[4] * m[6];
}

kmMat3* kmMat3Adjugate(kmMat3* pOut, const kmMat3* pIn) {
    const float* m = pIn->mat;
    return fill(pOut, {{m[4] * m[8] - m[5] * m[7], m[2] * m[7] - m[1] * m[8], m[1] * m[5] - m[2] * m[4],
                        m[5] * m[6] - m[3] * m[8], m[0] * m[8] - m[2] * m[6], m[2] * m[3] - m[0] * m[5],
                        m[3] * m[7] - m[4] * m[6], m[1] * m[6] - m[0] * m[7], m[0] * m[4] - m[1] * m[3]}});
}

kmMat3* kmMat3Invert(kmMat3* pOut, const kmMat3* pM, float determinant) {
    if (determinant == 0.0f) {
        return nullptr;
    }
    kmMat3 adjugate;
    kmMat3Adjugate(&adjugate, pM);
    return kmMat3ScaleBy(pOut, &adjugate, 1.0f / determinant);
}

kmMat3* kmMat3ScaleBy(kmMat3* pOut, const kmMat3* pIn, float factor) {
    for (int i = 0; i < 9; ++i) {
        pOut->mat[i] = pIn->mat[i] * factor;
    }
    return pOut;
}

bool kmMat3IsIdentity(const kmMat3* pIn) {
    return std::memcmp(pIn->mat, identity.mat, sizeof identity.mat) == 0;
}

kmMat3* kmMat3Transpose(kmMat3* pOut, const kmMat3* pIn) {
    const float* m = pIn->mat;
    return fill(pOut, {{m[0], m[3], m[6], m[1], m[4], m[7], m[2], m[5], m[8]}});
}

kmMat3* kmMat3Multiply(kmMat3* pOut, const kmMat3* pM1, const kmMat3* pM2) {
    const float* a = pM1->mat;
    const float* b = pM2->mat;
    kmMat3 product;
    for (int column = 0; column < 3; ++column) {
        for (int row = 0; row < 3; ++row) {
            product.mat[row + 3 * column] = a[row] * b[3 * column] + a[row + 3] * b[3 * column + 1] +
                                            a[row + 6] * b[3 * column + 2];
        }
    }
    return fill(pOut, product);
}

bool kmMat3Equal(const kmMat3* pM1, const kmMat3* pM2) {
    if (pM1 == pM2) {
        return true;
    }
    for (int i = 0; i < 9; ++i) {
        if (!kmAlmostEqual(pM1->mat[i], pM2->mat[i])) {
            return false;
        }
    }
    return true;
}

kmMat3* kmMat3MakeRotation(kmMat3* pOut, float radians) {
    const float c = std::cos(radians), s = std::sin(radians);
    return fill(pOut, {{c, s, 0, -s, c, 0, 0, 0, 1}});
}

kmMat3* kmMat3MakeScaling(kmMat3* pOut, float x, float y) {
    return fill(pOut, {{x, 0, 0, 0, y, 0, 0, 0, 1}});
}

kmMat3* kmMat3MakeTranslation(kmMat3* pOut, float x, float y) {
    return fill(pOut, {{1, 0, 0, 0, 1, 0, x, y, 1}});
}

kmMat3* kmMat3MakeFromQuaternion(kmMat3* pOut, const kmQuaternion* pIn) {
    if (pOut == nullptr || pIn == nullptr) {
        return nullptr;
    }
    const float x = pIn->x, y = pIn->y, z = pIn->z, w = pIn->w;
    return fill(pOut, {{1 - 2 * (y * y + z * z), 2 * (x * y - w * z), 2 * (w * y + x * z),
                        2 * (x * y + w * z), 1 - 2 * (x * x + z * z), 2 * (y * z - w * x),
                        2 * (x * z - w * y), 2 * (y * z + w * x), 1 - 2 * (x * x + y * y)}});
}

kmMat3* kmMat3MakeRotationAxis(kmMat3* pOut, const kmVec3* axis, float radians) {
    const float c = std::cos(radians), s = std::sin(radians), t = 1 - c;
    const float x = axis->x, y = axis->y, z = axis->z;
    return fill(pOut, {{x * x * t + c, x * y * t + z * s, x * z * t - y * s,
                        x * y * t - z * s, y * y * t + c, y * z * t + x * s,
                        x * z * t + y * s, y * z * t - x * s, z * z * t + c}});
}

kmMat3* kmMat3MakeRotationX(kmMat3* pOut, float radians) {
    const float c = std::cos(radians), s = std::sin(radians);
    return fill(pOut, {{1, 0, 0, 0, c, s, 0, -s, c}});
}

kmMat3* kmMat3MakeRotationY(kmMat3* pOut, float radians) {
    const float c = std::cos(radians), s = std::sin(radians);
    return fill(pOut, {{c, 0, -s, 0, 1, 0, s, 0, c}});
}

kmMat3* kmMat3MakeRotationZ(kmMat3* pOut, float radians) {
    const float c = std::cos(radians), s = std::sin(radians);
    return fill(pOut, {{c, -s, 0, s, c, 0, 0, 0, 1}});
}

void kmMat3ToAxisAngle(kmVec3* pAxis, float* radians, const kmMat3* pIn) {
    kmQuaternion rotation;
    kmQuaternionMakeFromMat3(&rotation, pIn);
    kmQuaternionToAxisAngle(&rotation, pAxis, radians);
}
