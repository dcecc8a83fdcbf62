#include "engine/actions/transitions/CCTransitionFadeTR.h"

#include "engine/actions/composite/CCSequence.h"
#include "engine/actions/grid/CCFadeOutTRTiles.h"
#include "engine/actions/grid/CCStopGrid.h"

RefPtr<CCTransitionFadeTR> CCTransitionFadeTR::transitionWithDuration(float duration, RefPtr<CCScene> scene) {
    return makeTransition<CCTransitionFadeTR>(duration, std::move(scene));
}

void CCTransitionFadeTR::sceneOrder() { inSceneOnTop_ = false; }

void CCTransitionFadeTR::onEnter() {
    CCTransitionScene::onEnter();
    runOnOutScene(CCSequence::actions(
        {easeActionWithAction(actionWithSize(tileGridSize())), finishAction(), CCStopGrid::action()}));
}

RefPtr<CCActionInterval> CCTransitionFadeTR::actionWithSize(ccGridSize size) {
    return CCFadeOutTRTiles::actionWithSize(size, duration_);
}

RefPtr<CCActionInterval> CCTransitionFadeTR::easeActionWithAction(RefPtr<CCActionInterval> action) { return action; }
