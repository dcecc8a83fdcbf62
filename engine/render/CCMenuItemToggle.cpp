#include "engine/render/CCMenuItemToggle.h"

#include "platform/foundation/NamedException.h"

RefPtr<CCMenuItemToggle> CCMenuItemToggle::itemWithTarget(Object* target, SEL_MenuHandler selector,
                                                          std::vector<RefPtr<CCMenuItem>> items) {
    return itemWithItems(std::move(items), callbackFor(target, selector));
}

RefPtr<CCMenuItemToggle> CCMenuItemToggle::itemWithItems(std::vector<RefPtr<CCMenuItem>> items) {
    return itemWithItems(std::move(items), nullptr);
}

RefPtr<CCMenuItemToggle> CCMenuItemToggle::itemWithItems(std::vector<RefPtr<CCMenuItem>> items,
                                                         CCMenuItemBlock block) {
    auto item = makeRef<CCMenuItemToggle>();
    return item->initWithItems(std::move(items), std::move(block)) ? item : nullptr;
}

bool CCMenuItemToggle::initWithItems(std::vector<RefPtr<CCMenuItem>> items, CCMenuItemBlock block) {
    if (!initWithBlock(std::move(block))) return false;
    setSubItems(std::move(items));
    currentItem_.reset();
    selectedIndex_ = kCCMenuItemToggleNoIndex;
    setSelectedIndex(0);
    return true;
}

void CCMenuItemToggle::setSubItems(std::vector<RefPtr<CCMenuItem>> items) {
    for (const RefPtr<CCMenuItem>& item : items) {
        CC_REQUIRE(item, "NSInvalidArgumentException", "a toggle's sub-item is null");
    }
    subItems_ = std::move(items);
}

void CCMenuItemToggle::setSelectedIndex(uint64_t index) {
    if (index == selectedIndex_ || index >= subItems_.size()) return;
    selectedIndex_ = index;
    if (currentItem_) currentItem_->removeFromParentAndCleanup(false);
    currentItem_ = subItems_[index];
    addChild(currentItem_.get(), 0);
    const CGSize size = currentItem_->contentSize();
    setContentSize(size);
    currentItem_->setPosition(CGPointMake(size.width / 2, size.height / 2));
}

CCMenuItem* CCMenuItemToggle::selectedItem() const {
    return selectedIndex_ < subItems_.size() ? subItems_[selectedIndex_].get() : nullptr;
}

void CCMenuItemToggle::selected() {
    CCMenuItem::selected();
    if (currentItem_) currentItem_->selected();
}

void CCMenuItemToggle::unselected() {
    CCMenuItem::unselected();
    if (currentItem_) currentItem_->unselected();
}

void CCMenuItemToggle::activate() {
    if (!isEnabled() || subItems_.empty()) return;
    setSelectedIndex((selectedIndex_ + 1) % subItems_.size());
    CCMenuItem::activate();
}

void CCMenuItemToggle::setIsEnabled(bool enabled) {
    if (enabled == isEnabled()) return;
    CCMenuItem::setIsEnabled(enabled);
    for (const RefPtr<CCMenuItem>& item : subItems_) item->setIsEnabled(enabled);
}

void CCMenuItemToggle::setColor(ccColor3B color) {
    color_ = color;
    for (const RefPtr<CCMenuItem>& item : subItems_) {
        if (auto* rgba = dynamic_cast<CCRGBAProtocol*>(item.get())) rgba->setColor(color);
    }
}

void CCMenuItemToggle::setOpacity(uint8_t opacity) {
    opacity_ = opacity;
    for (const RefPtr<CCMenuItem>& item : subItems_) {
        if (auto* rgba = dynamic_cast<CCRGBAProtocol*>(item.get())) rgba->setOpacity(opacity);
    }
}
