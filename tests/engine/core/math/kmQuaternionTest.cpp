#include "engine/core/math/kmQuaternion.h"

#include <gtest/gtest.h>

#include "tests/engine/core/math/MathTestSupport.h"

namespace {

glm::quat rotation(float angle, glm::vec3 axis) { return glm::angleAxis(angle, glm::normalize(axis)); }

TEST(kmQuaternionTest, AlgebraAgreesWithTheReference) {
    const glm::quat g1 = rotation(0.8f, {1, 2, 3}), g2 = rotation(1.9f, {-1, 0, 2});
    const kmQuaternion q1 = toKm(g1), q2 = toKm(g2);
    kmQuaternion out = q1;
    EXPECT_TRUE(near(g1 * g2, *kmQuaternionMultiply(&out, &out, &q2), 1e-6f));
    EXPECT_TRUE(near(glm::inverse(g1), *kmQuaternionInvert(&out, &q1), 1e-6f));
    const kmVec3 v = {0.5f, -3, 2};
    kmVec3 turned;
    EXPECT_TRUE(near(g1 * glm::vec3(0.5f, -3, 2), *kmQuaternionRotateVec3(&turned, &q1, &v), 1e-5f));
    out = q1;
    EXPECT_TRUE(near(glm::slerp(g1, g2, 0.3f), *kmQuaternionSlerp(&out, &out, &q2, 0.3f), 1e-6f));
    // Equal inputs would divide by zero: the first comes back unchanged.
    kmQuaternionSlerp(&out, &q1, &q1, 0.3f);
    EXPECT_EQ(std::memcmp(&out, &q1, sizeof out), 0);
    // Too short to invert: the zero quaternion.
    const kmQuaternion tiny = {0.001f, 0, 0, 0.01f};
    EXPECT_TRUE(near(glm::quat(0, 0, 0, 0), *kmQuaternionInvert(&out, &tiny), 0));
}

TEST(kmQuaternionTest, ConversionsFromAndToAxesAndAngles) {
    kmQuaternion q = toKm(rotation(2.5f, {2, -1, 2}));
    kmVec3 axis;
    float angle;
    kmQuaternionToAxisAngle(&q, &axis, &angle);
    EXPECT_NEAR(angle, 2.5f, 1e-5);
    EXPECT_TRUE(near({2.0f / 3, -1.0f / 3, 2.0f / 3}, axis, 1e-6f));
    kmQuaternionMakeIdentity(&q);
    kmQuaternionToAxisAngle(&q, &axis, &angle);
    EXPECT_EQ(angle, 0);
    EXPECT_TRUE(near({0, 0, 1}, axis, 0));

    // The first angle (degrees) turns about y, the second about x, the third about z.
    EXPECT_TRUE(near(rotation(1.5707963f, {0, 1, 0}), *kmQuaternionMakeFromAngles(&q, 90, 0, 0), 1e-5f));
    EXPECT_TRUE(near(rotation(1.5707963f, {1, 0, 0}), *kmQuaternionMakeFromAngles(&q, 0, 90, 0), 1e-5f));
    EXPECT_TRUE(near(rotation(1.5707963f, {0, 0, 1}), *kmQuaternionMakeFromAngles(&q, 0, 0, 90), 1e-5f));
    EXPECT_EQ(kmQuaternionMakeFromMat3(&q, nullptr), nullptr);
}

TEST(kmQuaternionTest, MakeBetweenTurnsOneDirectionOntoTheOther) {
    const kmVec3 from = {1, 2, 3}, to = {-2, 0.5f, 1};
    kmQuaternion q;
    kmVec3 turned;
    kmQuaternionMakeBetween(&q, &from, &to, nullptr);
    const kmVec3 unitFrom = toKm(glm::normalize(glm::vec3(1, 2, 3)));
    EXPECT_TRUE(near(glm::normalize(glm::vec3(-2, 0.5f, 1)), *kmQuaternionRotateVec3(&turned, &q, &unitFrom), 1e-5f));
    EXPECT_TRUE(kmQuaternionIsIdentity(kmQuaternionMakeBetween(&q, &from, &from, nullptr)));

    // Opposite directions turn half way round the fallback axis, if it is long enough (squared
    // length at least 1/64, taken as given), else round an axis perpendicular to the first.
    const kmVec3 x = {1, 0, 0}, minusX = {-1, 0, 0}, z = {0, 0, 1}, minusZ = {0, 0, -1};
    const kmVec3 shortFallback = {0.1f, 0, 0}, fallback = {0, 2, 0};
    const struct {
        const kmVec3 *from, *to, *fallback;
        glm::quat expected;
    } opposites[] = {
        {&x, &minusX, nullptr, glm::quat(0, 0, 0, -1)},
        {&x, &minusX, &shortFallback, glm::quat(0, 0, 0, -1)},
        {&x, &minusX, &fallback, glm::quat(0, 0, 2, 0)},
        {&z, &minusZ, nullptr, glm::quat(0, 0, -1, 0)},
    };
    for (const auto& row : opposites) {
        EXPECT_TRUE(near(row.expected, *kmQuaternionMakeBetween(&q, row.from, row.to, row.fallback), 1e-6f));
    }
}

}  // namespace
