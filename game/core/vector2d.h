#pragma once

#include <cmath>

// A pair of components: the play scene's input vectors (X along the planet's surface, Y away
// from its centre), of length at most 1 once limited.
template <class T>
struct vector2d {
    T X = 0;
    T Y = 0;

    T getLengthSQ() const { return X * X + Y * Y; }
    T getLength() const { return std::sqrt(getLengthSQ()); }
    bool operator==(const vector2d&) const = default;

    // Scales a vector longer than 1 back to length 1.
    void limitToUnitLength() {
        const T lengthSQ = getLengthSQ();
        if (lengthSQ > 1) {
            const T scale = T(1) / std::sqrt(lengthSQ);
            X *= scale;
            Y *= scale;
        }
    }
};
