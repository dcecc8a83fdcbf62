#include "engine/actions/grid/CCFadeOutDownTiles.h"

#include <cmath>

RefPtr<CCFadeOutDownTiles> CCFadeOutDownTiles::actionWithSize(ccGridSize gridSize, float duration) {
    return made<CCFadeOutDownTiles>(gridSize, duration);
}

float CCFadeOutDownTiles::testFunc(ccGridSize position, float t) const {
    if (position.y == 0) return 1;
    const double front = (1 - t) * static_cast<double>(gridSize().y);
    return std::pow(static_cast<float>(front / static_cast<double>(position.y)), 6.0f);
}
