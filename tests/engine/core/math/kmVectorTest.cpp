#include <gtest/gtest.h>

#include "engine/core/math/kmUtility.h"
#include "engine/core/math/kmVec4.h"
#include "tests/engine/core/math/MathTestSupport.h"

namespace {

TEST(kmVectorTest, ScalarsAndProducts) {
    EXPECT_TRUE(kmAlmostEqual(1, 1.015f));
    EXPECT_FALSE(kmAlmostEqual(1, 1 + kmEpsilon));

    kmVec3 a = {1, 2, 3};
    const kmVec3 y = {0, 1, 0};
    EXPECT_TRUE(near(glm::cross(glm::vec3(1, 2, 3), glm::vec3(0, 1, 0)), *kmVec3Cross(&a, &a, &y), 0));
    kmVec4 v = {1, 2, 2, 4};
    kmVec4ScaleToLength(&v, &v, 10);
    EXPECT_FLOAT_EQ(v.w, 8);
}

TEST(kmVectorTest, TransformsAgreeWithTheReference) {
    const glm::mat4 g = glm::rotate(glm::translate(glm::mat4(1), {10, 20, 30}), 1.1f, {1, 2, -1});
    const kmMat4 rigid = toKm(g);
    const kmVec3 p = {1, 2, 3};
    const glm::vec3 gp(1, 2, 3);
    kmVec3 moved, back, direction;
    EXPECT_TRUE(near(glm::vec3(g * glm::vec4(gp, 1)), *kmVec3Transform(&moved, &p, &rigid), 1e-5f));
    EXPECT_TRUE(near(gp, *kmVec3InverseTransform(&back, &moved, &rigid), 1e-5f));
    EXPECT_TRUE(near(glm::vec3(g * glm::vec4(gp, 0)), *kmVec3TransformNormal(&direction, &p, &rigid), 1e-5f));
    EXPECT_TRUE(near(gp, *kmVec3InverseTransformNormal(&back, &direction, &rigid), 1e-5f));
    const glm::mat4 projective = glm::perspective(1.0f, 1.5f, 0.5f, 100.0f);
    const kmMat4 kmProjective = toKm(projective);
    const glm::vec4 clip = projective * glm::vec4(gp, 1);
    EXPECT_TRUE(near(glm::vec3(clip) / clip.w, *kmVec3TransformCoord(&moved, &p, &kmProjective), 1e-5f));

    // Strides count whole vectors: every second input into every third output slot, or in place.
    kmVec4 in[4] = {{1, 0, 0, 1}, {99, 99, 99, 99}, {0, 1, 0, 1}, {99, 99, 99, 99}};
    kmVec4 out[6] = {};
    kmVec4TransformArray(out, 3, in, 2, &rigid, 2);
    for (int i = 0; i < 2; ++i) {
        const glm::vec4 expected = g * glm::vec4(in[2 * i].x, in[2 * i].y, in[2 * i].z, in[2 * i].w);
        EXPECT_TRUE(elementsNear(&expected.x, &out[3 * i].x, 4, 1e-5f)) << i;
    }
    EXPECT_EQ(out[1].x, 0);
    kmVec4TransformArray(in, 1, in, 1, &rigid, 1);
    EXPECT_TRUE(kmVec4Equal(&in[0], &out[0]));
}

}  // namespace
