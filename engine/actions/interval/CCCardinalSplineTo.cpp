#include "engine/actions/interval/CCCardinalSplineTo.h"

#include "engine/core/CCNode.h"
#include "engine/core/math/ccCardinalSpline.h"
#include "platform/foundation/NamedException.h"

RefPtr<CCCardinalSplineTo> CCCardinalSplineTo::actionWithDuration(float duration, RefPtr<CCPointArray> points,
                                                                  double tension) {
    RefPtr<CCCardinalSplineTo> action = makeRef<CCCardinalSplineTo>();
    action->initWithDuration(duration, std::move(points), tension);
    return action;
}

bool CCCardinalSplineTo::initWithDuration(float duration, RefPtr<CCPointArray> points, double tension) {
    CCActionInterval::initWithDuration(duration);
    setPoints(std::move(points));
    tension_ = tension;
    return true;
}

void CCCardinalSplineTo::setPoints(RefPtr<CCPointArray> points) {
    CC_REQUIRE(points, "NSInvalidArgumentException", "a spline action needs a point array");
    points_ = std::move(points);
}

RefPtr<CCCardinalSplineTo> CCCardinalSplineTo::makeLike(RefPtr<CCPointArray> points) const {
    RefPtr<CCCardinalSplineTo> action(makeEmptyCopy());
    action->initWithDuration(duration_, std::move(points), tension_);
    return action;
}

RefPtr<CCAction> CCCardinalSplineTo::copy() const { return makeLike(points_); }

void CCCardinalSplineTo::startWithTarget(Object* target) {
    CCActionInterval::startWithTarget(target);
    node_ = dynamic_cast<CCNode*>(target);
}

void CCCardinalSplineTo::update(float t) {
    if (points_->count() == 0) return;
    updatePosition(ccCardinalSplineAt(*points_, tension_, t));
}

void CCCardinalSplineTo::updatePosition(CGPoint position) {
    if (node_) node_->setPosition(position);
}

RefPtr<CCFiniteTimeAction> CCCardinalSplineTo::reverse() const { return makeLike(points_->reverse()); }
