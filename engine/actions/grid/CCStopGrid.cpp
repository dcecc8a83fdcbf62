#include "engine/actions/grid/CCStopGrid.h"

#include "engine/core/CCNode.h"
#include "engine/render/CCGridBase.h"

RefPtr<CCStopGrid> CCStopGrid::action() {
    auto action = makeRef<CCStopGrid>();
    action->init();
    return action;
}

void CCStopGrid::startWithTarget(Object* target) {
    CCActionInstant::startWithTarget(target);
    auto* node = dynamic_cast<CCNode*>(target);
    auto* grid = node ? dynamic_cast<CCGridBase*>(node->grid()) : nullptr;
    if (grid && grid->active()) grid->setActive(false);
}
