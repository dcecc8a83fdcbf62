#include "engine/actions/grid/CCAccelAmplitude.h"

#include <cmath>

RefPtr<CCAccelAmplitude> CCAccelAmplitude::actionWithAction(RefPtr<CCActionInterval> action, float duration) {
    auto made = makeRef<CCAccelAmplitude>();
    made->initWithAction(std::move(action), duration);
    return made;
}

float CCAccelAmplitude::amplitudeRateAt(float t) const { return std::pow(t, rate()); }
