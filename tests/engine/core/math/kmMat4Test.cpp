#include "engine/core/math/kmMat4.h"

#include <gtest/gtest.h>

#include <array>
#include <glm/gtc/type_ptr.hpp>

#include "engine/core/math/kmMat3.h"
#include "engine/core/math/kmPlane.h"
#include "platform/foundation/NamedException.h"
#include "tests/engine/core/math/MathTestSupport.h"

namespace {

constexpr float kDegree = 0.017453f;  // the library's factor, deliberately not pi / 180

TEST(kmMat4Test, MakersAgreeWithTheReference) {
    const kmVec3 eye = {3, 4, 5}, center = {-1, 2, 0.5f}, up = {0, 1, 0}, axis = {1, -2, 0.5f};
    const kmQuaternion q = toKm(glm::angleAxis(1.2f, glm::normalize(glm::vec3(1, -2, 0.5f))));
    const glm::mat4 one(1);
    kmMat4 m;
    const struct {
        const char* name;
        kmMat4 actual;
        glm::mat4 expected;
    } makers[] = {
        {"translation", *kmMat4MakeTranslation(&m, 1.5f, -2, 3), glm::translate(one, {1.5f, -2, 3})},
        {"axis (normalised)", *kmMat4MakeRotationAxis(&m, &axis, 0.7f), glm::rotate(one, 0.7f, {1, -2, 0.5f})},
        {"z", *kmMat4MakeRotationZ(&m, 0.7f), glm::rotate(one, 0.7f, {0, 0, 1})},
        {"angles", *kmMat4MakeFromAngles(&m, 0.3f, -1.1f, 2.0f),
         glm::transpose(glm::rotate(one, 2.0f, {0, 0, 1}) * glm::rotate(one, -1.1f, {0, 1, 0}) *
                        glm::rotate(one, 0.3f, {1, 0, 0}))},
        {"quaternion", *kmMat4MakeFromQuaternion(&m, &q), glm::rotate(one, 1.2f, {1, -2, 0.5f})},
        {"perspective", *kmMat4MakePerspective(&m, 60, 4.0f / 3, 0.1f, 1500),
         glm::perspective(60 * kDegree, 4.0f / 3, 0.1f, 1500.0f)},
        {"ortho", *kmMat4MakeOrtho(&m, 0, 480, 0, 320, -1024, 1024),
         glm::ortho(0.0f, 480.0f, 0.0f, 320.0f, -1024.0f, 1024.0f)},
        {"look at", *kmMat4MakeLookAt(&m, &eye, &center, &up),
         glm::lookAt(glm::vec3{3, 4, 5}, {-1, 2, 0.5f}, {0, 1, 0})},
    };
    for (const auto& maker : makers) EXPECT_TRUE(near(maker.expected, maker.actual, 2e-5f)) << maker.name;
}

TEST(kmMat4Test, ProductsInversesAndTransposesAgreeWithTheReferenceAndAllowAliasing) {
    const glm::mat4 a = wellConditionedMatrix(1), b = wellConditionedMatrix(101);
    const kmMat4 ka = toKm(a), kb = toKm(b);
    kmMat4 inPlace = ka;
    EXPECT_TRUE(near(a * b, *kmMat4Multiply(&inPlace, &inPlace, &kb), 1e-4f));
    inPlace = kb;
    EXPECT_TRUE(near(a * b, *kmMat4Multiply(&inPlace, &ka, &inPlace), 1e-4f));
    inPlace = ka;
    EXPECT_TRUE(near(a * a, *kmMat4Multiply(&inPlace, &inPlace, &inPlace), 1e-4f));
    inPlace = ka;
    EXPECT_TRUE(near(glm::inverse(a), *kmMat4Invert(&inPlace, &inPlace), 1e-6f));
    inPlace = ka;
    EXPECT_TRUE(near(glm::transpose(a), *kmMat4Transpose(&inPlace, &inPlace), 0));
    // A permutation forces row interchanges, which must be undone in the result.
    const float permutation[16] = {0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0, 1, 0, 1, 0, 0};
    kmMat4 p, inverse;
    kmMat4Fill(&p, permutation);
    EXPECT_TRUE(near(glm::inverse(glm::make_mat4(permutation)), *kmMat4Invert(&inverse, &p), 0));
}

TEST(kmMat4Test, DegenerateInputsAreRefusedLeavingTheOutputUntouched) {
    kmMat4 untouched;
    std::memset(&untouched, 0x5A, sizeof untouched);
    // Row 1 is twice row 0; every step of the elimination is exact, so the last pivot is exactly 0.
    const float rankThree[16] = {1, 2, 0, 0, 2, 4, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    kmMat4 singular, flat, allNaN;
    kmMat4Fill(&singular, rankThree);
    kmMat4MakeScaling(&flat, 1, 0, 1);
    std::fill(std::begin(allNaN.mat), std::end(allNaN.mat), NAN);
    for (const kmMat4* refused : {&singular, &flat, &allNaN}) {
        kmMat4 out = untouched;
        EXPECT_EQ(kmMat4Invert(&out, refused), nullptr);
        EXPECT_EQ(std::memcmp(&out, &untouched, sizeof out), 0);
    }
    for (auto [fov, aspect, zNear, zFar] : {std::array<float, 4>{60, 1, 5, 5}, {60, 0, 0.1f, 100}, {0, 1, 0.1f, 100}}) {
        kmMat4 out = untouched;
        EXPECT_EQ(kmMat4MakePerspective(&out, fov, aspect, zNear, zFar), nullptr);
        EXPECT_EQ(std::memcmp(&out, &untouched, sizeof out), 0);
    }
}

TEST(kmMat4Test, IndexesOutsideTheMatrixThrow) {
    kmMat4 m;
    kmMat4MakeTranslation(&m, 5, 6, 7);
    EXPECT_EQ(kmMat4Get(&m, 1, 3), 6);
    kmPlane plane;
    EXPECT_THROW(kmMat4Get(&m, 4, 0), NamedException);
    EXPECT_THROW(kmMat4Set(&m, 0, -1, 1), NamedException);
    EXPECT_THROW(kmMat4Swap(&m, 0, 0, 0, 4), NamedException);
    EXPECT_THROW(kmMat4ExtractPlane(&plane, &m, 6), NamedException);
}

TEST(kmMat4Test, PlanesAndAxisAnglesDescribeTheMatrix) {
    // The planes of an orthographic volume are its faces, facing inwards, normalised.
    kmMat4 ortho;
    kmMat4MakeOrtho(&ortho, 0, 480, 0, 320, -1024, 1024);
    kmPlane right;
    kmMat4ExtractPlane(&right, &ortho, 1);
    const kmVec3 beyondRight = {500, 50, 0};
    EXPECT_NEAR(kmPlaneDotCoord(&right, &beyondRight), -20, 1e-3);

    // Rotations back to axis and angle, half turns included (the branches that avoid a small trace).
    for (const glm::vec3& axis : {glm::vec3(1, -2, 0.5f), {1, 0, 0}, {0, 1, 0}, {0, 0, 1}}) {
        for (const float angle : {1.2f, 3.1415926f}) {
            SCOPED_TRACE(angle);
            const kmMat4 rotation = toKm(glm::rotate(glm::mat4(1), angle, axis));
            kmVec3 found;
            float foundAngle;
            kmMat4ToAxisAngle(&found, &foundAngle, &rotation);
            EXPECT_NEAR(foundAngle, angle, 1e-3);
            EXPECT_NEAR(std::fabs(glm::dot(glm::vec3(found.x, found.y, found.z), glm::normalize(axis))), 1, 1e-5);
        }
    }
}

}  // namespace
