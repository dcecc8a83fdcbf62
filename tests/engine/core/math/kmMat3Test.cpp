#include "engine/core/math/kmMat3.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/core/math/kmMat4.h"
#include "engine/core/math/kmQuaternion.h"
#include "engine/core/math/kmVec2.h"
#include "engine/core/math/kmVec3.h"

namespace {

const kmMat3 sample = {{2, 1, 0.5f, -1, 3, 2, 0.25f, -2, 1.5f}};

}  // namespace

TEST(kmMat3Test, InverseFromDeterminant) {
    const float determinant = kmMat3Determinant(&sample);
    kmMat3 inverse, product, identity;
    ASSERT_EQ(kmMat3Invert(&inverse, &sample, determinant), &inverse);
    kmMat3Multiply(&product, &sample, &inverse);
    EXPECT_TRUE(kmMat3Equal(&product, kmMat3MakeIdentity(&identity)));

    // adjugate(m) x m = det(m) x identity.
    kmMat3 adjugate, scaledIdentity;
    kmMat3Multiply(&product, kmMat3Adjugate(&adjugate, &sample), &sample);
    kmMat3ScaleBy(&scaledIdentity, &identity, determinant);
    for (int i = 0; i < 9; ++i) {
        EXPECT_NEAR(product.mat[i], scaledIdentity.mat[i], 1e-5) << i;
    }

    kmMat3 untouched = sample;
    EXPECT_EQ(kmMat3Invert(&untouched, &sample, 0), nullptr);
    EXPECT_TRUE(kmMat3Equal(&untouched, &sample));
    kmMat3 inPlace = sample;
    kmMat3Invert(&inPlace, &inPlace, determinant);
    EXPECT_TRUE(kmMat3Equal(&inPlace, &inverse));
}

TEST(kmMat3Test, MultiplyTransposeAndEquality) {
    kmMat3 a = sample, b, separate;
    kmMat3Transpose(&b, &sample);
    kmMat3Multiply(&separate, &a, &b);
    kmMat3Multiply(&a, &a, &b);
    EXPECT_TRUE(kmMat3Equal(&a, &separate));
    EXPECT_EQ(separate.mat[0], 2 * 2 + -1 * -1 + 0.25f * 0.25f);  // m x transpose(m): row 0 . row 0

    kmMat3 nan = sample;
    nan.mat[4] = NAN;
    EXPECT_TRUE(kmMat3Equal(&nan, &nan));  // the same record is equal without looking
    const kmMat3 nanCopy = nan;
    EXPECT_FALSE(kmMat3Equal(&nan, &nanCopy));

    kmMat3 identity;
    kmMat3MakeIdentity(&identity);
    EXPECT_TRUE(kmMat3IsIdentity(&identity));
    identity.mat[3] = -0.0f;
    EXPECT_FALSE(kmMat3IsIdentity(&identity));
}

TEST(kmMat3Test, TwoDimensionalTransforms) {
    // Scale, then rotate a quarter turn, then translate: (1, 0) -> (2, 0) -> (0, 2) -> (5, 8).
    kmMat3 scaling, rotation, translation, combined;
    kmMat3MakeScaling(&scaling, 2, 3);
    kmMat3MakeRotation(&rotation, 1.5707963f);
    kmMat3MakeTranslation(&translation, 5, 6);
    kmMat3Multiply(&combined, &rotation, &scaling);
    kmMat3Multiply(&combined, &translation, &combined);
    kmVec2 p = {1, 0};
    kmVec2Transform(&p, &p, &combined);
    EXPECT_NEAR(p.x, 5, 1e-5);
    EXPECT_NEAR(p.y, 8, 1e-5);

    // kmMat3MakeRotationZ turns the other way to the 2D rotation; X and Y match the 4x4 ones.
    kmMat3 z;
    kmMat3MakeRotationZ(&z, 0.4f);
    kmMat3MakeRotation(&rotation, -0.4f);
    EXPECT_TRUE(kmMat3Equal(&z, &rotation));
    kmMat4 four;
    kmMat3 fromFour, x, y;
    kmMat4ExtractMat3(&fromFour, kmMat4MakeRotationX(&four, 0.4f));
    EXPECT_TRUE(kmMat3Equal(kmMat3MakeRotationX(&x, 0.4f), &fromFour));
    kmMat4ExtractMat3(&fromFour, kmMat4MakeRotationY(&four, 0.4f));
    EXPECT_TRUE(kmMat3Equal(kmMat3MakeRotationY(&y, 0.4f), &fromFour));
}

TEST(kmMat3Test, QuaternionConversions) {
    kmVec3 axis = {0.3f, 0.5f, -0.8f};
    kmVec3Normalize(&axis, &axis);
    kmQuaternion q;
    kmQuaternionMakeRotationAxis(&q, &axis, 0.9f);
    kmMat3 fromQuaternion, fromAxis, transposed;
    ASSERT_EQ(kmMat3MakeFromQuaternion(&fromQuaternion, &q), &fromQuaternion);
    kmMat3MakeRotationAxis(&fromAxis, &axis, 0.9f);
    // The quaternion form is the transpose of the axis form (the inverse rotation).
    EXPECT_TRUE(kmMat3Equal(kmMat3Transpose(&transposed, &fromQuaternion), &fromAxis));
    EXPECT_EQ(kmMat3MakeFromQuaternion(&fromQuaternion, nullptr), nullptr);

    kmVec3 foundAxis;
    float angle;
    kmMat3ToAxisAngle(&foundAxis, &angle, &fromAxis);
    EXPECT_NEAR(angle, 0.9f, 1e-5);
    EXPECT_TRUE(kmVec3Equal(&foundAxis, &axis));
}
