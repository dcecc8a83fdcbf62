#pragma once

namespace game {

class VPoint;

// A distance constraint between two rope points (not owned), its rest length the distance
// between them when it was made.
class VStick {
public:
    VStick(VPoint* pointA, VPoint* pointB);

    // Moves both ends by half the length error each, along the stick. Skipped when the ends
    // (nearly) coincide, where the direction is undefined.
    void contract();

    VPoint* getPointA() const { return pointA_; }
    VPoint* getPointB() const { return pointB_; }
    float hypotenuse() const { return hypotenuse_; }

private:
    VPoint* pointA_;
    VPoint* pointB_;
    float hypotenuse_;  // points
};

}  // namespace game
