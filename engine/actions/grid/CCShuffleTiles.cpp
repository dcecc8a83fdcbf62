#include "engine/actions/grid/CCShuffleTiles.h"

#include "engine/actions/grid/ccGridRandom.h"

RefPtr<CCShuffleTiles> CCShuffleTiles::actionWithSeed(int32_t seed, ccGridSize gridSize, float duration) {
    auto action = makeRef<CCShuffleTiles>();
    action->initWithSeed(seed, gridSize, duration);
    return action;
}

bool CCShuffleTiles::initWithSeed(int32_t seed, ccGridSize gridSize, float duration) {
    initWithSize(gridSize, duration);
    seed_ = seed;
    return true;
}

RefPtr<CCAction> CCShuffleTiles::copy() const {
    RefPtr<CCShuffleTiles> copy(makeEmptyCopy());
    copy->initWithSeed(seed_, gridSize(), duration_);
    return copy;
}

void CCShuffleTiles::startWithTarget(Object* target) {
    CCTiledGrid3DAction::startWithTarget(target);
    tilesOrder_.clear();
    tiles_.clear();
    if (!tiledGrid()) return;
    const ccGridSize size = gridSize();
    ccGridShuffledOrder(seed_, static_cast<size_t>(size.x * size.y), &tilesOrder_);
    tiles_.reserve(tilesOrder_.size());
    for (int64_t i = 0; i < size.x; ++i) {
        for (int64_t j = 0; j < size.y; ++j) {
            const CGPoint cell = CGPointMake(static_cast<double>(i), static_cast<double>(j));
            tiles_.push_back({cell, cell, getDelta({i, j})});
        }
    }
}

ccGridSize CCShuffleTiles::getDelta(ccGridSize position) const {
    const int64_t rows = gridSize().y;
    const auto slot = static_cast<size_t>(position.x * rows + position.y);
    if (slot >= tilesOrder_.size()) return {};
    const int64_t destination = tilesOrder_[slot];
    return {destination / rows - position.x, destination % rows - position.y};
}

void CCShuffleTiles::placeTile(ccGridSize position, const Tile& tile) {
    const CGPoint step = gridStep();
    placeTileOffset(position, static_cast<float>(static_cast<int64_t>(tile.position.x * step.x)),
                    static_cast<float>(static_cast<int64_t>(tile.position.y * step.y)), 0);
}

void CCShuffleTiles::update(float t) {
    const int64_t rows = gridSize().y;
    for (size_t slot = 0; slot < tiles_.size(); ++slot) {
        Tile& tile = tiles_[slot];
        tile.position = CGPointMake(tile.delta.x * static_cast<double>(t), tile.delta.y * static_cast<double>(t));
        placeTile({static_cast<int64_t>(slot) / rows, static_cast<int64_t>(slot) % rows}, tile);
    }
}
