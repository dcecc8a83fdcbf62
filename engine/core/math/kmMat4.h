#pragma once

struct kmMat3;
struct kmPlane;
struct kmQuaternion;
struct kmVec3;

// A 4x4 matrix, column-major as OpenGL takes it: row r, column c is mat[r + 4c]; the translation
// is mat[12..14]. Vectors are columns multiplied on the right, so in A x B, B acts first.
// Every function taking an output and inputs allows the output to be one of the inputs.
struct kmMat4 {
    float mat[16];
};

// Sixteen floats in storage order.
kmMat4* kmMat4Fill(kmMat4* pOut, const float* pMat);
kmMat4* kmMat4MakeIdentity(kmMat4* pOut);
kmMat4* kmMat4Copy(kmMat4* pOut, const kmMat4* pIn);
// Row and column 0..3; anything else throws NamedException "NSRangeException".
float kmMat4Get(const kmMat4* pIn, int row, int col);
void kmMat4Set(kmMat4* pIn, int row, int col, float value);
void kmMat4Swap(kmMat4* pIn, int r1, int c1, int r2, int c2);
// Bitwise equality with the identity (so -0.0 is not 0.0).
bool kmMat4IsIdentity(const kmMat4* pIn);
// All sixteen elements within kmEpsilon.
bool kmMat4Equal(const kmMat4* pM1, const kmMat4* pM2);
kmMat4* kmMat4Transpose(kmMat4* pOut, const kmMat4* pIn);
// pM1 x pM2: pM2 acts first on a vector.
kmMat4* kmMat4Multiply(kmMat4* pOut, const kmMat4* pM1, const kmMat4* pM2);
// pM1 x the 2D affine matrix with columns (a, b, 0, 0), (c, d, 0, 0), (0, 0, 1, 0), (tx, ty, tz, 1),
// at half the cost of kmMat4Multiply: the products by that matrix's zeros and ones are left out.
// For finite pM1 the result equals kmMat4Multiply's, sums in the same order, up to the sign of a
// zero element.
// Inline: the drawing walk calls it once per node.
inline kmMat4* kmMat4MultiplyAffine(kmMat4* pOut, const kmMat4* pM1, float a, float b, float c, float d, float tx,
                                    float ty, float tz) {
    // Column by column into locals, all read before any is written (pOut may be pM1); the
    // columns stay in vector registers rather than going through a matrix on the stack.
    const float* m = pM1->mat;
    float x[4], y[4], z[4], w[4];
    for (int row = 0; row < 4; ++row) {
        x[row] = m[row] * a + m[row + 4] * b;
        y[row] = m[row] * c + m[row + 4] * d;
        z[row] = m[row + 8];
        w[row] = m[row] * tx + m[row + 4] * ty + m[row + 8] * tz + m[row + 12];
    }
    for (int row = 0; row < 4; ++row) {
        pOut->mat[row] = x[row];
        pOut->mat[row + 4] = y[row];
        pOut->mat[row + 8] = z[row];
        pOut->mat[row + 12] = w[row];
    }
    return pOut;
}
// Gauss-Jordan elimination with full pivoting; null, pOut untouched, for a singular matrix (a pivot
// of exactly 0) or one whose remaining elements are all NaN.
kmMat4* kmMat4Invert(kmMat4* pOut, const kmMat4* pM);

kmMat4* kmMat4MakeTranslation(kmMat4* pOut, float x, float y, float z);
// Diagonal x, y, z, 1.
kmMat4* kmMat4MakeScaling(kmMat4* pOut, float x, float y, float z);
// Right-handed rotation by the angle about the axis, which is normalised first (a zero axis gives
// non-finite elements).
kmMat4* kmMat4MakeRotationAxis(kmMat4* pOut, const kmVec3* axis, float radians);
kmMat4* kmMat4MakeRotationX(kmMat4* pOut, float radians);
kmMat4* kmMat4MakeRotationY(kmMat4* pOut, float radians);
kmMat4* kmMat4MakeRotationZ(kmMat4* pOut, float radians);
// Rotation from three angles in radians (about x, y, z), computed in double precision.
kmMat4* kmMat4MakeFromAngles(kmMat4* pOut, float a1, float a2, float a3);
// Rotation of a unit quaternion.
kmMat4* kmMat4MakeFromQuaternion(kmMat4* pOut, const kmQuaternion* pQ);
// The 3x3 rotation in the upper-left block, the translation in mat[12..14], mat[15] = 1.
kmMat4* kmMat4MakeRotationTranslation(kmMat4* pOut, const kmMat3* rotation, const kmVec3* translation);
// Right-handed projection looking down -z; fovY in degrees. Null, pOut untouched, when
// zFar == zNear, aspect == 0 or the sine of half the field of view is 0.
kmMat4* kmMat4MakePerspective(kmMat4* pOut, float fovY, float aspect, float zNear, float zFar);
kmMat4* kmMat4MakeOrtho(kmMat4* pOut, float left, float right, float bottom, float top, float nearVal,
                        float farVal);
// View matrix putting the eye at the origin and the direction to the center on -z.
kmMat4* kmMat4MakeLookAt(kmMat4* pOut, const kmVec3* pEye, const kmVec3* pCenter, const kmVec3* pUp);

// Normalised columns 1, 0 and 2.
kmVec3* kmMat4UpAxis(kmVec3* pOut, const kmMat4* pIn);
kmVec3* kmMat4RightAxis(kmVec3* pOut, const kmMat4* pIn);
kmVec3* kmMat4ForwardAxis(kmVec3* pOut, const kmMat4* pIn);
kmMat3* kmMat4ExtractMat3(kmMat3* pOut, const kmMat4* pIn);
// The rotation of the upper-left block as a unit axis and an angle in radians.
void kmMat4ToAxisAngle(kmVec3* pAxis, float* radians, const kmMat4* pIn);
// One clip plane of a projection (or view-projection) matrix, normalised: index 0 left, 1 right,
// 2 bottom, 3 top, 4 near, 5 far. Any other index throws NamedException "NSRangeException".
kmPlane* kmMat4ExtractPlane(kmPlane* pOut, const kmMat4* pIn, int index);
