#include "game/core/KSMenuItem.h"

void KSMenuItem::setSizeOffset(double w, double h) {
    sizeOffset_ = {w, h};
    rectOffset_ = CGRectMake(-w, -h, 2 * w, 2 * h);
    updateCachedRect();
}

void KSMenuItem::setSizeOffsets(double top, double right, double bottom, double left) {
    rectOffset_ = CGRectMake(-left, -bottom, left + right, top + bottom);
    sizeOffset_ = {left + right, top + bottom};
    updateCachedRect();
}

void KSMenuItem::updateCachedRect() {
    const CCNode* image = normalImage();
    if (!image) {
        cachedRect_ = CGRectZero;
        return;
    }
    const CGSize size = image->contentSize();
    cachedRect_ = {rectOffset_.origin,
                   {size.width + rectOffset_.size.width, size.height + rectOffset_.size.height}};
}

CGPoint KSMenuItem::convertToNodeSpace(CGPoint worldPoint) {
    CCNode* image = normalImage();
    return image ? image->convertToNodeSpace(worldPoint) : CCMenuItemSprite::convertToNodeSpace(worldPoint);
}

void KSMenuItem::setNormalImage(RefPtr<CCNode> image) {
    if (image == normalImage_) return;
    requireColourAndOpacity(image);
    normalImage_ = std::move(image);
    if (normalImage_) normalImage_->setVisible(true);
    setContentSize(normalImage_ ? normalImage_->contentSize() : CGSizeZero);
    updateCachedRect();
}

void KSMenuItem::setSelectedImage(RefPtr<CCNode> image) { keepHidden(&selectedImage_, std::move(image)); }

void KSMenuItem::setDisabledImage(RefPtr<CCNode> image) { keepHidden(&disabledImage_, std::move(image)); }

void KSMenuItem::keepHidden(RefPtr<CCNode>* slot, RefPtr<CCNode> image) {
    if (image == *slot) return;
    requireColourAndOpacity(image);
    *slot = std::move(image);
    if (*slot) (*slot)->setVisible(false);
}

void KSMenuItem::setIsEnabled(bool enabled) {
    CCMenuItemSprite::setIsEnabled(enabled);
    if (normalImage()) normalImage()->setVisible(enabled);
    if (selectedImage()) selectedImage()->setVisible(false);
    if (disabledImage()) disabledImage()->setVisible(!enabled);
}
