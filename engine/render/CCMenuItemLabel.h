#pragma once

#include <cstdint>
#include <string_view>

#include "engine/core/CCRGBAProtocol.h"
#include "engine/core/ccTypes.h"
#include "engine/render/CCMenuItem.h"

class CCLabelProtocol;

// The tag of the scale action that zooms a label item while it is selected.
inline constexpr int64_t kCCZoomActionTag = 0xC0C05002;

// An item that shows a label (a node with both CCLabelProtocol and CCRGBAProtocol: CCLabelTTF,
// CCLabelAtlas, CCLabelBMFont). The item is the label's size, with the label filling it. While
// selected it zooms to 1.2 times its scale over 0.1 s, and back when unselected; disabled, its
// label is painted in the disabled colour, and selection and activation do nothing.
//
// Engine thread only.
class CCMenuItemLabel : public CCMenuItem, public CCRGBAProtocol {
public:
    // Items from initWithLabel; the first one has no callback.
    static RefPtr<CCMenuItemLabel> itemWithLabel(RefPtr<CCNode> label);
    static RefPtr<CCMenuItemLabel> itemWithLabel(RefPtr<CCNode> label, Object* target, SEL_MenuHandler selector);
    static RefPtr<CCMenuItemLabel> itemWithLabel(RefPtr<CCNode> label, CCMenuItemBlock block);

    // `target` is not retained (see CCMenuItem).
    bool initWithLabel(RefPtr<CCNode> label, Object* target, SEL_MenuHandler selector);
    // Scale 1 remembered, disabled colour (126, 126, 126), then setLabel.
    bool initWithLabel(RefPtr<CCNode> label, CCMenuItemBlock block);

    CCNode* label() const { return label_.get(); }
    // Replaces the label child (the old one leaves with cleanup), anchors the new one at (0, 0)
    // and takes its content size. The current label changes nothing; null only removes the old
    // one. A node without both label protocols throws NamedException "NSInvalidArgumentException".
    void setLabel(RefPtr<CCNode> label);
    // Shows the text and takes the label's new content size.
    void setString(std::string_view text);

    // The label's colour and opacity; black and 0 without a label.
    ccColor3B color() const override;
    void setColor(ccColor3B color) override;
    uint8_t opacity() const override;
    void setOpacity(uint8_t opacity) override;

    // Setting it does not repaint a label that is already disabled.
    ccColor3B disabledColor() const { return disabledColor_; }
    void setDisabledColor(ccColor3B color) { disabledColor_ = color; }

    // Selection zoom; nothing while disabled. Selecting again before an unselect keeps the scale
    // remembered by a zoom still running, but remembers the zoomed scale of one that has ended.
    void selected() override;
    void unselected() override;
    // Stops every action, puts the remembered scale back at once, then runs the callback; nothing
    // while disabled.
    void activate() override;
    // On a change, paints the label in the disabled colour (keeping its colour) or back in the
    // kept colour.
    void setIsEnabled(bool enabled) override;

private:
    // Runs a 0.1 s zoom to `scale` under kCCZoomActionTag.
    void zoomTo(float scale);

    RefPtr<CCNode> label_;                     // also a child; null when none
    CCLabelProtocol* labelText_ = nullptr;     // label_'s interfaces
    CCRGBAProtocol* labelColor_ = nullptr;
    ccColor3B colorBackup_{255, 255, 255};     // the label's colour while disabled
    ccColor3B disabledColor_{126, 126, 126};
    float originalScale_ = 1;                  // the scale before the selection zoom
};
