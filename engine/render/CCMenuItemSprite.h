#pragma once

#include <cstdint>

#include "engine/core/CCRGBAProtocol.h"
#include "engine/core/ccTypes.h"
#include "engine/render/CCMenuItem.h"

// An item drawn by up to three image nodes (each with CCRGBAProtocol, usually sprites): the
// normal image, shown while the item is enabled and not selected; the selected image, shown
// instead while it is selected; and the disabled image, shown while it is disabled (the normal
// one when there is none). The images fill the item, which is the normal image's size.
//
// Engine thread only.
class CCMenuItemSprite : public CCMenuItem, public CCRGBAProtocol {
public:
    // Items from initWithNormalSprite; the missing images and callback are null.
    static RefPtr<CCMenuItemSprite> itemWithNormalSprite(RefPtr<CCNode> normalSprite, RefPtr<CCNode> selectedSprite);
    static RefPtr<CCMenuItemSprite> itemWithNormalSprite(RefPtr<CCNode> normalSprite, RefPtr<CCNode> selectedSprite,
                                                         Object* target, SEL_MenuHandler selector);
    static RefPtr<CCMenuItemSprite> itemWithNormalSprite(RefPtr<CCNode> normalSprite, RefPtr<CCNode> selectedSprite,
                                                         RefPtr<CCNode> disabledSprite, Object* target,
                                                         SEL_MenuHandler selector);
    static RefPtr<CCMenuItemSprite> itemWithNormalSprite(RefPtr<CCNode> normalSprite, RefPtr<CCNode> selectedSprite,
                                                         CCMenuItemBlock block);
    static RefPtr<CCMenuItemSprite> itemWithNormalSprite(RefPtr<CCNode> normalSprite, RefPtr<CCNode> selectedSprite,
                                                         RefPtr<CCNode> disabledSprite, CCMenuItemBlock block);

    // `target` is not retained (see CCMenuItem).
    bool initWithNormalSprite(RefPtr<CCNode> normalSprite, RefPtr<CCNode> selectedSprite,
                              RefPtr<CCNode> disabledSprite, Object* target, SEL_MenuHandler selector);
    // Installs the three images in that order; the item takes the normal image's size.
    bool initWithNormalSprite(RefPtr<CCNode> normalSprite, RefPtr<CCNode> selectedSprite,
                              RefPtr<CCNode> disabledSprite, CCMenuItemBlock block);

    // The images; null when absent.
    CCNode* normalImage() const { return normalImage_.get(); }
    CCNode* selectedImage() const { return selectedImage_.get(); }
    CCNode* disabledImage() const { return disabledImage_.get(); }
    // Each replaces its image child (the old one leaves with cleanup; the new one keeps its own z
    // order and tag and is anchored at (0, 0)) and shows the images that the state calls for. The
    // current image changes nothing; null only removes the old one. The normal image also gives
    // the item its size. A node without CCRGBAProtocol throws NamedException
    // "NSInvalidArgumentException".
    virtual void setNormalImage(RefPtr<CCNode> image);
    virtual void setSelectedImage(RefPtr<CCNode> image);
    virtual void setDisabledImage(RefPtr<CCNode> image);

    // Setting passes the value to every image; reading asks the normal image (black and 0
    // without one).
    ccColor3B color() const override;
    void setColor(ccColor3B color) override;
    uint8_t opacity() const override;
    void setOpacity(uint8_t opacity) override;

    // Show the selected image (the normal one when there is none) and back; no enabled check, as
    // the menu never selects a disabled item.
    void selected() override;
    void unselected() override;
    // On a change, shows the images of the new state.
    void setIsEnabled(bool enabled) override;
    // Enabled: the normal image. Disabled: the disabled image, or the normal one without it.
    void updateImagesVisibility();

protected:
    // Throws NamedException "NSInvalidArgumentException" for a node without colour and opacity.
    static void requireColourAndOpacity(const RefPtr<CCNode>& image);

    // Children here (a subclass may keep images that stay elsewhere); null when absent.
    RefPtr<CCNode> normalImage_;
    RefPtr<CCNode> selectedImage_;
    RefPtr<CCNode> disabledImage_;

private:
    // Puts `image` in place of the one in `slot`; false when it is the same one.
    bool replaceImage(RefPtr<CCNode>* slot, RefPtr<CCNode> image);
    // Each image that exists shown or hidden.
    void showImages(bool normal, bool selected, bool disabled);
};
