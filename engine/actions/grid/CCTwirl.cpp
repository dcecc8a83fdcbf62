#include "engine/actions/grid/CCTwirl.h"

#include <cmath>
#include <numbers>

#include "engine/core/support/ccPointMath.h"

RefPtr<CCTwirl> CCTwirl::actionWithPosition(CGPoint position, int32_t twirls, float amplitude, ccGridSize gridSize,
                                            float duration) {
    auto action = makeRef<CCTwirl>();
    action->initWithPosition(position, twirls, amplitude, gridSize, duration);
    return action;
}

bool CCTwirl::initWithPosition(CGPoint position, int32_t twirls, float amplitude, ccGridSize gridSize,
                               float duration) {
    initWithSize(gridSize, duration);
    position_ = position;
    twirls_ = twirls;
    amplitude_ = amplitude;
    amplitudeRate_ = 1;
    return true;
}

RefPtr<CCAction> CCTwirl::copy() const {
    RefPtr<CCTwirl> copy(makeEmptyCopy());
    copy->initWithPosition(position_, twirls_, amplitude_, gridSize(), duration_);
    return copy;
}

void CCTwirl::update(float t) {
    const CGPoint c = position_;
    const ccGridSize size = gridSize();
    const float swing = std::cos(static_cast<float>(std::numbers::pi / 2 + phase(twirls_, t)));
    const float perCell = 0.1f * amplitude_ * amplitudeRate_;
    deformVertices([&](ccGridSize p, ccVertex3F v) {
        const double d = ccPointLength(CGPointMake(static_cast<double>(p.x) - static_cast<double>(size.x) * 0.5,
                                                   static_cast<double>(p.y) - static_cast<double>(size.y) * 0.5));
        const auto a = static_cast<float>(swing * d * perCell);
        const float cosA = std::cos(a), sinA = std::sin(a);
        const double dx = v.x - c.x, dy = v.y - c.y;
        v.x = static_cast<float>(c.x + dx * cosA + dy * sinA);
        v.y = static_cast<float>(c.y + dy * cosA - dx * sinA);
        return v;
    });
}
