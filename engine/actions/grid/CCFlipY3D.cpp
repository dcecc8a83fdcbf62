#include "engine/actions/grid/CCFlipY3D.h"

RefPtr<CCFlipY3D> CCFlipY3D::actionWithDuration(float duration) {
    auto action = makeRef<CCFlipY3D>();
    action->initWithDuration(duration);
    return action;
}

void CCFlipY3D::update(float t) { flip(t, true); }
