#include "engine/actions/transitions/CCTransitionScene.h"

#include <algorithm>

#include "engine/actions/instant/CCCallFunc.h"
#include "engine/core/CCDirector.h"
#include "engine/core/CCEventDispatcher.h"
#include "engine/render/CCGridBase.h"
#include "engine/render/CCRenderTexture.h"
#include "platform/foundation/Log.h"

RefPtr<CCTransitionScene> CCTransitionScene::transitionWithDuration(float duration, RefPtr<CCScene> scene) {
    return makeTransition<CCTransitionScene>(duration, std::move(scene));
}

CCTransitionScene::CCTransitionScene() = default;

CCTransitionScene::~CCTransitionScene() { restoreEvents(); }

bool CCTransitionScene::initWithDuration(float duration, RefPtr<CCScene> scene) {
    CCDirector* director = CCDirector::sharedDirector();
    CCScene* running = director->runningScene();
    const char* refusal = !running                 ? "no scene is running"
                          : !scene                 ? "there is no scene to show"
                          : scene.get() == running ? "the scene to show is the running scene"
                                                   : nullptr;
    if (refusal) {
        logLine("Lumora: transition refused: %s", refusal);
        return false;
    }
    duration_ = duration;
    inScene_ = std::move(scene);
    outScene_ = RefPtr(running);
    if (CCEventDispatcher* dispatcher = director->eventDispatcher()) {
        dispatcher->setDispatchEvents(false);
        blockedDispatcher_ = RefPtr(dispatcher);
    }
    sceneOrder();
    return true;
}

void CCTransitionScene::sceneOrder() { inSceneOnTop_ = true; }

void CCTransitionScene::draw() {
    CCScene::draw();
    if (inSceneOnTop_) {
        outScene_->visit();
        inScene_->visit();
    } else {
        inScene_->visit();
        outScene_->visit();
    }
}

void CCTransitionScene::onEnter() {
    CCScene::onEnter();
    // How this transition was installed: replacing the outgoing scene, or pushed over it.
    sendCleanupToScene_ = CCDirector::sharedDirector()->sendCleanupToScene();
    inSceneTookOver_ = false;
    outScene_->onExitTransitionDidStart();
    inScene_->onEnter();
}

void CCTransitionScene::onExit() {
    CCScene::onExit();
    inSceneTookOver_ = CCDirector::sharedDirector()->nextScene() == inScene_.get();
    outScene_->onExit();
    if (inSceneTookOver_) {
        inScene_->onEnterTransitionDidFinish();
    } else {
        inScene_->onExit();
        if (outSceneAction_) outScene_->stopAction(outSceneAction_.get());
        if (inSceneAction_) inScene_->stopAction(inSceneAction_.get());
        restoreScene(inScene_.get());
        restoreScene(outScene_.get());
    }
    // Their call of finish holds this transition: letting go breaks the cycle.
    outSceneAction_ = nullptr;
    inSceneAction_ = nullptr;
    restoreEvents();
}

void CCTransitionScene::cleanup() {
    CCScene::cleanup();
    if (sendCleanupToScene_) outScene_->cleanup();
    if (!inSceneTookOver_) inScene_->cleanup();
}

RefPtr<CCRenderTexture> CCTransitionScene::snapshot(CCScene* scene, bool opaque) {
    const CGSize size = CCDirector::sharedDirector()->winSize();
    RefPtr<CCRenderTexture> texture =
        CCRenderTexture::renderTextureWithWidth(static_cast<int32_t>(size.width), static_cast<int32_t>(size.height));
    if (!texture) return nullptr;
    const CGPoint centre = CGPointMake(0.5, 0.5);
    texture->setPosition(CGPointMake(size.width / 2, size.height / 2));
    texture->setAnchorPoint(centre);
    texture->sprite()->setAnchorPoint(centre);
    texture->beginWithClear(0, 0, 0, opaque ? 1 : 0);
    scene->visit();
    texture->end();
    return texture;
}

RefPtr<CCFiniteTimeAction> CCTransitionScene::finishAction() {
    return CCCallFunc::actionWithTarget(RefPtr<Object>(this), ccCallSelector(&CCTransitionScene::finish));
}

RefPtr<CCFiniteTimeAction> CCTransitionScene::hideOutShowInAction() {
    return CCCallFunc::actionWithTarget(RefPtr<Object>(this), ccCallSelector(&CCTransitionScene::hideOutShowIn));
}

void CCTransitionScene::runOnOutScene(RefPtr<CCFiniteTimeAction> action) {
    outSceneAction_ = std::move(action);
    outScene_->runAction(outSceneAction_.get());
}

void CCTransitionScene::runOnInScene(RefPtr<CCFiniteTimeAction> action) {
    inSceneAction_ = std::move(action);
    inScene_->runAction(inSceneAction_.get());
}

void CCTransitionScene::finish() {
    inScene_->setVisible(true);
    resetScene(inScene_.get());
    outScene_->setVisible(false);
    resetScene(outScene_.get());
    schedule(ccSelector(&CCTransitionScene::setNewScene), 0);
}

void CCTransitionScene::hideOutShowIn() {
    inScene_->setVisible(true);
    outScene_->setVisible(false);
}

void CCTransitionScene::setNewScene(float) {
    unschedule(ccSelector(&CCTransitionScene::setNewScene));
    CCDirector* director = CCDirector::sharedDirector();
    // A newer transition stands in for this one, which it shows as its outgoing scene: that one
    // decides what runs next, and turns events back on.
    if (director->runningScene() != this) return;
    director->replaceScene(inScene_);
    restoreEvents();
    outScene_->setVisible(true);
}

void CCTransitionScene::resetScene(CCScene* scene) {
    scene->setPosition(CGPointZero);
    scene->setScale(1);
    scene->setRotation(0);
    scene->camera()->restore();
}

void CCTransitionScene::restoreScene(CCScene* scene) {
    resetScene(scene);
    scene->setVisible(true);
    // The grid effect of an interrupted tile or page transition would otherwise stay on.
    auto* grid = dynamic_cast<CCGridBase*>(scene->grid());
    if (grid && grid->active()) grid->setActive(false);
}

ccGridSize CCTransitionScene::tileGridSize() {
    const CGSize size = CCDirector::sharedDirector()->winSize();
    const double aspect = size.height > 0 ? size.width / size.height : 1;
    return {std::max<int64_t>(1, static_cast<int64_t>(12 * aspect)), 12};
}

void CCTransitionScene::restoreEvents() {
    if (!blockedDispatcher_) return;
    blockedDispatcher_->setDispatchEvents(true);
    blockedDispatcher_ = nullptr;
}
