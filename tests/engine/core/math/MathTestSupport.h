#pragma once

#include <gtest/gtest.h>

#include <random>

#include "engine/core/math/kmMat4.h"
#include "engine/core/math/kmVec3.h"

// Every element of actual within tolerance of expected; names the first element that is not.
inline ::testing::AssertionResult matricesNear(const kmMat4& expected, const kmMat4& actual, float tolerance) {
    for (int i = 0; i < 16; ++i) {
        if (!(std::fabs(expected.mat[i] - actual.mat[i]) <= tolerance)) {
            return ::testing::AssertionFailure()
                   << "element " << i << ": expected " << expected.mat[i] << ", got " << actual.mat[i];
        }
    }
    return ::testing::AssertionSuccess();
}

inline ::testing::AssertionResult vectorsNear(const kmVec3& expected, const kmVec3& actual, float tolerance) {
    if (std::fabs(expected.x - actual.x) <= tolerance && std::fabs(expected.y - actual.y) <= tolerance &&
        std::fabs(expected.z - actual.z) <= tolerance) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "expected (" << expected.x << ", " << expected.y << ", " << expected.z
                                         << "), got (" << actual.x << ", " << actual.y << ", " << actual.z << ")";
}

// A matrix with elements in [-1, 1] plus 4 on the diagonal: diagonally dominant, so well
// conditioned and invertible.
inline kmMat4 wellConditionedMatrix(unsigned seed) {
    std::mt19937 generator(seed);
    std::uniform_real_distribution<float> element(-1.0f, 1.0f);
    kmMat4 m;
    for (int i = 0; i < 16; ++i) {
        m.mat[i] = element(generator) + (i % 5 == 0 ? 4.0f : 0.0f);
    }
    return m;
}

// The address of a value for the pointer-taking functions: kmVec3Equal(&v, addressOf(kmVec3{0, 0, 1})).
// Valid until the end of the full expression.
template <class T>
const T* addressOf(const T& value) {
    return &value;
}
