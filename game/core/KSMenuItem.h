#pragma once

#include "engine/render/CCMenuItemSprite.h"
#include "platform/foundation/Geometry.h"

// A sprite menu item whose hit area can reach beyond its image, so that small buttons are easy
// to click. The hit area is kept in the normal image's space: the image's rectangle grown by the
// size offsets, recomputed when they or the normal image change.
//
// Its images are not its children: they stay where the caller puts them (usually in a sprite
// batch node, beside the screen's other pictures, drawn in one go), and the item only shows and
// hides them as it is selected, enabled or disabled. The caller places the selected image where
// the normal one is.
//
// Items are made with CCMenuItemSprite's initialisers; the offsets are set afterwards. Engine
// thread only.
class KSMenuItem : public CCMenuItemSprite {
public:
    KSMenuItem() = default;

    // Grows the hit area by w on the left and on the right and by h below and above.
    void setSizeOffset(double w, double h);
    // Grows the hit area by each amount on its side.
    void setSizeOffsets(double top, double right, double bottom, double left);
    // The total width and height added.
    CGPoint sizeOffset() const { return sizeOffset_; }

    // The hit area, in the normal image's space; zero without a normal image.
    CGRect rect() const override { return cachedRect_; }
    // Into the normal image's space (the item's own without one).
    CGPoint convertToNodeSpace(CGPoint worldPoint) override;

    // Each keeps the new image where it is (a different one only): the normal image is shown, gives
    // the item its size and the hit area its rectangle; the selected and disabled images are
    // hidden. An image left is released, not taken from its parent.
    void setNormalImage(RefPtr<CCNode> image) override;
    void setSelectedImage(RefPtr<CCNode> image) override;
    void setDisabledImage(RefPtr<CCNode> image) override;
    // Enabled shows the normal image only; disabled shows only the disabled one, when there is
    // one, and hides the normal image either way.
    void setIsEnabled(bool enabled) override;

private:
    void updateCachedRect();
    // The selected or disabled slot takes the image, hidden.
    void keepHidden(RefPtr<CCNode>* slot, RefPtr<CCNode> image);

    CGPoint sizeOffset_;  // total added width (x) and height (y), points
    CGRect rectOffset_;   // origin: the hit area's lower-left corner from the image's; size: added
    CGRect cachedRect_;
};
