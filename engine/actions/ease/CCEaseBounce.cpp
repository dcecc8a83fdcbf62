#include "engine/actions/ease/CCEaseBounce.h"

float CCEaseBounce::bounceTime(float t) const {
    // The landings are compared in double precision, the parabolas computed in single.
    const auto arc = [](float u, float top) { return 7.5625f * u * u + top; };
    if (t < 1 / 2.75) return arc(t, 0);
    if (t < 2 / 2.75) return arc(t - 0.54545456f, 0.75f);
    if (t < 2.5 / 2.75) return arc(t - 0.8181818f, 0.9375f);
    return arc(t - 0.95454544f, 0.984375f);
}
