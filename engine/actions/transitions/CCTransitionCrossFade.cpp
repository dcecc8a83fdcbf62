#include "engine/actions/transitions/CCTransitionCrossFade.h"

#include <epoxy/gl.h>

#include "engine/actions/composite/CCSequence.h"
#include "engine/actions/interval/CCFadeTo.h"
#include "engine/actions/transitions/CCTransitionFade.h"
#include "engine/core/CCLayerColor.h"
#include "engine/render/CCRenderTexture.h"

RefPtr<CCTransitionCrossFade> CCTransitionCrossFade::transitionWithDuration(float duration, RefPtr<CCScene> scene) {
    return makeTransition<CCTransitionCrossFade>(duration, std::move(scene));
}

void CCTransitionCrossFade::onEnter() {
    CCTransitionScene::onEnter();
    const RefPtr<CCRenderTexture> inTexture = snapshot(inScene_.get(), false);
    const RefPtr<CCRenderTexture> outTexture = inTexture ? snapshot(outScene_.get(), false) : nullptr;
    if (!outTexture) {
        finish();
        return;
    }
    CCSprite* inPicture = inTexture->sprite();
    CCSprite* outPicture = outTexture->sprite();
    // The incoming picture is added to what is under it; the outgoing one covers it by its opacity.
    inPicture->setBlendFunc({GL_ONE, GL_ONE});
    outPicture->setBlendFunc({GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA});
    inPicture->setOpacity(255);
    outPicture->setOpacity(255);

    const RefPtr<CCLayerColor> layer = CCLayerColor::layerWithColor(ccColor4B{0, 0, 0, 0});
    layer->addChild(inTexture.get());
    layer->addChild(outTexture.get());
    outPicture->runAction(
        CCSequence::actions({CCFadeTo::actionWithDuration(duration_, 0), hideOutShowInAction(), finishAction()}).get());
    addChild(layer.get(), 2, kCCTransitionFadeLayerTag);
}

void CCTransitionCrossFade::onExit() {
    // With cleanup: an interrupted cross-fade's actions still hold this transition.
    removeChildByTag(kCCTransitionFadeLayerTag, true);
    CCTransitionScene::onExit();
}

void CCTransitionCrossFade::draw() {}
