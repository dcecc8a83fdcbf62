#pragma once

struct kmMat3;

// A 2D point or direction.
struct kmVec2 {
    float x, y;
};

kmVec2* kmVec2Fill(kmVec2* pOut, float x, float y);
float kmVec2Length(const kmVec2* pIn);
float kmVec2LengthSq(const kmVec2* pIn);
// Divides by the length; a zero vector gives non-finite components.
kmVec2* kmVec2Normalize(kmVec2* pOut, const kmVec2* pIn);
kmVec2* kmVec2Add(kmVec2* pOut, const kmVec2* pV1, const kmVec2* pV2);
// pV1 - pV2.
kmVec2* kmVec2Subtract(kmVec2* pOut, const kmVec2* pV1, const kmVec2* pV2);
float kmVec2Dot(const kmVec2* pV1, const kmVec2* pV2);
kmVec2* kmVec2Scale(kmVec2* pOut, const kmVec2* pIn, float s);
// The point (x, y, 1) transformed by the 3x3 matrix.
kmVec2* kmVec2Transform(kmVec2* pOut, const kmVec2* pV, const kmMat3* pM);
// Each component within kmEpsilon.
bool kmVec2Equal(const kmVec2* p1, const kmVec2* p2);
