#pragma once

namespace game {

// One point of a verlet rope, in world points. Its velocity is implicit: the step from the old
// position to the current one.
class VPoint {
public:
    // Places the point at rest.
    void setPos(float x, float y) {
        x_ = oldX_ = x;
        y_ = oldY_ = y;
    }
    // One verlet step: moves on by the last step's displacement.
    void update();
    // Moves by (gx, gy) x dt against the class-wide gravity, or the given gravity.
    void applyGravity(float dt) { applyGravityxdt(gravityX_ * dt, gravityY_ * dt); }
    void applyGravity(float dt, float gx, float gy) { applyGravityxdt(gx * dt, gy * dt); }
    void applyGravityxdt(float gxdt, float gydt) {
        x_ -= gxdt;
        y_ -= gydt;
    }

    void setX(float x) { x_ = x; }
    void setY(float y) { y_ = y; }
    float x() const { return x_; }
    float y() const { return y_; }

    // Shared by every point; starts at (0, 9.8).
    static void setGravityX(float gx, float gy) {
        gravityX_ = gx;
        gravityY_ = gy;
    }
    static float gravityX() { return gravityX_; }
    static float gravityY() { return gravityY_; }

private:
    float x_ = 0, y_ = 0;
    float oldX_ = 0, oldY_ = 0;
    static float gravityX_;
    static float gravityY_;
};

}  // namespace game
