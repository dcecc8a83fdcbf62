#include "engine/actions/transitions/CCTransitionSceneOriented.h"

#include "engine/actions/composite/CCDelayTime.h"
#include "engine/actions/composite/CCSequence.h"
#include "engine/actions/composite/CCSpawn.h"
#include "engine/actions/instant/CCHide.h"
#include "engine/actions/instant/CCShow.h"
#include "engine/actions/interval/CCOrbitCamera.h"
#include "engine/actions/interval/CCScaleTo.h"

RefPtr<CCTransitionSceneOriented> CCTransitionSceneOriented::transitionWithDuration(
    float duration, RefPtr<CCScene> scene, CCTransitionOrientation orientation) {
    return makeTransition<CCTransitionSceneOriented>(duration, std::move(scene), orientation);
}

bool CCTransitionSceneOriented::initWithDuration(float duration, RefPtr<CCScene> scene,
                                                 CCTransitionOrientation orientation) {
    if (!CCTransitionScene::initWithDuration(duration, std::move(scene))) return false;
    orientation_ = orientation;
    return true;
}

void CCTransitionSceneOriented::runFlip(bool positive, float inAngleX, float outAngleX, bool zoom) {
    const float half = duration_ / 2;
    const float deltaZ = positive ? 90 : -90;
    const float inAngleZ = positive ? 270 : 90;
    RefPtr<CCFiniteTimeAction> inTurn = CCOrbitCamera::actionWithDuration(half, 1, 0, inAngleZ, deltaZ, inAngleX, 0);
    RefPtr<CCFiniteTimeAction> outTurn = CCOrbitCamera::actionWithDuration(half, 1, 0, 0, deltaZ, outAngleX, 0);

    inScene_->setVisible(false);
    if (zoom) {
        inScene_->setScale(0.5);
        inTurn = CCSpawn::actions({inTurn, CCScaleTo::actionWithDuration(half, 1), CCShow::action()});
        outTurn = CCSpawn::actions({outTurn, CCScaleTo::actionWithDuration(half, 0.5)});
    } else {
        inTurn = CCSequence::actions({CCShow::action(), inTurn});
    }
    runOnInScene(CCSequence::actions({CCDelayTime::actionWithDuration(half), inTurn, finishAction()}));
    runOnOutScene(CCSequence::actions({outTurn, CCHide::action(), CCDelayTime::actionWithDuration(half)}));
}
