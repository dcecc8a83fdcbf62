#include "engine/actions/grid/CCTurnOffTiles.h"

#include "engine/actions/grid/ccGridRandom.h"

RefPtr<CCTurnOffTiles> CCTurnOffTiles::actionWithSeed(int32_t seed, ccGridSize gridSize, float duration) {
    auto action = makeRef<CCTurnOffTiles>();
    action->initWithSeed(seed, gridSize, duration);
    return action;
}

bool CCTurnOffTiles::initWithSeed(int32_t seed, ccGridSize gridSize, float duration) {
    initWithSize(gridSize, duration);
    seed_ = seed;
    return true;
}

RefPtr<CCAction> CCTurnOffTiles::copy() const {
    RefPtr<CCTurnOffTiles> copy(makeEmptyCopy());
    copy->initWithSeed(seed_, gridSize(), duration_);
    return copy;
}

void CCTurnOffTiles::startWithTarget(Object* target) {
    CCTiledGrid3DAction::startWithTarget(target);
    tilesOrder_.clear();
    if (!tiledGrid()) return;
    const ccGridSize size = gridSize();
    ccGridShuffledOrder(seed_, static_cast<size_t>(size.x * size.y), &tilesOrder_);
}

void CCTurnOffTiles::update(float t) {
    const int64_t rows = gridSize().y;
    const auto off = static_cast<size_t>(static_cast<int32_t>(static_cast<float>(tilesOrder_.size()) * t));
    for (size_t k = 0; k < tilesOrder_.size(); ++k) {
        const ccGridSize cell{tilesOrder_[k] / rows, tilesOrder_[k] % rows};
        if (k < off) {
            turnOffTile(cell);
        } else {
            turnOnTile(cell);
        }
    }
}
