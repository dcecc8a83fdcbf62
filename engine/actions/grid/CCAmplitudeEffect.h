#pragma once

#include <cstdint>
#include <numbers>

// An effect whose deformation scales with an amplitude: waves, ripples, twirls, tile waves and
// jumps. The amplitude actions (CCAccelAmplitude and its family) drive the rate over time; the
// effect deforms by amplitude x amplitudeRate.
class CCAmplitudeEffect {
public:
    // Points (or, for a twirl, a turning factor).
    float amplitude() const { return amplitude_; }
    void setAmplitude(float amplitude) { amplitude_ = amplitude; }
    // 1 unless an amplitude action drives it.
    float amplitudeRate() const { return amplitudeRate_; }
    void setAmplitudeRate(float rate) { amplitudeRate_ = rate; }

protected:
    ~CCAmplitudeEffect() = default;

    // amplitude x amplitudeRate.
    float scaledAmplitude() const { return amplitude_ * amplitudeRate_; }
    // The phase of n full waves at progress t: 2 n t pi radians, in double precision.
    static double phase(int32_t n, float t) { return 2.0 * n * (static_cast<double>(t) * std::numbers::pi); }

    float amplitude_ = 0;
    float amplitudeRate_ = 1;
};
