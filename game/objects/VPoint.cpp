#include "game/objects/VPoint.h"

namespace game {

float VPoint::gravityX_ = 0.0f;
float VPoint::gravityY_ = 9.8f;

void VPoint::update() {
    const float x = x_;
    const float y = y_;
    x_ += x_ - oldX_;
    y_ += y_ - oldY_;
    oldX_ = x;
    oldY_ = y;
}

}  // namespace game
