#include "engine/core/math/kmQuaternion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "engine/core/math/kmMat4.h"
#include "engine/core/math/kmVec3.h"
#include "tests/engine/core/math/MathTestSupport.h"

namespace {

kmQuaternion rotation(float x, float y, float z, float radians) {
    kmVec3 axis = {x, y, z};
    kmVec3Normalize(&axis, &axis);
    kmQuaternion q;
    return *kmQuaternionMakeRotationAxis(&q, &axis, radians);
}

::testing::AssertionResult quaternionsNear(const kmQuaternion& expected, const kmQuaternion& actual, float tolerance) {
    if (std::fabs(expected.x - actual.x) <= tolerance && std::fabs(expected.y - actual.y) <= tolerance &&
        std::fabs(expected.z - actual.z) <= tolerance && std::fabs(expected.w - actual.w) <= tolerance) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "expected (" << expected.x << ", " << expected.y << ", " << expected.z
                                         << ", " << expected.w << "), got (" << actual.x << ", " << actual.y << ", "
                                         << actual.z << ", " << actual.w << ")";
}

}  // namespace

TEST(kmQuaternionTest, SlerpEndsAndMiddle) {
    const kmQuaternion q1 = rotation(0, 0, 1, 0.5f), q2 = rotation(1, 1, 0, 1.0f);
    kmQuaternion out;
    EXPECT_TRUE(quaternionsNear(q1, *kmQuaternionSlerp(&out, &q1, &q2, 0), 1e-6f));
    EXPECT_TRUE(quaternionsNear(q2, *kmQuaternionSlerp(&out, &q1, &q2, 1), 1e-6f));

    const kmQuaternion a = rotation(0, 0, 1, 0.2f), b = rotation(0, 0, 1, 1.0f);
    EXPECT_TRUE(quaternionsNear(rotation(0, 0, 1, 0.6f), *kmQuaternionSlerp(&out, &a, &b, 0.5f), 1e-6f));

    // Equal inputs would divide by zero; they give the first one unchanged.
    kmQuaternionSlerp(&out, &q1, &q1, 0.3f);
    EXPECT_EQ(std::memcmp(&out, &q1, sizeof out), 0);
    kmQuaternion inPlace = q1;
    kmQuaternionSlerp(&inPlace, &inPlace, &q2, 1);
    EXPECT_TRUE(quaternionsNear(q2, inPlace, 1e-6f));
}

TEST(kmQuaternionTest, MakeBetweenDirections) {
    const kmVec3 x = {1, 0, 0}, minusX = {-1, 0, 0}, z = {0, 0, 1}, minusZ = {0, 0, -1};
    kmQuaternion q;
    kmQuaternionMakeBetween(&q, &x, &minusX, nullptr);
    EXPECT_EQ(q.x, 0);
    EXPECT_EQ(q.y, 0);
    EXPECT_FLOAT_EQ(q.z, -1);
    EXPECT_NEAR(q.w, 3.1391647e-7f, 1e-12);

    const kmVec3 shortFallback = {0.1f, 0, 0}, fallback = {0, 2, 0};
    kmQuaternionMakeBetween(&q, &x, &minusX, &shortFallback);  // squared length 0.01 < 1/64: not used
    EXPECT_FLOAT_EQ(q.z, -1);
    kmQuaternionMakeBetween(&q, &x, &minusX, &fallback);  // taken as given, not normalised
    EXPECT_FLOAT_EQ(q.y, 2);
    EXPECT_EQ(q.z, 0);
    kmQuaternionMakeBetween(&q, &z, &minusZ, nullptr);  // +x x +z is usable here
    EXPECT_FLOAT_EQ(q.y, -1);

    EXPECT_TRUE(kmQuaternionIsIdentity(kmQuaternionMakeBetween(&q, &x, &x, nullptr)));

    const kmVec3 from = {1, 2, 3}, to = {-2, 0.5f, 1};
    kmQuaternionMakeBetween(&q, &from, &to, nullptr);
    EXPECT_NEAR(kmQuaternionLength(&q), 1, 1e-6);
    kmVec3 unitFrom, unitTo, turned;
    kmVec3Normalize(&unitFrom, &from);
    kmVec3Normalize(&unitTo, &to);
    EXPECT_TRUE(vectorsNear(unitTo, *kmQuaternionRotateVec3(&turned, &q, &unitFrom), 1e-5f));
}

TEST(kmQuaternionTest, AxisAngleConversions) {
    kmQuaternion identity;
    kmQuaternionMakeIdentity(&identity);
    kmVec3 axis = {9, 9, 9};
    float angle = 9;
    kmQuaternionToAxisAngle(&identity, &axis, &angle);
    EXPECT_EQ(angle, 0);
    EXPECT_TRUE(kmVec3Equal(&axis, addressOf(kmVec3{0, 0, 1})));

    const kmQuaternion q = rotation(2, -1, 2, 2.5f);
    kmQuaternionToAxisAngle(&q, &axis, &angle);
    EXPECT_NEAR(angle, 2.5f, 1e-5);
    EXPECT_TRUE(kmVec3Equal(&axis, addressOf(kmVec3{2.0f / 3, -1.0f / 3, 2.0f / 3})));

    // The first angle turns about y, the second about x, the third about z.
    kmQuaternion fromAngles;
    EXPECT_TRUE(quaternionsNear(rotation(0, 1, 0, 1.5707963f), *kmQuaternionMakeFromAngles(&fromAngles, 90, 0, 0), 1e-5f));
    EXPECT_TRUE(quaternionsNear(rotation(1, 0, 0, 1.5707963f), *kmQuaternionMakeFromAngles(&fromAngles, 0, 90, 0), 1e-5f));
    EXPECT_TRUE(quaternionsNear(rotation(0, 0, 1, 1.5707963f), *kmQuaternionMakeFromAngles(&fromAngles, 0, 0, 90), 1e-5f));

    EXPECT_EQ(kmQuaternionMakeFromMat3(&fromAngles, nullptr), nullptr);
}

TEST(kmQuaternionTest, ProductsMatchMatrices) {
    const kmQuaternion q1 = rotation(1, 2, 3, 0.8f), q2 = rotation(-1, 0, 2, 1.9f);
    kmQuaternion product;
    kmQuaternionMultiply(&product, &q1, &q2);
    kmMat4 m1, m2, expected, actual;
    kmMat4MakeFromQuaternion(&m1, &q1);
    kmMat4MakeFromQuaternion(&m2, &q2);
    kmMat4Multiply(&expected, &m1, &m2);
    EXPECT_TRUE(matricesNear(expected, *kmMat4MakeFromQuaternion(&actual, &product), 1e-6f));
    kmQuaternion inPlace = q1;
    kmQuaternionMultiply(&inPlace, &inPlace, &q2);
    EXPECT_TRUE(quaternionsNear(product, inPlace, 0));

    const kmVec3 v = {0.5f, -3, 2};
    kmVec3 rotated, transformed;
    kmQuaternionRotateVec3(&rotated, &q1, &v);
    EXPECT_TRUE(vectorsNear(rotated, *kmVec3Transform(&transformed, &v, &m1), 1e-5f));

    kmQuaternion inverse, identity;
    kmQuaternionInvert(&inverse, &q1);
    kmQuaternionMultiply(&product, &q1, &inverse);
    EXPECT_TRUE(quaternionsNear(*kmQuaternionMakeIdentity(&identity), product, 1e-6f));
    const kmQuaternion tiny = {0.001f, 0, 0, 0.01f};
    kmQuaternionInvert(&inverse, &tiny);
    EXPECT_TRUE(quaternionsNear(kmQuaternion{0, 0, 0, 0}, inverse, 0));
}
