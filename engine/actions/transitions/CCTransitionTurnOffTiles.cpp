#include "engine/actions/transitions/CCTransitionTurnOffTiles.h"

#include "engine/actions/composite/CCSequence.h"
#include "engine/actions/grid/CCStopGrid.h"
#include "engine/actions/grid/CCTurnOffTiles.h"

RefPtr<CCTransitionTurnOffTiles> CCTransitionTurnOffTiles::transitionWithDuration(float duration,
                                                                                  RefPtr<CCScene> scene) {
    return makeTransition<CCTransitionTurnOffTiles>(duration, std::move(scene));
}

void CCTransitionTurnOffTiles::sceneOrder() { inSceneOnTop_ = false; }

void CCTransitionTurnOffTiles::onEnter() {
    CCTransitionScene::onEnter();
    // Seed 0: every run turns the tiles off in the same order.
    runOnOutScene(
        CCSequence::actions({easeActionWithAction(CCTurnOffTiles::actionWithSeed(0, tileGridSize(), duration_)),
                             finishAction(), CCStopGrid::action()}));
}

RefPtr<CCActionInterval> CCTransitionTurnOffTiles::easeActionWithAction(RefPtr<CCActionInterval> action) {
    return action;
}
