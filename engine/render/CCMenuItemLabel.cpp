#include "engine/render/CCMenuItemLabel.h"

#include "engine/actions/interval/CCScaleTo.h"
#include "engine/core/CCLabelProtocol.h"
#include "platform/foundation/NamedException.h"

RefPtr<CCMenuItemLabel> CCMenuItemLabel::itemWithLabel(RefPtr<CCNode> label) {
    return itemWithLabel(std::move(label), nullptr);
}

RefPtr<CCMenuItemLabel> CCMenuItemLabel::itemWithLabel(RefPtr<CCNode> label, Object* target,
                                                       SEL_MenuHandler selector) {
    return itemWithLabel(std::move(label), callbackFor(target, selector));
}

RefPtr<CCMenuItemLabel> CCMenuItemLabel::itemWithLabel(RefPtr<CCNode> label, CCMenuItemBlock block) {
    auto item = makeRef<CCMenuItemLabel>();
    return item->initWithLabel(std::move(label), std::move(block)) ? item : nullptr;
}

bool CCMenuItemLabel::initWithLabel(RefPtr<CCNode> label, Object* target, SEL_MenuHandler selector) {
    return initWithLabel(std::move(label), callbackFor(target, selector));
}

bool CCMenuItemLabel::initWithLabel(RefPtr<CCNode> label, CCMenuItemBlock block) {
    if (!initWithBlock(std::move(block))) return false;
    originalScale_ = 1;
    colorBackup_ = {255, 255, 255};
    disabledColor_ = {126, 126, 126};
    setLabel(std::move(label));
    return true;
}

void CCMenuItemLabel::setLabel(RefPtr<CCNode> label) {
    if (label == label_) return;
    auto* text = dynamic_cast<CCLabelProtocol*>(label.get());
    auto* colour = dynamic_cast<CCRGBAProtocol*>(label.get());
    CC_REQUIRE(!label || (text && colour), "NSInvalidArgumentException", "%s is not a label with a colour",
               className(*label).c_str());
    if (label_) removeChild(label_.get(), true);
    label_ = std::move(label);
    labelText_ = text;
    labelColor_ = colour;
    if (!label_) return;
    addChild(label_.get());
    label_->setAnchorPoint(CGPointZero);
    setContentSize(label_->contentSize());
}

void CCMenuItemLabel::setString(std::string_view text) {
    if (!label_) return;
    labelText_->setString(text);
    setContentSize(label_->contentSize());
}

ccColor3B CCMenuItemLabel::color() const { return labelColor_ ? labelColor_->color() : ccColor3B{0, 0, 0}; }

void CCMenuItemLabel::setColor(ccColor3B color) {
    if (labelColor_) labelColor_->setColor(color);
}

uint8_t CCMenuItemLabel::opacity() const { return labelColor_ ? labelColor_->opacity() : 0; }

void CCMenuItemLabel::setOpacity(uint8_t opacity) {
    if (labelColor_) labelColor_->setOpacity(opacity);
}

void CCMenuItemLabel::zoomTo(float scale) {
    RefPtr<CCScaleTo> zoom = CCScaleTo::actionWithDuration(0.1f, scale);
    zoom->setTag(kCCZoomActionTag);
    runAction(zoom.get());
}

void CCMenuItemLabel::selected() {
    if (!isEnabled()) return;
    CCMenuItem::selected();
    if (CCAction* zoom = getActionByTag(kCCZoomActionTag)) {
        stopAction(zoom);
    } else {
        originalScale_ = scale();
    }
    zoomTo(originalScale_ * 1.2f);
}

void CCMenuItemLabel::unselected() {
    if (!isEnabled()) return;
    CCMenuItem::unselected();
    stopActionByTag(kCCZoomActionTag);
    zoomTo(originalScale_);
}

void CCMenuItemLabel::activate() {
    if (!isEnabled()) return;
    stopAllActions();
    setScale(originalScale_);
    CCMenuItem::activate();
}

void CCMenuItemLabel::setIsEnabled(bool enabled) {
    if (enabled != isEnabled()) {
        if (!enabled) colorBackup_ = color();
        setColor(enabled ? colorBackup_ : disabledColor_);
    }
    CCMenuItem::setIsEnabled(enabled);
}
