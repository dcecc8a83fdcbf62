#include "engine/actions/grid/CCDeccelAmplitude.h"

#include <cmath>

RefPtr<CCDeccelAmplitude> CCDeccelAmplitude::actionWithAction(RefPtr<CCActionInterval> action, float duration) {
    auto made = makeRef<CCDeccelAmplitude>();
    made->initWithAction(std::move(action), duration);
    return made;
}

float CCDeccelAmplitude::amplitudeRateAt(float t) const { return std::pow(1 - t, rate()); }
