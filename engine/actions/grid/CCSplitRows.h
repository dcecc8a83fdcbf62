#pragma once

#include "engine/actions/grid/CCTiledGrid3DAction.h"

// Splits the picture into `rows` rows that slide out sideways, alternately left (row 0) and right,
// by the window's width over the duration.
class CCSplitRows : public CCTiledGrid3DAction {
public:
    static RefPtr<CCSplitRows> actionWithRows(int32_t rows, float duration);
    // A grid of 1 column x `rows`.
    bool initWithRows(int32_t rows, float duration);

    // Rows and duration.
    RefPtr<CCAction> copy() const override;
    // Also takes the window's size.
    void startWithTarget(Object* target) override;
    void update(float t) override;

protected:
    CCSplitRows* makeEmptyCopy() const override { return new CCSplitRows; }

private:
    int32_t rows_ = 0;
    CGSize winSize_;  // pixels, at the start
};
