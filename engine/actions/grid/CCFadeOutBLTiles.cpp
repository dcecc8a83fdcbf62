#include "engine/actions/grid/CCFadeOutBLTiles.h"

#include <cmath>

RefPtr<CCFadeOutBLTiles> CCFadeOutBLTiles::actionWithSize(ccGridSize gridSize, float duration) {
    return made<CCFadeOutBLTiles>(gridSize, duration);
}

float CCFadeOutBLTiles::testFunc(ccGridSize position, float t) const {
    const ccGridSize size = gridSize();
    const int64_t cell = position.x + position.y;
    if (cell == 0) return 1;
    const double front = static_cast<double>(size.x) * (1 - t) + static_cast<double>(size.y) * (1 - t);
    return std::pow(static_cast<float>(front / static_cast<double>(cell)), 6.0f);
}
