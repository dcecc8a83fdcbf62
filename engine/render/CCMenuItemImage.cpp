#include "engine/render/CCMenuItemImage.h"

#include "engine/render/CCSprite.h"

namespace {

// A sprite of the file; none for an empty name or a file that cannot be loaded.
RefPtr<CCNode> spriteOf(const std::string& file) {
    if (file.empty()) return nullptr;
    return CCSprite::spriteWithFile(file);
}

}  // namespace

RefPtr<CCMenuItemImage> CCMenuItemImage::itemWithNormalImage(const std::string& normalImage,
                                                             const std::string& selectedImage) {
    return itemWithNormalImage(normalImage, selectedImage, "", nullptr);
}

RefPtr<CCMenuItemImage> CCMenuItemImage::itemWithNormalImage(const std::string& normalImage,
                                                             const std::string& selectedImage, Object* target,
                                                             SEL_MenuHandler selector) {
    return itemWithNormalImage(normalImage, selectedImage, "", target, selector);
}

RefPtr<CCMenuItemImage> CCMenuItemImage::itemWithNormalImage(const std::string& normalImage,
                                                             const std::string& selectedImage,
                                                             const std::string& disabledImage) {
    return itemWithNormalImage(normalImage, selectedImage, disabledImage, nullptr);
}

RefPtr<CCMenuItemImage> CCMenuItemImage::itemWithNormalImage(const std::string& normalImage,
                                                             const std::string& selectedImage,
                                                             const std::string& disabledImage, Object* target,
                                                             SEL_MenuHandler selector) {
    return itemWithNormalImage(normalImage, selectedImage, disabledImage, callbackFor(target, selector));
}

RefPtr<CCMenuItemImage> CCMenuItemImage::itemWithNormalImage(const std::string& normalImage,
                                                             const std::string& selectedImage,
                                                             CCMenuItemBlock block) {
    return itemWithNormalImage(normalImage, selectedImage, "", std::move(block));
}

RefPtr<CCMenuItemImage> CCMenuItemImage::itemWithNormalImage(const std::string& normalImage,
                                                             const std::string& selectedImage,
                                                             const std::string& disabledImage,
                                                             CCMenuItemBlock block) {
    auto item = makeRef<CCMenuItemImage>();
    return item->initWithNormalImage(normalImage, selectedImage, disabledImage, std::move(block)) ? item : nullptr;
}

bool CCMenuItemImage::initWithNormalImage(const std::string& normalImage, const std::string& selectedImage,
                                          const std::string& disabledImage, Object* target,
                                          SEL_MenuHandler selector) {
    return initWithNormalImage(normalImage, selectedImage, disabledImage, callbackFor(target, selector));
}

bool CCMenuItemImage::initWithNormalImage(const std::string& normalImage, const std::string& selectedImage,
                                          const std::string& disabledImage, CCMenuItemBlock block) {
    RefPtr<CCNode> normal = spriteOf(normalImage);
    return normal &&
           initWithNormalSprite(std::move(normal), spriteOf(selectedImage), spriteOf(disabledImage), std::move(block));
}

void CCMenuItemImage::setNormalSpriteFrame(const CCSpriteFrame* frame) {
    setNormalImage(CCSprite::spriteWithSpriteFrame(frame));
}

void CCMenuItemImage::setSelectedSpriteFrame(const CCSpriteFrame* frame) {
    setSelectedImage(CCSprite::spriteWithSpriteFrame(frame));
}

void CCMenuItemImage::setDisabledSpriteFrame(const CCSpriteFrame* frame) {
    setDisabledImage(CCSprite::spriteWithSpriteFrame(frame));
}
