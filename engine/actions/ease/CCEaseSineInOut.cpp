#include "engine/actions/ease/CCEaseSineInOut.h"

#include <cmath>

void CCEaseSineInOut::update(float t) {
    other_->update(-0.5f * (std::cos(kPi * t) - 1));
}
