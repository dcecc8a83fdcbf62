#pragma once

struct kmMat4;

// A homogeneous point or a 4-component value.
struct kmVec4 {
    float x, y, z, w;
};

kmVec4* kmVec4Fill(kmVec4* pOut, float x, float y, float z, float w);
kmVec4* kmVec4Add(kmVec4* pOut, const kmVec4* pV1, const kmVec4* pV2);
// pV1 - pV2.
kmVec4* kmVec4Subtract(kmVec4* pOut, const kmVec4* pV1, const kmVec4* pV2);
float kmVec4Dot(const kmVec4* pV1, const kmVec4* pV2);
float kmVec4Length(const kmVec4* pIn);
float kmVec4LengthSq(const kmVec4* pIn);
// Divides by the length; a zero vector gives non-finite components.
kmVec4* kmVec4Normalize(kmVec4* pOut, const kmVec4* pIn);
// The direction of pIn with length s.
kmVec4* kmVec4ScaleToLength(kmVec4* pOut, const kmVec4* pIn, float s);
// M x v.
kmVec4* kmVec4Transform(kmVec4* pOut, const kmVec4* pV, const kmMat4* pM);
// Transforms count vectors; the strides count vectors (1 = packed). pOut may equal pV when the
// strides are equal.
kmVec4* kmVec4TransformArray(kmVec4* pOut, unsigned int outStride, const kmVec4* pV, unsigned int vStride,
                             const kmMat4* pM, unsigned int count);
// Each component within kmEpsilon.
bool kmVec4Equal(const kmVec4* p1, const kmVec4* p2);
kmVec4* kmVec4Copy(kmVec4* pOut, const kmVec4* pIn);
