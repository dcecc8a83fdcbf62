#include "engine/actions/grid/CCFadeOutUpTiles.h"

#include <cmath>

RefPtr<CCFadeOutUpTiles> CCFadeOutUpTiles::actionWithSize(ccGridSize gridSize, float duration) {
    return made<CCFadeOutUpTiles>(gridSize, duration);
}

float CCFadeOutUpTiles::testFunc(ccGridSize position, float t) const {
    const double front = static_cast<double>(gridSize().y) * t;
    if (front == 0) return 1;
    return std::pow(static_cast<float>(static_cast<double>(position.y) / front), 6.0f);
}

void CCFadeOutUpTiles::transformTile(ccGridSize position, float distance) {
    ccQuad3 coords = originalTile(position);
    const auto dy = static_cast<float>(gridStep().y / 2 * (1 - distance));
    coords.bl.y += dy;
    coords.br.y += dy;
    coords.tl.y -= dy;
    coords.tr.y -= dy;
    setTile(position, coords);
}
