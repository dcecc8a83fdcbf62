#include "engine/actions/interval/CCCardinalSplineBy.h"

#include <vector>

#include "engine/core/CCNode.h"

RefPtr<CCCardinalSplineBy> CCCardinalSplineBy::actionWithDuration(float duration, RefPtr<CCPointArray> points,
                                                                  double tension) {
    RefPtr<CCCardinalSplineBy> action = makeRef<CCCardinalSplineBy>();
    action->initWithDuration(duration, std::move(points), tension);
    return action;
}

void CCCardinalSplineBy::startWithTarget(Object* target) {
    CCCardinalSplineTo::startWithTarget(target);
    startPosition_ = node_ ? node_->position() : CGPointZero;
}

void CCCardinalSplineBy::updatePosition(CGPoint position) {
    if (node_) node_->setPosition({position.x + startPosition_.x, position.y + startPosition_.y});
}

RefPtr<CCFiniteTimeAction> CCCardinalSplineBy::reverse() const {
    const std::vector<CGPoint>& offsets = points_->controlPoints();
    const size_t n = offsets.size();
    // The steps between consecutive offsets, last first, after the negated first offset; then
    // their running sums from it.
    std::vector<CGPoint> reversed(n);
    if (n > 0) reversed[0] = {-offsets[0].x, -offsets[0].y};
    for (size_t k = 1; k < n; ++k) {
        const CGPoint step{offsets[n - k].x - offsets[n - k - 1].x, offsets[n - k].y - offsets[n - k - 1].y};
        reversed[k] = {reversed[k - 1].x - step.x, reversed[k - 1].y - step.y};
    }
    RefPtr<CCPointArray> points = CCPointArray::arrayWithCapacity(n);
    points->setControlPoints(std::move(reversed));
    return makeLike(points);
}
