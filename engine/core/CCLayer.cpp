#include "engine/core/CCLayer.h"

#include "engine/core/CCDirector.h"
#include "engine/core/CCEventDispatcher.h"

RefPtr<CCLayer> CCLayer::node() { return makeRef<CCLayer>(); }

CCLayer::CCLayer() {
    setAnchorPoint(CGPointMake(0.5, 0.5));
    setContentSize(CCDirector::sharedDirector()->winSize());
    setIgnoreAnchorPointForPosition(true);
}

void CCLayer::setIsMouseEnabled(bool enabled) { setEnabled(InputKind::mouse, &isMouseEnabled_, enabled); }

void CCLayer::setIsKeyboardEnabled(bool enabled) { setEnabled(InputKind::keyboard, &isKeyboardEnabled_, enabled); }

void CCLayer::setIsTouchEnabled(bool enabled) { setEnabled(InputKind::touch, &isTouchEnabled_, enabled); }

void CCLayer::setEnabled(InputKind kind, bool* flag, bool enabled) {
    if (*flag == enabled) return;
    *flag = enabled;
    if (isRunning()) setRegistered(kind, enabled);
}

void CCLayer::setRegistered(InputKind kind, bool registered) {
    CCEventDispatcher* dispatcher = CCDirector::sharedDirector()->eventDispatcher();
    if (!dispatcher) return;
    switch (kind) {
    case InputKind::mouse:
        if (registered) dispatcher->addMouseDelegate(this, mouseDelegatePriority());
        else dispatcher->removeMouseDelegate(this);
        break;
    case InputKind::keyboard:
        if (registered) dispatcher->addKeyboardDelegate(this, keyboardDelegatePriority());
        else dispatcher->removeKeyboardDelegate(this);
        break;
    case InputKind::touch:
        if (registered) dispatcher->addTouchDelegate(this, touchDelegatePriority());
        else dispatcher->removeTouchDelegate(this);
        break;
    }
}

void CCLayer::onEnter() {
    if (isMouseEnabled_) setRegistered(InputKind::mouse, true);
    if (isKeyboardEnabled_) setRegistered(InputKind::keyboard, true);
    if (isTouchEnabled_) setRegistered(InputKind::touch, true);
    CCNode::onEnter();
}

void CCLayer::onExit() {
    if (isMouseEnabled_) setRegistered(InputKind::mouse, false);
    if (isKeyboardEnabled_) setRegistered(InputKind::keyboard, false);
    if (isTouchEnabled_) setRegistered(InputKind::touch, false);
    CCNode::onExit();
}
