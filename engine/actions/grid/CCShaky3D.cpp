#include "engine/actions/grid/CCShaky3D.h"

#include "engine/actions/grid/ccGridRandom.h"

RefPtr<CCShaky3D> CCShaky3D::actionWithRange(int32_t range, bool shakeZ, ccGridSize gridSize, float duration) {
    auto action = makeRef<CCShaky3D>();
    action->initWithRange(range, shakeZ, gridSize, duration);
    return action;
}

bool CCShaky3D::initWithRange(int32_t range, bool shakeZ, ccGridSize gridSize, float duration) {
    initWithSize(gridSize, duration);
    randrange_ = range;
    shakeZ_ = shakeZ;
    return true;
}

RefPtr<CCAction> CCShaky3D::copy() const {
    RefPtr<CCShaky3D> copy(makeEmptyCopy());
    copy->initWithRange(randrange_, shakeZ_, gridSize(), duration_);
    return copy;
}

void CCShaky3D::update(float) {
    deformVertices([&](ccGridSize, ccVertex3F v) {
        ccVertex3F* const vertex[] = {&v};
        ccGridShake(vertex, 1, randrange_, shakeZ_);
        return v;
    });
}
