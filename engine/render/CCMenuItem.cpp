#include "engine/render/CCMenuItem.h"

RefPtr<CCMenuItem> CCMenuItem::itemWithTarget(Object* target, SEL_MenuHandler selector) {
    auto item = makeRef<CCMenuItem>();
    return item->initWithTarget(target, selector) ? item : nullptr;
}

RefPtr<CCMenuItem> CCMenuItem::itemWithBlock(CCMenuItemBlock block) {
    auto item = makeRef<CCMenuItem>();
    return item->initWithBlock(std::move(block)) ? item : nullptr;
}

CCMenuItem::CCMenuItem() { setAnchorPoint(CGPointMake(0.5, 0.5)); }

bool CCMenuItem::initWithTarget(Object* target, SEL_MenuHandler selector) {
    return initWithBlock(callbackFor(target, selector));
}

bool CCMenuItem::initWithBlock(CCMenuItemBlock block) {
    block_ = std::move(block);
    isEnabled_ = true;
    isSelected_ = false;
    return true;
}

void CCMenuItem::setTarget(RefPtr<Object> target, SEL_MenuHandler selector) {
    if (!target || !selector) return setBlock(nullptr);
    setBlock([target, selector](CCMenuItem* sender) { (target.get()->*selector)(sender); });
}

CCMenuItemBlock CCMenuItem::callbackFor(Object* target, SEL_MenuHandler selector) {
    if (!target || !selector) return nullptr;
    return [target, selector](CCMenuItem* sender) { (target->*selector)(sender); };
}

void CCMenuItem::cleanup() {
    block_ = nullptr;
    CCNode::cleanup();
}

void CCMenuItem::activate() {
    if (!isEnabled_ || !block_) return;
    // A copy, so that a callback that cleans this item up does not destroy the function it runs in.
    const CCMenuItemBlock block = block_;
    block(this);
}

CGRect CCMenuItem::rect() const {
    const CGSize size = contentSize();
    const CGPoint anchor = anchorPoint();
    return CGRectMake(position().x - anchor.x * size.width, position().y - anchor.y * size.height, size.width,
                      size.height);
}
