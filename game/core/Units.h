#pragma once

// The units the game's numbers are in, and the conversions between them. Positions and sizes are in
// points (the scene graph's unit); Box2D works in metres. Node rotations are degrees clockwise, body
// angles radians counter-clockwise. The values are the nearest floats to the exact ones.
namespace units {

inline constexpr float kPointsPerMetre = 32.0f;
inline constexpr float kMetresPerPoint = 1 / kPointsPerMetre;

inline constexpr float kPi = 3.1415927f;
inline constexpr float kTwoPi = 6.2831855f;
inline constexpr float kRadiansPerDegree = 0.017453292f;
inline constexpr float kDegreesPerRadian = 57.29578f;

// 2^-23, the float step above 1: what the game takes as no length, time, scale or angle at all.
inline constexpr float kEpsilon = 1.1920929e-7f;

}  // namespace units
