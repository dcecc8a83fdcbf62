#include "engine/core/math/kmUtility.h"

#include <cmath>

float kmSquare(float s) {
    return s * s;
}

float kmDegreesToRadians(float degrees) {
    return degrees * 0.017453f;
}

float kmRadiansToDegrees(float radians) {
    return radians * 57.29578f;
}

float kmMinFloat(float lhs, float rhs) {
    return lhs < rhs ? lhs : rhs;
}

float kmMaxFloat(float lhs, float rhs) {
    return lhs > rhs ? lhs : rhs;
}

bool kmAlmostEqual(float lhs, float rhs) {
    return std::fabs(lhs - rhs) < kmEpsilon;
}
