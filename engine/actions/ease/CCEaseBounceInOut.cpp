#include "engine/actions/ease/CCEaseBounceInOut.h"

void CCEaseBounceInOut::update(float t) {
    other_->update(t < 0.5f ? 0.5f * (1 - bounceTime(1 - 2 * t)) : 0.5f * bounceTime(2 * t - 1) + 0.5f);
}
