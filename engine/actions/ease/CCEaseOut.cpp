#include "engine/actions/ease/CCEaseOut.h"

#include <cmath>

void CCEaseOut::update(float t) {
    other_->update(std::pow(t, 1 / rate_));
}
