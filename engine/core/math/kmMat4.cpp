#include "engine/core/math/kmMat4.h"

#include <cmath>
#include <cstring>
#include <utility>

#include "engine/core/math/kmMat3.h"
#include "engine/core/math/kmPlane.h"
#include "engine/core/math/kmQuaternion.h"
#include "engine/core/math/kmUtility.h"
#include "engine/core/math/kmVec3.h"
#include "platform/foundation/NamedException.h"
#include "platform/foundation/StringUtils.h"

namespace {

constexpr kmMat4 identity = {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};

kmMat4* fill(kmMat4* pOut, const kmMat4& value) {
    *pOut = value;
    return pOut;
}

// Storage index of row, column; refuses indexes outside the matrix.
int elementIndex(int row, int col, const char* function) {
    if (row < 0 || row > 3 || col < 0 || col > 3) {
        throw NamedException("NSRangeException",
                             stringWithFormat("%s: row %d, column %d is outside 0..3", function, row, col));
    }
    return row + 4 * col;
}

// A pure rotation from its 3x3 block.
kmMat4* fromRotation(kmMat4* pOut, const kmMat3& rotation) {
    const kmVec3 zero = {0, 0, 0};
    return kmMat4MakeRotationTranslation(pOut, &rotation, &zero);
}

kmVec3* normalizedColumn(kmVec3* pOut, const kmMat4* pIn, int column) {
    const float* m = pIn->mat + 4 * column;
    const kmVec3 axis = {m[0], m[1], m[2]};
    return kmVec3Normalize(pOut, &axis);
}

}  // namespace

kmMat4* kmMat4Fill(kmMat4* pOut, const float* pMat) {
    std::memmove(pOut->mat, pMat, sizeof pOut->mat);
    return pOut;
}

kmMat4* kmMat4MakeIdentity(kmMat4* pOut) {
    return fill(pOut, identity);
}

kmMat4* kmMat4Copy(kmMat4* pOut, const kmMat4* pIn) {
    return fill(pOut, *pIn);
}

float kmMat4Get(const kmMat4* pIn, int row, int col) {
    return pIn->mat[elementIndex(row, col, "kmMat4Get")];
}

void kmMat4Set(kmMat4* pIn, int row, int col, float value) {
    pIn->mat[elementIndex(row, col, "kmMat4Set")] = value;
}

void kmMat4Swap(kmMat4* pIn, int r1, int c1, int r2, int c2) {
    std::swap(pIn->mat[elementIndex(r1, c1, "kmMat4Swap")], pIn->mat[elementIndex(r2, c2, "kmMat4Swap")]);
}

bool kmMat4IsIdentity(const kmMat4* pIn) {
    return std::memcmp(pIn->mat, identity.mat, sizeof identity.mat) == 0;
}

bool kmMat4Equal(const kmMat4* pM1, const kmMat4* pM2) {
    for (int i = 0; i < 16; ++i) {
        if (!kmAlmostEqual(pM1->mat[i], pM2->mat[i])) {
            return false;
        }
    }
    return true;
}

kmMat4* kmMat4Transpose(kmMat4* pOut, const kmMat4* pIn) {
    kmMat4 transposed;
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            transposed.mat[col + 4 * row] = pIn->mat[row + 4 * col];
        }
    }
    return fill(pOut, transposed);
}

kmMat4* kmMat4Multiply(kmMat4* pOut, const kmMat4* pM1, const kmMat4* pM2) {
    const float* a = pM1->mat;
    const float* b = pM2->mat;
    kmMat4 product;
    // Column j of the product is a's columns weighted by column j of b; the inner loop over rows
    // is four independent lanes, which the compiler turns into vector operations.
    for (int j = 0; j < 4; ++j) {
        const float* bj = b + 4 * j;
        for (int row = 0; row < 4; ++row) {
            product.mat[row + 4 * j] = a[row] * bj[0] + a[row + 4] * bj[1] + a[row + 8] * bj[2] + a[row + 12] * bj[3];
        }
    }
    return fill(pOut, product);
}

kmMat4* kmMat4Invert(kmMat4* pOut, const kmMat4* pM) {
    // a[row][col] is worked on a copy; the reduced copy, with its column interchanges undone, is
    // the inverse.
    float a[4][4];
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            a[row][col] = pM->mat[row + 4 * col];
        }
    }
    // Each pivot is swapped into the row of its column, so pivoted[i] marks row i and column i
    // as used alike.
    bool pivoted[4] = {false, false, false, false};
    int pivotRows[4], pivotCols[4];
    for (int step = 0; step < 4; ++step) {
        int pivotRow = -1, pivotCol = -1;
        float largest = 0.0f;
        for (int row = 0; row < 4; ++row) {
            if (pivoted[row]) {
                continue;
            }
            for (int col = 0; col < 4; ++col) {
                if (!pivoted[col] && std::fabs(a[row][col]) >= largest) {
                    largest = std::fabs(a[row][col]);
                    pivotRow = row;
                    pivotCol = col;
                }
            }
        }
        // No candidate at all happens only when every remaining element is NaN.
        if (pivotCol < 0) {
            return nullptr;
        }
        pivoted[pivotCol] = true;
        if (pivotRow != pivotCol) {
            std::swap(a[pivotRow], a[pivotCol]);
        }
        pivotRows[step] = pivotRow;
        pivotCols[step] = pivotCol;
        const float pivot = a[pivotCol][pivotCol];
        if (pivot == 0.0f) {
            return nullptr;
        }
        // The pivot column of the copy takes the inverse's column in place: 1 in the pivot row
        // and 0 elsewhere before the row operations. Written as whole-row operations (rather
        // than storing the 1 or 0 first) so that rows stay in vector registers.
        const float inversePivot = 1.0f / pivot;
        for (int col = 0; col < 4; ++col) {
            a[pivotCol][col] = (col == pivotCol ? 1.0f : a[pivotCol][col]) * inversePivot;
        }
        for (int row = 0; row < 4; ++row) {
            if (row == pivotCol) {
                continue;
            }
            const float factor = a[row][pivotCol];
            for (int col = 0; col < 4; ++col) {
                a[row][col] = (col == pivotCol ? 0.0f : a[row][col]) - a[pivotCol][col] * factor;
            }
        }
    }
    for (int step = 3; step >= 0; --step) {
        if (pivotRows[step] != pivotCols[step]) {
            for (auto& row : a) {
                std::swap(row[pivotRows[step]], row[pivotCols[step]]);
            }
        }
    }
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            pOut->mat[row + 4 * col] = a[row][col];
        }
    }
    return pOut;
}

kmMat4* kmMat4MakeTranslation(kmMat4* pOut, float x, float y, float z) {
    return fill(pOut, {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1}});
}

kmMat4* kmMat4MakeScaling(kmMat4* pOut, float x, float y, float z) {
    return fill(pOut, {{x, 0, 0, 0, 0, y, 0, 0, 0, 0, z, 0, 0, 0, 0, 1}});
}

kmMat4* kmMat4MakeRotationAxis(kmMat4* pOut, const kmVec3* axis, float radians) {
    kmVec3 unitAxis;
    kmVec3Normalize(&unitAxis, axis);
    kmMat3 rotation;
    return fromRotation(pOut, *kmMat3MakeRotationAxis(&rotation, &unitAxis, radians));
}

kmMat4* kmMat4MakeRotationX(kmMat4* pOut, float radians) {
    kmMat3 rotation;
    return fromRotation(pOut, *kmMat3MakeRotationX(&rotation, radians));
}

kmMat4* kmMat4MakeRotationY(kmMat4* pOut, float radians) {
    kmMat3 rotation;
    return fromRotation(pOut, *kmMat3MakeRotationY(&rotation, radians));
}

kmMat4* kmMat4MakeRotationZ(kmMat4* pOut, float radians) {
    // The 2D rotation turns the same way as this one; kmMat3MakeRotationZ turns the other way.
    kmMat3 rotation;
    return fromRotation(pOut, *kmMat3MakeRotation(&rotation, radians));
}

kmMat4* kmMat4MakeFromAngles(kmMat4* pOut, float a1, float a2, float a3) {
    const double c1 = std::cos(double(a1)), s1 = std::sin(double(a1));
    const double c2 = std::cos(double(a2)), s2 = std::sin(double(a2));
    const double c3 = std::cos(double(a3)), s3 = std::sin(double(a3));
    const kmMat3 rotation = {{float(c2 * c3), float(s1 * s2 * c3 - c1 * s3), float(s1 * s3 + c1 * s2 * c3),
                              float(c2 * s3), float(c1 * c3 + s1 * s2 * s3), float(c1 * s2 * s3 - s1 * c3),
                              float(-s2), float(s1 * c2), float(c1 * c2)}};
    return fromRotation(pOut, rotation);
}

kmMat4* kmMat4MakeFromQuaternion(kmMat4* pOut, const kmQuaternion* pQ) {
    const float x = pQ->x, y = pQ->y, z = pQ->z, w = pQ->w;
    const kmMat3 rotation = {{1 - 2 * (y * y + z * z), 2 * (x * y + z * w), 2 * (x * z - y * w),
                              2 * (x * y - z * w), 1 - 2 * (x * x + z * z), 2 * (y * z + x * w),
                              2 * (x * z + y * w), 2 * (y * z - x * w), 1 - 2 * (x * x + y * y)}};
    return fromRotation(pOut, rotation);
}

kmMat4* kmMat4MakeRotationTranslation(kmMat4* pOut, const kmMat3* rotation, const kmVec3* translation) {
    const float* r = rotation->mat;
    return fill(pOut, {{r[0], r[1], r[2], 0, r[3], r[4], r[5], 0, r[6], r[7], r[8], 0, translation->x,
                        translation->y, translation->z, 1}});
}

kmMat4* kmMat4MakePerspective(kmMat4* pOut, float fovY, float aspect, float zNear, float zFar) {
    const float r = kmDegreesToRadians(fovY / 2);
    const float deltaZ = zFar - zNear;
    const float s = std::sin(r);
    if (deltaZ == 0 || s == 0 || aspect == 0) {
        return nullptr;
    }
    const float cot = std::cos(r) / s;
    return fill(pOut, {{cot / aspect, 0, 0, 0, 0, cot, 0, 0, 0, 0, -(zFar + zNear) / deltaZ, -1, 0, 0,
                        -2 * zNear * zFar / deltaZ, 0}});
}

kmMat4* kmMat4MakeOrtho(kmMat4* pOut, float left, float right, float bottom, float top, float nearVal,
                        float farVal) {
    const float width = right - left, height = top - bottom, depth = farVal - nearVal;
    return fill(pOut, {{2 / width, 0, 0, 0, 0, 2 / height, 0, 0, 0, 0, -2 / depth, 0, -(right + left) / width,
                        -(top + bottom) / height, -(farVal + nearVal) / depth, 1}});
}

kmMat4* kmMat4MakeLookAt(kmMat4* pOut, const kmVec3* pEye, const kmVec3* pCenter, const kmVec3* pUp) {
    kmVec3 f, up, s, u;
    kmVec3Normalize(&f, kmVec3Subtract(&f, pCenter, pEye));
    kmVec3Normalize(&up, pUp);
    kmVec3Normalize(&s, kmVec3Cross(&s, &f, &up));
    kmVec3Cross(&u, &s, &f);
    // The rotation with rows s, u, -f times the translation by -eye: the translation column is
    // -eye expressed in those rows.
    const float tx = -kmVec3Dot(&s, pEye), ty = -kmVec3Dot(&u, pEye), tz = kmVec3Dot(&f, pEye);
    *pOut = {{s.x, u.x, -f.x, 0, s.y, u.y, -f.y, 0, s.z, u.z, -f.z, 0, tx, ty, tz, 1}};
    return pOut;
}

kmVec3* kmMat4UpAxis(kmVec3* pOut, const kmMat4* pIn) {
    return normalizedColumn(pOut, pIn, 1);
}

kmVec3* kmMat4RightAxis(kmVec3* pOut, const kmMat4* pIn) {
    return normalizedColumn(pOut, pIn, 0);
}

kmVec3* kmMat4ForwardAxis(kmVec3* pOut, const kmMat4* pIn) {
    return normalizedColumn(pOut, pIn, 2);
}

kmMat3* kmMat4ExtractMat3(kmMat3* pOut, const kmMat4* pIn) {
    const float* m = pIn->mat;
    *pOut = {{m[0], m[1], m[2], m[4], m[5], m[6], m[8], m[9], m[10]}};
    return pOut;
}

void kmMat4ToAxisAngle(kmVec3* pAxis, float* radians, const kmMat4* pIn) {
    kmMat3 rotation;
    kmMat3ToAxisAngle(pAxis, radians, kmMat4ExtractMat3(&rotation, pIn));
}

kmPlane* kmMat4ExtractPlane(kmPlane* pOut, const kmMat4* pIn, int index) {
    if (index < 0 || index > 5) {
        throw NamedException("NSRangeException",
                             stringWithFormat("kmMat4ExtractPlane: plane index %d is outside 0..5", index));
    }
    // Planes come in pairs w + row and w - row for rows 0 (x), 1 (y), 2 (z).
    const float* m = pIn->mat;
    const int row = index / 2;
    const float sign = index % 2 == 0 ? 1.0f : -1.0f;
    const kmPlane plane = {m[3] + sign * m[row], m[7] + sign * m[row + 4], m[11] + sign * m[row + 8],
                           m[15] + sign * m[row + 12]};
    const float length = std::sqrt(plane.a * plane.a + plane.b * plane.b + plane.c * plane.c);
    *pOut = {plane.a / length, plane.b / length, plane.c / length, plane.d / length};
    return pOut;
}
