#include "engine/actions/grid/CCShakyTiles3D.h"

#include "engine/actions/grid/ccGridRandom.h"

RefPtr<CCShakyTiles3D> CCShakyTiles3D::actionWithRange(int32_t range, bool shakeZ, ccGridSize gridSize,
                                                       float duration) {
    auto action = makeRef<CCShakyTiles3D>();
    action->initWithRange(range, shakeZ, gridSize, duration);
    return action;
}

bool CCShakyTiles3D::initWithRange(int32_t range, bool shakeZ, ccGridSize gridSize, float duration) {
    initWithSize(gridSize, duration);
    randrange_ = range;
    shakeZ_ = shakeZ;
    return true;
}

RefPtr<CCAction> CCShakyTiles3D::copy() const {
    RefPtr<CCShakyTiles3D> copy(makeEmptyCopy());
    copy->initWithRange(randrange_, shakeZ_, gridSize(), duration_);
    return copy;
}

void CCShakyTiles3D::update(float) {
    deformTiles([&](ccGridSize, ccQuad3 q) {
        ccVertex3F* const corners[] = {&q.bl, &q.br, &q.tl, &q.tr};
        ccGridShake(corners, 4, randrange_, shakeZ_);
        return q;
    });
}
