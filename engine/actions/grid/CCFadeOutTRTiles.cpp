#include "engine/actions/grid/CCFadeOutTRTiles.h"

#include <cmath>

RefPtr<CCFadeOutTRTiles> CCFadeOutTRTiles::actionWithSize(ccGridSize gridSize, float duration) {
    return made<CCFadeOutTRTiles>(gridSize, duration);
}

void CCFadeOutTRTiles::update(float t) {
    if (!tiledGrid()) return;
    const ccGridSize size = gridSize();
    for (int64_t i = 0; i < size.x; ++i) {
        for (int64_t j = 0; j < size.y; ++j) {
            const float f = testFunc({i, j}, t);
            if (f == 0) {
                turnOffTile({i, j});
            } else if (f < 1) {
                transformTile({i, j}, f);
            } else {
                turnOnTile({i, j});
            }
        }
    }
}

float CCFadeOutTRTiles::testFunc(ccGridSize position, float t) const {
    const ccGridSize size = gridSize();
    const double front = static_cast<double>(size.x) * t + static_cast<double>(size.y) * t;
    if (front == 0) return 1;
    return std::pow(static_cast<float>(static_cast<double>(position.x + position.y) / front), 6.0f);
}

void CCFadeOutTRTiles::transformTile(ccGridSize position, float distance) {
    ccQuad3 coords = originalTile(position);
    const CGPoint step = gridStep();
    const auto dx = static_cast<float>(step.x / 2 * (1 - distance));
    const auto dy = static_cast<float>(step.y / 2 * (1 - distance));
    coords.bl.x += dx;
    coords.bl.y += dy;
    coords.br.x -= dx;
    coords.br.y += dy;
    coords.tl.x += dx;
    coords.tl.y -= dy;
    coords.tr.x -= dx;
    coords.tr.y -= dy;
    setTile(position, coords);
}
