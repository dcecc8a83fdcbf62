#include "engine/actions/transitions/CCTransitionProgress.h"

#include "engine/actions/composite/CCSequence.h"
#include "engine/actions/interval/CCProgressFromTo.h"
#include "engine/core/CCDirector.h"
#include "engine/render/CCRenderTexture.h"

void CCTransitionProgress::sceneOrder() { inSceneOnTop_ = false; }

void CCTransitionProgress::setupTransition() {
    sceneToBeModified_ = outScene_.get();
    from_ = 100;
    to_ = 0;
}

void CCTransitionProgress::onEnter() {
    CCTransitionScene::onEnter();
    setupTransition();
    const RefPtr<CCRenderTexture> texture = snapshot(sceneToBeModified_, true);
    if (!texture) {
        finish();
        return;
    }
    if (sceneToBeModified_ == outScene_.get()) hideOutShowIn();
    const RefPtr<CCProgressTimer> node = progressTimerNodeWithRenderTexture(texture.get());
    node->runAction(
        CCSequence::actions({CCProgressFromTo::actionWithDuration(duration_, from_, to_), finishAction()}).get());
    addChild(node.get(), 2, kCCTransitionProgressNodeTag);
}

void CCTransitionProgress::onExit() {
    // With cleanup: an interrupted wipe's actions still hold this transition.
    removeChildByTag(kCCTransitionProgressNodeTag, true);
    CCTransitionScene::onExit();
}

RefPtr<CCProgressTimer> CCTransitionProgress::timerForTexture(CCRenderTexture* texture, CCProgressTimerType type) {
    const CGSize size = CCDirector::sharedDirector()->winSize();
    texture->sprite()->setFlipY(true);
    RefPtr<CCProgressTimer> timer = CCProgressTimer::progressWithSprite(RefPtr(texture->sprite()));
    timer->setType(type);
    timer->setPosition(CGPointMake(size.width / 2, size.height / 2));
    timer->setAnchorPoint(CGPointMake(0.5, 0.5));
    return timer;
}

RefPtr<CCProgressTimer> CCTransitionProgress::radialTimer(CCRenderTexture* texture, bool reverseDirection) {
    RefPtr<CCProgressTimer> timer = timerForTexture(texture, kCCProgressTimerTypeRadial);
    timer->setReverseDirection(reverseDirection);
    // Last: the settings above drop the vertices that a percentage builds.
    timer->setPercentage(100);
    return timer;
}

RefPtr<CCProgressTimer> CCTransitionProgress::barTimer(CCRenderTexture* texture, CGPoint midpoint,
                                                       CGPoint barChangeRate, float percentage) {
    RefPtr<CCProgressTimer> timer = timerForTexture(texture, kCCProgressTimerTypeBar);
    timer->setMidpoint(midpoint);
    timer->setBarChangeRate(barChangeRate);
    timer->setPercentage(percentage);
    return timer;
}
