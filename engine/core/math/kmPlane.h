#pragma once

struct kmVec3;
struct kmVec4;

// The points p with a·p.x + b·p.y + c·p.z + d = 0; (a, b, c) is the normal, pointing to the front.
struct kmPlane {
    float a, b, c, d;
};

// Where a point lies from kmPlaneClassifyPoint; within 0.001 of the plane counts as on it.
enum kmPointClassification {
    kmPointInFrontOfPlane = 0,
    kmPointBehindPlane = 1,
    kmPointOnPlane = 2,
};

// a·x + b·y + c·z + d·w.
float kmPlaneDot(const kmPlane* pP, const kmVec4* pV);
// a·x + b·y + c·z + d: the signed distance when the normal has unit length.
float kmPlaneDotCoord(const kmPlane* pP, const kmVec3* pV);
// a·x + b·y + c·z.
float kmPlaneDotNormal(const kmPlane* pP, const kmVec3* pV);
kmPlane* kmPlaneFromPointNormal(kmPlane* pOut, const kmVec3* pPoint, const kmVec3* pNormal);
// The plane through three points, facing the side from which they run counter-clockwise.
kmPlane* kmPlaneFromPoints(kmPlane* pOut, const kmVec3* p1, const kmVec3* p2, const kmVec3* p3);
// Scales the plane so that its normal has unit length.
kmPlane* kmPlaneNormalize(kmPlane* pOut, const kmPlane* pP);
kmPointClassification kmPlaneClassifyPoint(const kmPlane* pIn, const kmVec3* pP);
