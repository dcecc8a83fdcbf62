#include "engine/actions/grid/CCReuseGrid.h"

#include "engine/core/CCNode.h"
#include "engine/render/CCGridBase.h"

RefPtr<CCReuseGrid> CCReuseGrid::actionWithTimes(int32_t times) {
    auto action = makeRef<CCReuseGrid>();
    action->initWithTimes(times);
    return action;
}

bool CCReuseGrid::initWithTimes(int32_t times) {
    init();
    t_ = times;
    return true;
}

RefPtr<CCAction> CCReuseGrid::copy() const {
    RefPtr<CCReuseGrid> copy(makeEmptyCopy());
    copy->initWithTimes(t_);
    return copy;
}

void CCReuseGrid::startWithTarget(Object* target) {
    CCActionInstant::startWithTarget(target);
    auto* node = dynamic_cast<CCNode*>(target);
    auto* grid = node ? dynamic_cast<CCGridBase*>(node->grid()) : nullptr;
    if (grid && grid->active()) grid->setReuseGrid(grid->reuseGrid() + t_);
}
