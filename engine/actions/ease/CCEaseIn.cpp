#include "engine/actions/ease/CCEaseIn.h"

#include <cmath>

void CCEaseIn::update(float t) {
    other_->update(std::pow(t, rate_));
}
