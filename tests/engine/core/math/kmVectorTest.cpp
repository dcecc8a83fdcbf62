#include <gtest/gtest.h>

#include <cmath>

#include "engine/core/math/kmMat3.h"
#include "engine/core/math/kmMat4.h"
#include "engine/core/math/kmUtility.h"
#include "engine/core/math/kmVec2.h"
#include "engine/core/math/kmVec3.h"
#include "engine/core/math/kmVec4.h"
#include "tests/engine/core/math/MathTestSupport.h"

TEST(kmVectorTest, ScalarsAndArithmetic) {
    EXPECT_EQ(kmDegreesToRadians(180), 180 * 0.017453f);  // deliberately not pi
    EXPECT_EQ(kmRadiansToDegrees(1), 57.29578f);
    EXPECT_TRUE(kmAlmostEqual(1, 1.015f));
    EXPECT_FALSE(kmAlmostEqual(1, 1 + kmEpsilon));

    const kmVec3 x = {1, 0, 0}, y = {0, 1, 0};
    kmVec3 a = {1, 2, 3};
    kmVec3Cross(&a, &a, &y);  // output aliasing the first operand
    EXPECT_TRUE(kmVec3Equal(&a, addressOf(kmVec3{-3, 0, 1})));
    kmVec3Cross(&a, &x, &y);
    EXPECT_TRUE(kmVec3Equal(&a, addressOf(kmVec3{0, 0, 1})));  // right-handed

    kmVec2 zero = {0, 0};
    kmVec2Normalize(&zero, &zero);
    EXPECT_FALSE(std::isfinite(zero.x));  // not guarded, by contract
    kmVec4 v = {1, 2, 2, 4};
    kmVec4ScaleToLength(&v, &v, 10);
    EXPECT_FLOAT_EQ(v.w, 8);
}

TEST(kmVectorTest, TransformsByMatrices) {
    kmMat4 rotation, translation, rigid;
    kmMat4MakeRotationZ(&rotation, 1.5707963f);
    kmMat4MakeTranslation(&translation, 10, 20, 30);
    kmMat4Multiply(&rigid, &translation, &rotation);

    const kmVec3 p = {1, 2, 3};
    kmVec3 moved, back, direction;
    EXPECT_TRUE(vectorsNear({8, 21, 33}, *kmVec3Transform(&moved, &p, &rigid), 1e-5f));
    kmVec3InverseTransform(&back, &moved, &rigid);
    EXPECT_TRUE(kmVec3Equal(&back, &p));
    EXPECT_TRUE(vectorsNear({-2, 1, 3}, *kmVec3TransformNormal(&direction, &p, &rigid), 1e-5f));  // no translation
    kmVec3InverseTransformNormal(&back, &direction, &rigid);
    EXPECT_TRUE(kmVec3Equal(&back, &p));

    // TransformCoord divides by the w that the matrix produces.
    kmMat4 projective;
    kmMat4MakeIdentity(&projective);
    projective.mat[15] = 2;
    kmVec3 divided;
    kmVec3TransformCoord(&divided, &p, &projective);
    EXPECT_FLOAT_EQ(divided.z, 1.5f);

    // Strides count whole vectors: every second input into every third output slot.
    kmVec4 in[4] = {{1, 0, 0, 1}, {99, 99, 99, 99}, {0, 1, 0, 1}, {99, 99, 99, 99}};
    kmVec4 out[6] = {};
    kmVec4TransformArray(out, 3, in, 2, &translation, 2);
    EXPECT_TRUE(kmVec4Equal(&out[0], addressOf(kmVec4{11, 20, 30, 1})));
    EXPECT_TRUE(kmVec4Equal(&out[3], addressOf(kmVec4{10, 21, 30, 1})));
    EXPECT_EQ(out[1].x, 0);
    kmVec4TransformArray(in, 1, in, 1, &translation, 1);  // in place
    EXPECT_TRUE(kmVec4Equal(&in[0], &out[0]));

    kmMat3 affine;
    kmMat3MakeTranslation(&affine, 3, 4);
    kmVec2 q = {1, 1};
    kmVec2Transform(&q, &q, &affine);
    EXPECT_TRUE(kmVec2Equal(&q, addressOf(kmVec2{4, 5})));
}
