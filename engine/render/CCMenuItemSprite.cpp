#include "engine/render/CCMenuItemSprite.h"

#include "platform/foundation/NamedException.h"

namespace {

CCRGBAProtocol* rgba(const RefPtr<CCNode>& image) { return dynamic_cast<CCRGBAProtocol*>(image.get()); }

}  // namespace

RefPtr<CCMenuItemSprite> CCMenuItemSprite::itemWithNormalSprite(RefPtr<CCNode> normalSprite,
                                                                RefPtr<CCNode> selectedSprite) {
    return itemWithNormalSprite(std::move(normalSprite), std::move(selectedSprite), nullptr, nullptr);
}

RefPtr<CCMenuItemSprite> CCMenuItemSprite::itemWithNormalSprite(RefPtr<CCNode> normalSprite,
                                                                RefPtr<CCNode> selectedSprite, Object* target,
                                                                SEL_MenuHandler selector) {
    return itemWithNormalSprite(std::move(normalSprite), std::move(selectedSprite), nullptr, target, selector);
}

RefPtr<CCMenuItemSprite> CCMenuItemSprite::itemWithNormalSprite(RefPtr<CCNode> normalSprite,
                                                                RefPtr<CCNode> selectedSprite,
                                                                RefPtr<CCNode> disabledSprite, Object* target,
                                                                SEL_MenuHandler selector) {
    return itemWithNormalSprite(std::move(normalSprite), std::move(selectedSprite), std::move(disabledSprite),
                                callbackFor(target, selector));
}

RefPtr<CCMenuItemSprite> CCMenuItemSprite::itemWithNormalSprite(RefPtr<CCNode> normalSprite,
                                                                RefPtr<CCNode> selectedSprite,
                                                                CCMenuItemBlock block) {
    return itemWithNormalSprite(std::move(normalSprite), std::move(selectedSprite), nullptr, std::move(block));
}

RefPtr<CCMenuItemSprite> CCMenuItemSprite::itemWithNormalSprite(RefPtr<CCNode> normalSprite,
                                                                RefPtr<CCNode> selectedSprite,
                                                                RefPtr<CCNode> disabledSprite,
                                                                CCMenuItemBlock block) {
    auto item = makeRef<CCMenuItemSprite>();
    return item->initWithNormalSprite(std::move(normalSprite), std::move(selectedSprite), std::move(disabledSprite),
                                      std::move(block))
               ? item
               : nullptr;
}

bool CCMenuItemSprite::initWithNormalSprite(RefPtr<CCNode> normalSprite, RefPtr<CCNode> selectedSprite,
                                            RefPtr<CCNode> disabledSprite, Object* target,
                                            SEL_MenuHandler selector) {
    return initWithNormalSprite(std::move(normalSprite), std::move(selectedSprite), std::move(disabledSprite),
                                callbackFor(target, selector));
}

bool CCMenuItemSprite::initWithNormalSprite(RefPtr<CCNode> normalSprite, RefPtr<CCNode> selectedSprite,
                                            RefPtr<CCNode> disabledSprite, CCMenuItemBlock block) {
    if (!initWithBlock(std::move(block))) return false;
    setNormalImage(std::move(normalSprite));
    setSelectedImage(std::move(selectedSprite));
    setDisabledImage(std::move(disabledSprite));
    return true;
}

void CCMenuItemSprite::requireColourAndOpacity(const RefPtr<CCNode>& image) {
    CC_REQUIRE(!image || rgba(image), "NSInvalidArgumentException", "%s has no colour and opacity",
               className(*image).c_str());
}

bool CCMenuItemSprite::replaceImage(RefPtr<CCNode>* slot, RefPtr<CCNode> image) {
    if (image == *slot) return false;
    requireColourAndOpacity(image);
    if (image) image->setAnchorPoint(CGPointZero);
    if (*slot) removeChild(slot->get(), true);
    *slot = std::move(image);
    if (*slot) addChild(slot->get());
    return true;
}

void CCMenuItemSprite::setNormalImage(RefPtr<CCNode> image) {
    if (!replaceImage(&normalImage_, std::move(image))) return;
    setContentSize(normalImage_ ? normalImage_->contentSize() : CGSizeZero);
    updateImagesVisibility();
}

void CCMenuItemSprite::setSelectedImage(RefPtr<CCNode> image) {
    if (replaceImage(&selectedImage_, std::move(image))) updateImagesVisibility();
}

void CCMenuItemSprite::setDisabledImage(RefPtr<CCNode> image) {
    if (replaceImage(&disabledImage_, std::move(image))) updateImagesVisibility();
}

ccColor3B CCMenuItemSprite::color() const {
    return normalImage_ ? rgba(normalImage_)->color() : ccColor3B{0, 0, 0};
}

void CCMenuItemSprite::setColor(ccColor3B color) {
    for (const RefPtr<CCNode>* image : {&normalImage_, &selectedImage_, &disabledImage_}) {
        if (*image) rgba(*image)->setColor(color);
    }
}

uint8_t CCMenuItemSprite::opacity() const { return normalImage_ ? rgba(normalImage_)->opacity() : 0; }

void CCMenuItemSprite::setOpacity(uint8_t opacity) {
    for (const RefPtr<CCNode>* image : {&normalImage_, &selectedImage_, &disabledImage_}) {
        if (*image) rgba(*image)->setOpacity(opacity);
    }
}

void CCMenuItemSprite::showImages(bool normal, bool selected, bool disabled) {
    if (normalImage_) normalImage_->setVisible(normal);
    if (selectedImage_) selectedImage_->setVisible(selected);
    if (disabledImage_) disabledImage_->setVisible(disabled);
}

void CCMenuItemSprite::selected() {
    CCMenuItem::selected();
    showImages(!selectedImage_, true, false);
}

void CCMenuItemSprite::unselected() {
    CCMenuItem::unselected();
    showImages(true, false, false);
}

void CCMenuItemSprite::setIsEnabled(bool enabled) {
    if (enabled == isEnabled()) return;
    CCMenuItem::setIsEnabled(enabled);
    updateImagesVisibility();
}

void CCMenuItemSprite::updateImagesVisibility() {
    if (isEnabled()) showImages(true, false, false);
    else showImages(!disabledImage_, false, true);
}
