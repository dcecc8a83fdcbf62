#include "engine/actions/grid/CCSplitRows.h"

#include "engine/core/CCDirector.h"

RefPtr<CCSplitRows> CCSplitRows::actionWithRows(int32_t rows, float duration) {
    auto action = makeRef<CCSplitRows>();
    action->initWithRows(rows, duration);
    return action;
}

bool CCSplitRows::initWithRows(int32_t rows, float duration) {
    rows_ = rows;
    return initWithSize({1, rows}, duration);
}

RefPtr<CCAction> CCSplitRows::copy() const {
    RefPtr<CCSplitRows> copy(makeEmptyCopy());
    copy->initWithRows(rows_, duration_);
    return copy;
}

void CCSplitRows::startWithTarget(Object* target) {
    CCTiledGrid3DAction::startWithTarget(target);
    winSize_ = CCDirector::sharedDirector()->winSizeInPixels();
}

void CCSplitRows::update(float t) {
    for (int64_t j = 0; j < gridSize().y; ++j) {
        const double direction = j % 2 == 0 ? -1 : 1;
        placeTileOffset({0, j}, static_cast<float>(direction * winSize_.width * t), 0, 0);
    }
}
