#pragma once

struct kmMat4;

// A 3D point or direction.
struct kmVec3 {
    float x, y, z;
};

kmVec3* kmVec3Fill(kmVec3* pOut, float x, float y, float z);
float kmVec3Length(const kmVec3* pIn);
float kmVec3LengthSq(const kmVec3* pIn);
// Divides by the length; a zero vector gives non-finite components.
kmVec3* kmVec3Normalize(kmVec3* pOut, const kmVec3* pIn);
// pV1 x pV2.
kmVec3* kmVec3Cross(kmVec3* pOut, const kmVec3* pV1, const kmVec3* pV2);
float kmVec3Dot(const kmVec3* pV1, const kmVec3* pV2);
kmVec3* kmVec3Add(kmVec3* pOut, const kmVec3* pV1, const kmVec3* pV2);
// pV1 - pV2.
kmVec3* kmVec3Subtract(kmVec3* pOut, const kmVec3* pV1, const kmVec3* pV2);
kmVec3* kmVec3Scale(kmVec3* pOut, const kmVec3* pIn, float s);
kmVec3* kmVec3Copy(kmVec3* pOut, const kmVec3* pIn);
kmVec3* kmVec3Zero(kmVec3* pOut);
// Each component within kmEpsilon.
bool kmVec3Equal(const kmVec3* p1, const kmVec3* p2);
// M x (x, y, z, 1), the resulting w dropped.
kmVec3* kmVec3Transform(kmVec3* pOut, const kmVec3* pV, const kmMat4* pM);
// M x (x, y, z, 1), then divided by the resulting w (a projected point).
kmVec3* kmVec3TransformCoord(kmVec3* pOut, const kmVec3* pV, const kmMat4* pM);
// M x (x, y, z, 0): a direction, unaffected by the translation.
kmVec3* kmVec3TransformNormal(kmVec3* pOut, const kmVec3* pV, const kmMat4* pM);
// Undoes a rigid transform: subtracts the translation, then applies the transposed 3x3 block.
kmVec3* kmVec3InverseTransform(kmVec3* pOut, const kmVec3* pV, const kmMat4* pM);
// The transposed 3x3 block times the direction.
kmVec3* kmVec3InverseTransformNormal(kmVec3* pOut, const kmVec3* pV, const kmMat4* pM);
