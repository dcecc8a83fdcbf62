#include "engine/actions/grid/CCGridAction.h"

#include "engine/actions/composite/CCReverseTime.h"
#include "platform/foundation/NamedException.h"

bool CCGridAction::initWithSize(ccGridSize gridSize, float duration) {
    initWithDuration(duration);
    gridSize_ = gridSize;
    return true;
}

RefPtr<CCAction> CCGridAction::copy() const {
    RefPtr<CCGridAction> copy(makeEmptyCopy());
    copy->initWithSize(gridSize_, duration_);
    return copy;
}

void CCGridAction::startWithTarget(Object* target) {
    CCActionInterval::startWithTarget(target);
    targetGrid_.reset();
    auto* node = dynamic_cast<CCNode*>(target);
    if (!node) return;
    auto* current = dynamic_cast<CCGridBase*>(node->grid());
    if (current && current->reuseGrid() > 0) {
        CC_REQUIRE(current->active() && current->gridSize() == gridSize_ && acceptsGrid(current), "GridBase",
                   "Cannot reuse grid");
        current->reuse();
        targetGrid_ = RefPtr<CCGridBase>(current);
        return;
    }
    RefPtr<CCGridBase> newGrid = grid();
    if (current && current->active()) current->setActive(false);
    node->setGrid(newGrid);
    if (newGrid) newGrid->setActive(true);
    targetGrid_ = std::move(newGrid);
}

void CCGridAction::stop() {
    targetGrid_.reset();
    CCActionInterval::stop();
}

RefPtr<CCFiniteTimeAction> CCGridAction::reverse() const {
    return CCReverseTime::actionWithAction(refCast<CCFiniteTimeAction>(copy()));
}
