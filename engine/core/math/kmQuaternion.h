#pragma once

struct kmMat3;
struct kmVec3;

// A rotation as a quaternion; the identity is (0, 0, 0, 1). Every function taking an output and
// inputs allows the output to be one of the inputs.
struct kmQuaternion {
    float x, y, z, w;
};

kmQuaternion* kmQuaternionMakeIdentity(kmQuaternion* pOut);
// Exactly (0, 0, 0, 1).
bool kmQuaternionIsIdentity(const kmQuaternion* pIn);
kmQuaternion* kmQuaternionCopy(kmQuaternion* pOut, const kmQuaternion* pIn);
// (-x, -y, -z, w).
kmQuaternion* kmQuaternionConjugate(kmQuaternion* pOut, const kmQuaternion* pIn);
float kmQuaternionDot(const kmQuaternion* q1, const kmQuaternion* q2);
float kmQuaternionLength(const kmQuaternion* pIn);
float kmQuaternionLengthSq(const kmQuaternion* pIn);
kmQuaternion* kmQuaternionAdd(kmQuaternion* pOut, const kmQuaternion* pQ1, const kmQuaternion* pQ2);
kmQuaternion* kmQuaternionScale(kmQuaternion* pOut, const kmQuaternion* pIn, float s);
// Divides by the length; a zero quaternion gives non-finite components.
kmQuaternion* kmQuaternionNormalize(kmQuaternion* pOut, const kmQuaternion* pIn);
// q1 q2: the rotation q2 followed by q1.
kmQuaternion* kmQuaternionMultiply(kmQuaternion* pOut, const kmQuaternion* q1, const kmQuaternion* q2);
// The conjugate divided by the length (not its square); the zero quaternion when the length is
// within kmEpsilon of 0.
kmQuaternion* kmQuaternionInvert(kmQuaternion* pOut, const kmQuaternion* pIn);
// Rotation by the angle about the axis, which is taken as it is (not normalised).
kmQuaternion* kmQuaternionMakeRotationAxis(kmQuaternion* pOut, const kmVec3* axis, float radians);
// The rotation of a 3x3 rotation matrix; null when pIn is null.
kmQuaternion* kmQuaternionMakeFromMat3(kmQuaternion* pOut, const kmMat3* pIn);
// Rotation from three angles in degrees: the first about y, the second about x, the third about z.
kmQuaternion* kmQuaternionMakeFromAngles(kmQuaternion* pOut, float first, float second, float third);
// The unit axis and the angle in radians; a quaternion with (x, y, z) of length within kmEpsilon of
// 0 (or of 2 pi) gives angle 0 about (0, 0, 1).
void kmQuaternionToAxisAngle(const kmQuaternion* pIn, kmVec3* pAxis, float* pAngle);
// Spherical interpolation from q1 (t = 0) to q2 (t = 1), without choosing the shorter arc and
// without renormalising; nearly identical (but not equal) inputs give non-finite components.
kmQuaternion* kmQuaternionSlerp(kmQuaternion* pOut, const kmQuaternion* q1, const kmQuaternion* q2, float t);
// The shortest rotation turning the direction vec1 onto vec2. Opposite directions turn half way
// round the fallback axis when one of squared length at least kmEpsilon is given, otherwise round
// an axis perpendicular to vec1.
kmQuaternion* kmQuaternionMakeBetween(kmQuaternion* pOut, const kmVec3* vec1, const kmVec3* vec2,
                                      const kmVec3* fallback);
// The vector rotated by the unit quaternion.
kmVec3* kmQuaternionRotateVec3(kmVec3* pOut, const kmQuaternion* q, const kmVec3* v);
