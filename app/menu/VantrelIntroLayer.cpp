#include "app/menu/VantrelIntroLayer.h"

#include "app/menu/VantrelMenuLayer.h"
#include "engine/core/CCDirector.h"
#include "engine/core/CCScene.h"
#include "engine/core/CCTextureCache.h"
#include "engine/render/CCSprite.h"
#include "platform/foundation/Log.h"

RefPtr<CCScene> VantrelIntroLayer::scene() {
    RefPtr<CCScene> scene = CCScene::node();
    const RefPtr<VantrelIntroLayer> layer = makeRef<VantrelIntroLayer>();
    layer->init();
    scene->addChild(layer.get());
    return scene;
}

bool VantrelIntroLayer::init() {
    background_ = CCSprite::spriteWithFile(kSplashPicture);
    if (!background_) {
        logLine("Vantrel: the splash picture \"%s\" is missing", kSplashPicture);
        return true;
    }
    const CGSize size = CCDirector::sharedDirector()->winSize();
    background_->setScale(static_cast<float>(size.width / VantrelMenuLayer::kDesignWidth));
    background_->setPosition({size.width / 2, size.height / 2});
    addChild(background_.get());
    return true;
}

VantrelIntroLayer::~VantrelIntroLayer() {
    if (!background_) return;
    const RefPtr<CCTexture2D> texture(background_->texture());
    background_.reset();
    if (texture) CCTextureCache::sharedTextureCache()->removeTexture(texture.get());
}

void VantrelIntroLayer::onEnter() {
    CCLayer::onEnter();
    scheduleOnce(ccSelector(&VantrelIntroLayer::loadMenu), kSplashSeconds);
}

void VantrelIntroLayer::loadMenu(float /*dt*/) { CCDirector::sharedDirector()->replaceScene(VantrelMenuLayer::scene()); }
