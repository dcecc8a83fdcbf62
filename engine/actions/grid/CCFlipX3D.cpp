#include "engine/actions/grid/CCFlipX3D.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/foundation/NamedException.h"

RefPtr<CCFlipX3D> CCFlipX3D::actionWithDuration(float duration) {
    auto action = makeRef<CCFlipX3D>();
    action->initWithDuration(duration);
    return action;
}

bool CCFlipX3D::initWithDuration(float duration) { return initWithSize({1, 1}, duration); }

bool CCFlipX3D::initWithSize(ccGridSize gridSize, float duration) {
    CC_REQUIRE(gridSize == (ccGridSize{1, 1}), "FlipX3D", "Grid size must be (1,1)");
    return CCGrid3DAction::initWithSize(gridSize, duration);
}

void CCFlipX3D::update(float t) { flip(t, false); }

void CCFlipX3D::flip(float t, bool horizontal) {
    if (!grid3D()) return;
    const float angle = std::numbers::pi_v<float> * t;
    const float mz = std::sin(angle);
    const float mx = std::cos(angle / 2);
    // The axis the picture turns across: x for a turn about the vertical line, else y.
    auto along = [horizontal](ccVertex3F& v) -> float& { return horizontal ? v.y : v.x; };
    ccVertex3F topRight = originalVertex({1, 1}), bottomLeft = originalVertex({0, 0});
    const float far0 = along(topRight), near0 = along(bottomLeft);
    const float extent = std::max(far0, near0);
    const float d = extent - extent * mx;
    const float dz = std::fabs(std::floor(extent * mz * 0.25f));
    const int64_t moving = far0 > near0 ? 0 : 1;
    for (int64_t line = 0; line < 2; ++line) {
        for (int64_t k = 0; k < 2; ++k) {
            const ccGridSize position = horizontal ? ccGridSize{k, line} : ccGridSize{line, k};
            ccVertex3F v = originalVertex(position);
            if (line == moving) {
                along(v) = d;
                v.z += dz;
            } else {
                along(v) -= d;
                v.z -= dz;
            }
            setVertex(position, v);
        }
    }
}
