#include "engine/core/math/kmMat3.h"

#include <gtest/gtest.h>

#include "engine/core/math/kmVec2.h"
#include "tests/engine/core/math/MathTestSupport.h"

namespace {

TEST(kmMat3Test, AlgebraAgreesWithTheReference) {
    const glm::mat3 g(2, 1, 0.5f, -1, 3, 2, 0.25f, -2, 1.5f), h(1, -1, 2, 0.5f, 4, 1, 3, 0, -2);
    const kmMat3 m = {{2, 1, 0.5f, -1, 3, 2, 0.25f, -2, 1.5f}}, n = {{1, -1, 2, 0.5f, 4, 1, 3, 0, -2}};
    const float determinant = kmMat3Determinant(&m);
    EXPECT_FLOAT_EQ(determinant, glm::determinant(g));
    kmMat3 out = m;
    EXPECT_TRUE(near(g * h, *kmMat3Multiply(&out, &out, &n), 1e-5f));
    EXPECT_TRUE(near(glm::transpose(g), *kmMat3Transpose(&out, &m), 0));
    EXPECT_TRUE(near(determinant * glm::inverse(g), *kmMat3Adjugate(&out, &m), 1e-5f));
    out = m;
    EXPECT_TRUE(near(glm::inverse(g), *kmMat3Invert(&out, &out, determinant), 1e-6f));

    kmMat3 untouched = m;
    EXPECT_EQ(kmMat3Invert(&untouched, &n, 0), nullptr);
    EXPECT_TRUE(near(g, untouched, 0));
}

TEST(kmMat3Test, RotationsAndTwoDimensionalTransforms) {
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

    // X rotations and the axis form are the reference's; Z turns the other way.
    const glm::vec3 axis = glm::normalize(glm::vec3(0.3f, 0.5f, -0.8f));
    const kmVec3 kmAxis = toKm(axis);
    const auto rotate = [](float angle, glm::vec3 around) {
        return glm::mat3(glm::rotate(glm::mat4(1), angle, around));
    };
    kmMat3 m;
    EXPECT_TRUE(near(rotate(0.4f, {1, 0, 0}), *kmMat3MakeRotationX(&m, 0.4f), 1e-6f));
    EXPECT_TRUE(near(rotate(-0.4f, {0, 0, 1}), *kmMat3MakeRotationZ(&m, 0.4f), 1e-6f));
    EXPECT_TRUE(near(rotate(0.9f, axis), *kmMat3MakeRotationAxis(&m, &kmAxis, 0.9f), 1e-6f));

    // The quaternion form is the inverse rotation, and converts back to the axis and angle.
    const kmQuaternion q = toKm(glm::angleAxis(0.9f, axis));
    EXPECT_TRUE(near(rotate(-0.9f, axis), *kmMat3MakeFromQuaternion(&m, &q), 1e-6f));
    EXPECT_EQ(kmMat3MakeFromQuaternion(&m, nullptr), nullptr);
    kmVec3 foundAxis;
    float angle;
    kmMat3ToAxisAngle(&foundAxis, &angle, kmMat3MakeRotationAxis(&m, &kmAxis, 0.9f));
    EXPECT_NEAR(angle, 0.9f, 1e-5);
    EXPECT_TRUE(near(axis, foundAxis, 1e-5f));
}

}  // namespace
