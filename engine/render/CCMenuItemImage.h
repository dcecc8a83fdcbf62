#pragma once

#include <string>

#include "engine/render/CCMenuItemSprite.h"

class CCSpriteFrame;

// A sprite item whose images are sprites made from image files or sprite frames. An empty file
// name means no such image.
//
// Engine thread only.
class CCMenuItemImage : public CCMenuItemSprite {
public:
    // Items from initWithNormalImage, null where it fails; the missing images and callback are
    // none.
    static RefPtr<CCMenuItemImage> itemWithNormalImage(const std::string& normalImage,
                                                       const std::string& selectedImage);
    static RefPtr<CCMenuItemImage> itemWithNormalImage(const std::string& normalImage,
                                                       const std::string& selectedImage, Object* target,
                                                       SEL_MenuHandler selector);
    static RefPtr<CCMenuItemImage> itemWithNormalImage(const std::string& normalImage,
                                                       const std::string& selectedImage,
                                                       const std::string& disabledImage);
    static RefPtr<CCMenuItemImage> itemWithNormalImage(const std::string& normalImage,
                                                       const std::string& selectedImage,
                                                       const std::string& disabledImage, Object* target,
                                                       SEL_MenuHandler selector);
    static RefPtr<CCMenuItemImage> itemWithNormalImage(const std::string& normalImage,
                                                       const std::string& selectedImage, CCMenuItemBlock block);
    static RefPtr<CCMenuItemImage> itemWithNormalImage(const std::string& normalImage,
                                                       const std::string& selectedImage,
                                                       const std::string& disabledImage, CCMenuItemBlock block);

    // `target` is not retained (see CCMenuItem).
    bool initWithNormalImage(const std::string& normalImage, const std::string& selectedImage,
                             const std::string& disabledImage, Object* target, SEL_MenuHandler selector);
    // Sprites of the named files (the texture cache logs those it cannot load), then the sprite
    // item's initialiser. False when the normal image cannot be loaded; a selected or disabled
    // image that cannot be is left out.
    bool initWithNormalImage(const std::string& normalImage, const std::string& selectedImage,
                             const std::string& disabledImage, CCMenuItemBlock block);

    // Install a sprite of the frame as the matching image; a null frame installs an empty sprite.
    void setNormalSpriteFrame(const CCSpriteFrame* frame);
    void setSelectedSpriteFrame(const CCSpriteFrame* frame);
    void setDisabledSpriteFrame(const CCSpriteFrame* frame);
};
