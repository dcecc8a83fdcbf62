#pragma once

#include <vector>

#include "engine/actions/grid/CCTiledGrid3DAction.h"

// One tile of a shuffle: where it is, where it started and how far it travels.
struct Tile {
    CGPoint position;       // current offset from its own cell, cells
    CGPoint startPosition;  // its own cell (column, row)
    ccGridSize delta;       // cells from its own cell to its destination
};

// Shuffles the tiles: each slides in whole points from its own cell to another one, so that at
// the end the cells are a permutation of the picture's. The permutation is fixed at each start
// from the seed (the grid effects' own random sequence, see ccGridRandom.h): one seed always gives
// the same one, and seed -1 continues the sequence instead of restarting it.
class CCShuffleTiles : public CCTiledGrid3DAction {
public:
    static RefPtr<CCShuffleTiles> actionWithSeed(int32_t seed, ccGridSize gridSize, float duration);
    bool initWithSeed(int32_t seed, ccGridSize gridSize, float duration);

    // Seed, grid size and duration.
    RefPtr<CCAction> copy() const override;
    // Also draws the permutation and each tile's way.
    void startWithTarget(Object* target) override;
    void update(float t) override;

    // Cells from (column, row) to the cell its tile travels to; zero before the start.
    ccGridSize getDelta(ccGridSize position) const;
    // Puts the tile's undeformed corners at its position (cells), in whole points.
    void placeTile(ccGridSize position, const Tile& tile);

protected:
    CCShuffleTiles* makeEmptyCopy() const override { return new CCShuffleTiles; }

private:
    int32_t seed_ = 0;                // -1: continue the sequence
    std::vector<int32_t> tilesOrder_;  // slot of the destination of the tile in each slot
    std::vector<Tile> tiles_;          // by slot column x rows + row
};
