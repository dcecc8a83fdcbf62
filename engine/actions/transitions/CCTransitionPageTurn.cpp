#include "engine/actions/transitions/CCTransitionPageTurn.h"

#include "engine/actions/composite/CCReverseTime.h"
#include "engine/actions/composite/CCSequence.h"
#include "engine/actions/grid/CCPageTurn3D.h"
#include "engine/actions/grid/CCStopGrid.h"
#include "engine/actions/instant/CCShow.h"
#include "engine/core/CCDirector.h"

RefPtr<CCTransitionPageTurn> CCTransitionPageTurn::transitionWithDuration(float duration, RefPtr<CCScene> scene,
                                                                          bool backwards) {
    return makeTransition<CCTransitionPageTurn>(duration, std::move(scene), backwards);
}

bool CCTransitionPageTurn::initWithDuration(float duration, RefPtr<CCScene> scene, bool backwards) {
    back_ = backwards;
    return CCTransitionScene::initWithDuration(duration, std::move(scene));
}

void CCTransitionPageTurn::sceneOrder() { inSceneOnTop_ = back_; }

void CCTransitionPageTurn::onEnter() {
    CCTransitionScene::onEnter();
    const CGSize size = CCDirector::sharedDirector()->winSize();
    const ccGridSize grid = size.width > size.height ? ccGridSize{16, 12} : ccGridSize{12, 16};
    const RefPtr<CCActionInterval> turn = actionWithSize(grid);
    if (back_) {
        inScene_->setVisible(false);
        runOnInScene(CCSequence::actions({CCShow::action(), turn, finishAction(), CCStopGrid::action()}));
    } else {
        runOnOutScene(CCSequence::actions({turn, finishAction(), CCStopGrid::action()}));
    }
}

RefPtr<CCActionInterval> CCTransitionPageTurn::actionWithSize(ccGridSize size) {
    RefPtr<CCActionInterval> turn = CCPageTurn3D::actionWithSize(size, duration_);
    if (back_) turn = CCReverseTime::actionWithAction(turn);
    return turn;
}
