#pragma once

struct kmQuaternion;
struct kmVec3;

// A 3x3 matrix, column-major: row r, column c is mat[r + 3c]. Used for 2D affine transforms
// (translation in mat[6], mat[7]) and for 3D rotations.
struct kmMat3 {
    float mat[9];
};

kmMat3* kmMat3Copy(kmMat3* pOut, const kmMat3* pIn);
kmMat3* kmMat3MakeIdentity(kmMat3* pOut);
float kmMat3Determinant(const kmMat3* pIn);
kmMat3* kmMat3Adjugate(kmMat3* pOut, const kmMat3* pIn);
// Inverse from the determinant the caller computed with kmMat3Determinant; null, pOut untouched,
// when it is 0.
kmMat3* kmMat3Invert(kmMat3* pOut, const kmMat3* pM, float determinant);
// Every element times the factor.
kmMat3* kmMat3ScaleBy(kmMat3* pOut, const kmMat3* pIn, float factor);
// Bitwise equality with the identity (so -0.0 is not 0.0).
bool kmMat3IsIdentity(const kmMat3* pIn);
kmMat3* kmMat3Transpose(kmMat3* pOut, const kmMat3* pIn);
// pM1 x pM2: pM2 acts first.
kmMat3* kmMat3Multiply(kmMat3* pOut, const kmMat3* pM1, const kmMat3* pM2);
// The same record, or all nine elements within kmEpsilon.
bool kmMat3Equal(const kmMat3* pM1, const kmMat3* pM2);
// 2D rotation counter-clockwise by the angle.
kmMat3* kmMat3MakeRotation(kmMat3* pOut, float radians);
// 2D scaling: diagonal x, y, 1.
kmMat3* kmMat3MakeScaling(kmMat3* pOut, float x, float y);
// 2D translation: the identity with mat[6], mat[7] = x, y.
kmMat3* kmMat3MakeTranslation(kmMat3* pOut, float x, float y);
// The transpose of the 3x3 block of kmMat4MakeFromQuaternion; null when either pointer is null.
kmMat3* kmMat3MakeFromQuaternion(kmMat3* pOut, const kmQuaternion* pIn);
// Rotation about the axis, which must already be of unit length.
kmMat3* kmMat3MakeRotationAxis(kmMat3* pOut, const kmVec3* axis, float radians);
kmMat3* kmMat3MakeRotationX(kmMat3* pOut, float radians);
kmMat3* kmMat3MakeRotationY(kmMat3* pOut, float radians);
// Turns the opposite way to kmMat3MakeRotation and kmMat4MakeRotationZ.
kmMat3* kmMat3MakeRotationZ(kmMat3* pOut, float radians);
// The rotation of the matrix as a unit axis and an angle in radians.
void kmMat3ToAxisAngle(kmVec3* pAxis, float* radians, const kmMat3* pIn);
