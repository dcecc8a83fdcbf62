#include "engine/core/CCScene.h"

#include "engine/core/CCDirector.h"

RefPtr<CCScene> CCScene::node() { return makeRef<CCScene>(); }

CCScene::CCScene() {
    setIgnoreAnchorPointForPosition(true);
    setAnchorPoint(CGPointMake(0.5, 0.5));
    setContentSize(CCDirector::sharedDirector()->winSize());
}
