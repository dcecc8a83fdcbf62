#pragma once

#include "engine/actions/grid/CCTiledGrid3DAction.h"

// Splits the picture into `cols` columns that slide out vertically, alternately down (column 0)
// and up, by the window's height over the duration.
class CCSplitCols : public CCTiledGrid3DAction {
public:
    static RefPtr<CCSplitCols> actionWithCols(int32_t cols, float duration);
    // A grid of `cols` columns x 1 row.
    bool initWithCols(int32_t cols, float duration);

    // Columns and duration.
    RefPtr<CCAction> copy() const override;
    // Also takes the window's size.
    void startWithTarget(Object* target) override;
    void update(float t) override;

protected:
    CCSplitCols* makeEmptyCopy() const override { return new CCSplitCols; }

private:
    int32_t cols_ = 0;
    CGSize winSize_;  // pixels, at the start
};
