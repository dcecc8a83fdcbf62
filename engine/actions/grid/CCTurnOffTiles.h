#pragma once

#include <vector>

#include "engine/actions/grid/CCTiledGrid3DAction.h"

// Turns the tiles off one by one in a random order until, at the end, none is left. The order is
// fixed at each start from the seed (the grid effects' own random sequence, see ccGridRandom.h):
// one seed always gives the same order, and seed -1 continues the sequence instead.
class CCTurnOffTiles : public CCTiledGrid3DAction {
public:
    static RefPtr<CCTurnOffTiles> actionWithSeed(int32_t seed, ccGridSize gridSize, float duration);
    bool initWithSeed(int32_t seed, ccGridSize gridSize, float duration);

    // Seed, grid size and duration.
    RefPtr<CCAction> copy() const override;
    // Also draws the order.
    void startWithTarget(Object* target) override;
    // The first (tile count x t) tiles of the order are off, the others on.
    void update(float t) override;

protected:
    CCTurnOffTiles* makeEmptyCopy() const override { return new CCTurnOffTiles; }

private:
    int32_t seed_ = 0;                // -1: continue the sequence
    std::vector<int32_t> tilesOrder_;  // slots, in the order they turn off
};
