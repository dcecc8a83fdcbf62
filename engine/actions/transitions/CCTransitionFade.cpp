#include "engine/actions/transitions/CCTransitionFade.h"

#include "engine/actions/composite/CCSequence.h"
#include "engine/actions/interval/CCFadeIn.h"
#include "engine/actions/interval/CCFadeOut.h"
#include "engine/core/CCLayerColor.h"

RefPtr<CCTransitionFade> CCTransitionFade::transitionWithDuration(float duration, RefPtr<CCScene> scene) {
    return makeTransition<CCTransitionFade>(duration, std::move(scene));
}

RefPtr<CCTransitionFade> CCTransitionFade::transitionWithDuration(float duration, RefPtr<CCScene> scene,
                                                                  ccColor3B color) {
    return makeTransition<CCTransitionFade>(duration, std::move(scene), color);
}

bool CCTransitionFade::initWithDuration(float duration, RefPtr<CCScene> scene) {
    return initWithDuration(duration, std::move(scene), ccColor3B{0, 0, 0});
}

bool CCTransitionFade::initWithDuration(float duration, RefPtr<CCScene> scene, ccColor3B color) {
    if (!CCTransitionScene::initWithDuration(duration, std::move(scene))) return false;
    color_ = {color.r, color.g, color.b, 0};
    return true;
}

void CCTransitionFade::onEnter() {
    CCTransitionScene::onEnter();
    const RefPtr<CCLayerColor> layer = CCLayerColor::layerWithColor(color_);
    inScene_->setVisible(false);
    addChild(layer.get(), 2, kCCTransitionFadeLayerTag);
    const float half = duration_ / 2;
    layer->runAction(CCSequence::actions({CCFadeIn::actionWithDuration(half), hideOutShowInAction(),
                                          CCFadeOut::actionWithDuration(half), finishAction()})
                         .get());
}

void CCTransitionFade::onExit() {
    CCTransitionScene::onExit();
    // With cleanup: an interrupted fade's actions still hold this transition.
    removeChildByTag(kCCTransitionFadeLayerTag, true);
}
