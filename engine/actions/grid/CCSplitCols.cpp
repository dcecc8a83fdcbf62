#include "engine/actions/grid/CCSplitCols.h"

#include "engine/core/CCDirector.h"

RefPtr<CCSplitCols> CCSplitCols::actionWithCols(int32_t cols, float duration) {
    auto action = makeRef<CCSplitCols>();
    action->initWithCols(cols, duration);
    return action;
}

bool CCSplitCols::initWithCols(int32_t cols, float duration) {
    cols_ = cols;
    return initWithSize({cols, 1}, duration);
}

RefPtr<CCAction> CCSplitCols::copy() const {
    RefPtr<CCSplitCols> copy(makeEmptyCopy());
    copy->initWithCols(cols_, duration_);
    return copy;
}

void CCSplitCols::startWithTarget(Object* target) {
    CCTiledGrid3DAction::startWithTarget(target);
    winSize_ = CCDirector::sharedDirector()->winSizeInPixels();
}

void CCSplitCols::update(float t) {
    for (int64_t i = 0; i < gridSize().x; ++i) {
        const double direction = i % 2 == 0 ? -1 : 1;
        placeTileOffset({i, 0}, 0, static_cast<float>(direction * winSize_.height * t), 0);
    }
}
