#include "engine/actions/grid/CCShatteredTiles3D.h"

#include "engine/actions/grid/ccGridRandom.h"

RefPtr<CCShatteredTiles3D> CCShatteredTiles3D::actionWithRange(int32_t range, bool shatterZ, ccGridSize gridSize,
                                                               float duration) {
    auto action = makeRef<CCShatteredTiles3D>();
    action->initWithRange(range, shatterZ, gridSize, duration);
    return action;
}

bool CCShatteredTiles3D::initWithRange(int32_t range, bool shatterZ, ccGridSize gridSize, float duration) {
    initWithSize(gridSize, duration);
    randrange_ = range;
    shatterZ_ = shatterZ;
    once_ = false;
    return true;
}

RefPtr<CCAction> CCShatteredTiles3D::copy() const {
    RefPtr<CCShatteredTiles3D> copy(makeEmptyCopy());
    copy->initWithRange(randrange_, shatterZ_, gridSize(), duration_);
    return copy;
}

void CCShatteredTiles3D::update(float) {
    if (once_ || !tiledGrid()) return;
    deformTiles([&](ccGridSize, ccQuad3 q) {
        ccVertex3F* const corners[] = {&q.bl, &q.br, &q.tl, &q.tr};
        ccGridShake(corners, 4, randrange_, shatterZ_);
        return q;
    });
    once_ = true;
}
