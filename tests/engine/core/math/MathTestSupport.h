#pragma once

// glm is the independent reference of the math tests. Its matrices are column-major like kmMat4
// and kmMat3, so elements compare index by index.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <glm/glm.hpp>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/quaternion.hpp>

#include "engine/core/math/kmMat3.h"
#include "engine/core/math/kmMat4.h"
#include "engine/core/math/kmQuaternion.h"
#include "engine/core/math/kmVec3.h"

// Every element of `actual` within `tolerance` of `expected`; names the first that is not.
inline ::testing::AssertionResult elementsNear(const float* expected, const float* actual, int count,
                                               float tolerance) {
    for (int i = 0; i < count; ++i) {
        if (!(std::fabs(expected[i] - actual[i]) <= tolerance)) {
            return ::testing::AssertionFailure()
                   << "element " << i << ": expected " << expected[i] << ", got " << actual[i];
        }
    }
    return ::testing::AssertionSuccess();
}

inline ::testing::AssertionResult near(const glm::mat4& expected, const kmMat4& actual, float tolerance) {
    return elementsNear(&expected[0][0], actual.mat, 16, tolerance);
}
inline ::testing::AssertionResult near(const glm::mat3& expected, const kmMat3& actual, float tolerance) {
    return elementsNear(&expected[0][0], actual.mat, 9, tolerance);
}
inline ::testing::AssertionResult near(const glm::vec3& expected, const kmVec3& actual, float tolerance) {
    return elementsNear(&expected.x, &actual.x, 3, tolerance);
}
inline ::testing::AssertionResult near(const glm::quat& expected, const kmQuaternion& actual, float tolerance) {
    const float wanted[4] = {expected.x, expected.y, expected.z, expected.w};
    return elementsNear(wanted, &actual.x, 4, tolerance);
}

inline kmMat4 toKm(const glm::mat4& m) {
    kmMat4 out;
    std::memcpy(out.mat, &m[0][0], sizeof out.mat);
    return out;
}
inline kmVec3 toKm(const glm::vec3& v) { return {v.x, v.y, v.z}; }
inline kmQuaternion toKm(const glm::quat& q) { return {q.x, q.y, q.z, q.w}; }

// A matrix with elements in [-1, 1] plus 4 on the diagonal: diagonally dominant, so well
// conditioned and invertible.
inline glm::mat4 wellConditionedMatrix(unsigned seed) {
    glm::mat4 m;
    for (int i = 0; i < 16; ++i) {
        seed = seed * 1103515245u + 12345u;
        (&m[0][0])[i] = float(seed >> 16 & 0x7FFF) / 16383.5f - 1 + (i % 5 == 0 ? 4.0f : 0.0f);
    }
    return m;
}
