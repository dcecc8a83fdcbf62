#include "engine/core/math/kmMat4.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>

#include "engine/core/math/kmMat3.h"
#include "engine/core/math/kmPlane.h"
#include "engine/core/math/kmQuaternion.h"
#include "engine/core/math/kmUtility.h"
#include "engine/core/math/kmVec3.h"
#include "platform/foundation/NamedException.h"
#include "tests/engine/core/math/MathTestSupport.h"

namespace {

kmMat4 filledWith(float value) {
    kmMat4 m;
    for (float& element : m.mat) {
        element = value;
    }
    return m;
}

kmVec3 transformed(const kmMat4& m, float x, float y, float z) {
    const kmVec3 v = {x, y, z};
    kmVec3 out;
    return *kmVec3Transform(&out, &v, &m);
}

}  // namespace

TEST(kmMat4Test, PerspectiveValuesAndRefusals) {
    kmMat4 m = filledWith(9);
    ASSERT_EQ(kmMat4MakePerspective(&m, 60, 4.0f / 3.0f, 0.1f, 1500), &m);
    const float r = 30 * 0.017453f;
    EXPECT_FLOAT_EQ(m.mat[5], std::cos(r) / std::sin(r));
    EXPECT_FLOAT_EQ(m.mat[0], m.mat[5] / (4.0f / 3.0f));
    EXPECT_FLOAT_EQ(m.mat[10], -(1500 + 0.1f) / (1500 - 0.1f));
    EXPECT_EQ(m.mat[11], -1);
    EXPECT_EQ(m.mat[15], 0);
    // The near plane maps to depth -1 and the far plane to +1 after the division by w.
    kmVec3 nearPoint = {0, 0, -0.1f}, farPoint = {0, 0, -1500};
    EXPECT_NEAR(kmVec3TransformCoord(&nearPoint, &nearPoint, &m)->z, -1, 1e-4);
    EXPECT_NEAR(kmVec3TransformCoord(&farPoint, &farPoint, &m)->z, 1, 1e-4);

    const kmMat4 untouched = filledWith(9);
    for (auto [fov, aspect, zNear, zFar] : {std::array<float, 4>{60, 1, 5, 5}, {60, 0, 0.1f, 100}, {0, 1, 0.1f, 100}}) {
        kmMat4 out = untouched;
        EXPECT_EQ(kmMat4MakePerspective(&out, fov, aspect, zNear, zFar), nullptr);
        EXPECT_EQ(std::memcmp(&out, &untouched, sizeof out), 0);
    }
}

TEST(kmMat4Test, MultiplyOrderAndAliasing) {
    kmMat4 translation, scaling, product;
    kmMat4MakeTranslation(&translation, 1, 2, 3);
    kmMat4MakeScaling(&scaling, 2, 3, 4);
    // The right operand acts first: scale, then translate.
    kmMat4Multiply(&product, &translation, &scaling);
    EXPECT_TRUE(vectorsNear({3, 5, 7}, transformed(product, 1, 1, 1), 0));

    const kmMat4 a = wellConditionedMatrix(1);
    kmMat4 separate;
    kmMat4Multiply(&separate, &a, &translation);
    kmMat4 inPlaceLeft = a;
    EXPECT_EQ(kmMat4Multiply(&inPlaceLeft, &inPlaceLeft, &translation), &inPlaceLeft);
    EXPECT_EQ(std::memcmp(&inPlaceLeft, &separate, sizeof separate), 0);

    kmMat4Multiply(&separate, &translation, &a);
    kmMat4 inPlaceRight = a;
    kmMat4Multiply(&inPlaceRight, &translation, &inPlaceRight);
    EXPECT_EQ(std::memcmp(&inPlaceRight, &separate, sizeof separate), 0);

    kmMat4 squared, inPlaceBoth = a;
    kmMat4Multiply(&squared, &a, &a);
    kmMat4Multiply(&inPlaceBoth, &inPlaceBoth, &inPlaceBoth);
    EXPECT_EQ(std::memcmp(&inPlaceBoth, &squared, sizeof squared), 0);
}

TEST(kmMat4Test, InvertSingularDiagonalAndGeneral) {
    kmMat4 out = filledWith(7);
    const kmMat4 untouched = out;
    // Row 1 is twice row 0; every step of the elimination is exact, so the last pivot is exactly 0.
    const float rankThree[16] = {1, 2, 0, 0, 2, 4, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    kmMat4 singular;
    kmMat4Fill(&singular, rankThree);
    EXPECT_EQ(kmMat4Invert(&out, &singular), nullptr);
    EXPECT_EQ(std::memcmp(&out, &untouched, sizeof out), 0);
    kmMat4 flat;
    kmMat4MakeScaling(&flat, 1, 0, 1);
    EXPECT_EQ(kmMat4Invert(&out, &flat), nullptr);
    EXPECT_EQ(std::memcmp(&out, &untouched, sizeof out), 0);
    kmMat4 allNaN = filledWith(NAN);
    EXPECT_EQ(kmMat4Invert(&out, &allNaN), nullptr);

    kmMat4 identity;
    kmMat4MakeIdentity(&identity);
    for (unsigned seed = 10; seed < 15; ++seed) {
        const kmMat4 m = wellConditionedMatrix(seed);
        kmMat4 inverse, product;
        ASSERT_NE(kmMat4Invert(&inverse, &m), nullptr);
        EXPECT_TRUE(matricesNear(identity, *kmMat4Multiply(&product, &inverse, &m), 1e-5f)) << seed;
        EXPECT_TRUE(matricesNear(identity, *kmMat4Multiply(&product, &m, &inverse), 1e-5f)) << seed;
        kmMat4 inPlace = m;
        kmMat4Invert(&inPlace, &inPlace);
        EXPECT_EQ(std::memcmp(&inPlace, &inverse, sizeof inverse), 0);
    }

    // A permutation forces row interchanges, which must be undone in the result.
    const float permutation[16] = {0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0, 1, 0, 1, 0, 0};
    kmMat4 p, inverse, product;
    kmMat4Fill(&p, permutation);
    ASSERT_NE(kmMat4Invert(&inverse, &p), nullptr);
    EXPECT_TRUE(matricesNear(identity, *kmMat4Multiply(&product, &p, &inverse), 0));
}

TEST(kmMat4Test, EqualityAndIdentityTests) {
    kmMat4 a, b;
    kmMat4MakeIdentity(&a);
    kmMat4MakeIdentity(&b);
    b.mat[7] = 0.01f;
    EXPECT_TRUE(kmMat4Equal(&a, &b));
    EXPECT_FALSE(kmMat4IsIdentity(&b));
    b.mat[7] = kmEpsilon;  // strictly less than 1/64 is required
    EXPECT_FALSE(kmMat4Equal(&a, &b));
    b.mat[7] = -0.0f;  // equal in value but not bitwise
    EXPECT_TRUE(kmMat4Equal(&a, &b));
    EXPECT_FALSE(kmMat4IsIdentity(&b));
}

TEST(kmMat4Test, ElementAccessChecksIndexes) {
    kmMat4 m;
    kmMat4MakeTranslation(&m, 5, 6, 7);
    EXPECT_EQ(kmMat4Get(&m, 1, 3), 6);
    kmMat4Set(&m, 2, 1, 9);
    EXPECT_EQ(m.mat[6], 9);
    kmMat4Swap(&m, 2, 1, 0, 3);
    EXPECT_EQ(m.mat[6], 5);
    EXPECT_EQ(m.mat[12], 9);
    EXPECT_THROW(kmMat4Get(&m, 4, 0), NamedException);
    EXPECT_THROW(kmMat4Set(&m, 0, -1, 1), NamedException);
    EXPECT_THROW(kmMat4Swap(&m, 0, 0, 0, 4), NamedException);
    kmPlane plane;
    EXPECT_THROW(kmMat4ExtractPlane(&plane, &m, 6), NamedException);

    // Transposing in place gives what transposing into another matrix gives.
    kmMat4 filled = wellConditionedMatrix(3), transposed;
    kmMat4Transpose(&transposed, &filled);
    EXPECT_EQ(kmMat4Get(&transposed, 0, 1), kmMat4Get(&filled, 1, 0));
    kmMat4Transpose(&filled, &filled);
    EXPECT_EQ(std::memcmp(&filled, &transposed, sizeof filled), 0);
}

TEST(kmMat4Test, RotationsAgreeAndTurnRightHanded) {
    const float angle = 0.7f;
    kmMat4 fromAxis, expected;
    const kmVec3 unitX = {1, 0, 0}, unitY = {0, 1, 0}, longZ = {0, 0, 3};
    kmMat4MakeRotationAxis(&fromAxis, &unitX, angle);
    EXPECT_TRUE(matricesNear(*kmMat4MakeRotationX(&expected, angle), fromAxis, 1e-6f));
    kmMat4MakeRotationAxis(&fromAxis, &unitY, angle);
    EXPECT_TRUE(matricesNear(*kmMat4MakeRotationY(&expected, angle), fromAxis, 1e-6f));
    kmMat4MakeRotationAxis(&fromAxis, &longZ, angle);  // the axis is normalised first
    EXPECT_TRUE(matricesNear(*kmMat4MakeRotationZ(&expected, angle), fromAxis, 1e-6f));

    // A quarter turn about +z takes +x to +y; about +x takes +y to +z; about +y takes +z to +x.
    kmMat4 r;
    kmVec3 p = transformed(*kmMat4MakeRotationZ(&r, 1.5707963f), 1, 0, 0);
    EXPECT_NEAR(p.y, 1, 1e-6);
    p = transformed(*kmMat4MakeRotationX(&r, 1.5707963f), 0, 1, 0);
    EXPECT_NEAR(p.z, 1, 1e-6);
    p = transformed(*kmMat4MakeRotationY(&r, 1.5707963f), 0, 0, 1);
    EXPECT_NEAR(p.x, 1, 1e-6);

    // The three-angle rotation is orthonormal: its transpose is its inverse.
    kmMat4 angles, transposed, product, identity;
    kmMat4MakeFromAngles(&angles, 0.3f, -1.1f, 2.0f);
    kmMat4Multiply(&product, kmMat4Transpose(&transposed, &angles), &angles);
    EXPECT_TRUE(matricesNear(*kmMat4MakeIdentity(&identity), product, 1e-6f));
}

TEST(kmMat4Test, LookAtOrthoAndPlanes) {
    const kmVec3 eye = {3, 4, 5}, center = {-1, 2, 0.5f}, up = {0, 1, 0};
    kmMat4 view;
    kmMat4MakeLookAt(&view, &eye, &center, &up);
    const kmVec3 centerInView = transformed(view, center.x, center.y, center.z);
    kmVec3 offset;
    const float distance = kmVec3Length(kmVec3Subtract(&offset, &center, &eye));
    EXPECT_TRUE(vectorsNear({0, 0, -distance}, centerInView, 1e-5f));
    // A point above the eye stays above it in view space.
    EXPECT_GT(transformed(view, eye.x, eye.y + 1, eye.z).y, 0);

    kmMat4 ortho;
    kmMat4MakeOrtho(&ortho, 0, 480, 0, 320, -1024, 1024);
    EXPECT_TRUE(vectorsNear({1, -1, -1}, transformed(ortho, 480, 0, 1024), 1e-6f));

    // The planes of an orthographic volume are its faces, facing inwards, normalised.
    kmPlane left, right, farPlane;
    kmMat4ExtractPlane(&left, &ortho, 0);
    kmMat4ExtractPlane(&right, &ortho, 1);
    kmMat4ExtractPlane(&farPlane, &ortho, 5);
    const kmVec3 inside = {100, 100, 0}, leftEdge = {0, 50, 0}, beyondRight = {500, 50, 0};
    EXPECT_NEAR(kmPlaneDotCoord(&left, &leftEdge), 0, 1e-4);
    EXPECT_NEAR(kmPlaneDotCoord(&left, &inside), 100, 1e-3);
    EXPECT_LT(kmPlaneDotCoord(&right, &beyondRight), 0);
    EXPECT_NEAR(std::hypot(farPlane.a, farPlane.b, farPlane.c), 1, 1e-6);
}

TEST(kmMat4Test, QuaternionAndAxisRoundTrips) {
    kmVec3 axis = {1, -2, 0.5f};
    kmVec3Normalize(&axis, &axis);
    kmQuaternion q, back;
    kmQuaternionMakeRotationAxis(&q, &axis, 1.2f);
    kmMat4 fromQuaternion, fromAxis;
    kmMat4MakeFromQuaternion(&fromQuaternion, &q);
    EXPECT_TRUE(matricesNear(*kmMat4MakeRotationAxis(&fromAxis, &axis, 1.2f), fromQuaternion, 1e-6f));

    kmMat3 block;
    kmQuaternionMakeFromMat3(&back, kmMat4ExtractMat3(&block, &fromQuaternion));
    EXPECT_NEAR(back.x, q.x, 1e-6);
    EXPECT_NEAR(back.y, q.y, 1e-6);
    EXPECT_NEAR(back.z, q.z, 1e-6);
    EXPECT_NEAR(back.w, q.w, 1e-6);

    kmVec3 foundAxis;
    float foundAngle;
    kmMat4ToAxisAngle(&foundAxis, &foundAngle, &fromAxis);
    EXPECT_NEAR(foundAngle, 1.2f, 1e-5);
    EXPECT_TRUE(kmVec3Equal(&foundAxis, &axis));

    // Half turns take the branches of the conversion that avoid a small trace.
    for (const kmVec3& halfTurnAxis : {kmVec3{1, 0, 0}, kmVec3{0, 1, 0}, kmVec3{0, 0, 1}}) {
        kmMat4 halfTurn;
        kmMat4MakeRotationAxis(&halfTurn, &halfTurnAxis, 3.1415926f);
        kmMat4ToAxisAngle(&foundAxis, &foundAngle, &halfTurn);
        EXPECT_NEAR(foundAngle, 3.1415926f, 1e-3);
        EXPECT_NEAR(std::fabs(kmVec3Dot(&foundAxis, &halfTurnAxis)), 1, 1e-5);
    }

    kmMat4 rigid;
    const kmVec3 translation = {7, 8, 9};
    kmMat4MakeRotationTranslation(&rigid, &block, &translation);
    EXPECT_EQ(rigid.mat[12], 7);
    EXPECT_EQ(rigid.mat[15], 1);
    // The axis getters return unit vectors, whatever the scale.
    kmVec3 axisOut;
    kmMat4MakeScaling(&rigid, 2, 3, 4);
    EXPECT_TRUE(kmVec3Equal(kmMat4UpAxis(&axisOut, &rigid), addressOf(kmVec3{0, 1, 0})));
    EXPECT_TRUE(kmVec3Equal(kmMat4RightAxis(&axisOut, &rigid), addressOf(kmVec3{1, 0, 0})));
    EXPECT_TRUE(kmVec3Equal(kmMat4ForwardAxis(&axisOut, &rigid), addressOf(kmVec3{0, 0, 1})));
}
