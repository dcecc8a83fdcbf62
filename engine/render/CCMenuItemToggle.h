#pragma once

#include <cstdint>
#include <vector>

#include "engine/core/CCRGBAProtocol.h"
#include "engine/core/ccTypes.h"
#include "engine/render/CCMenuItem.h"

// The selected index of a toggle that shows none of its sub-items.
inline constexpr uint64_t kCCMenuItemToggleNoIndex = UINT64_MAX;

// An item that shows one of its sub-items at a time, as its only child, and steps to the next one
// (wrapping to the first) each time it is activated, before its callback runs; the callback thus
// sees the new index. It takes the shown sub-item's size, with the sub-item at its centre.
//
// A toggle without sub-items shows nothing and its activation does nothing; an index past the
// sub-items is ignored.
//
// Engine thread only.
class CCMenuItemToggle : public CCMenuItem, public CCRGBAProtocol {
public:
    // Toggles from initWithItems; `target` is not retained (see CCMenuItem).
    static RefPtr<CCMenuItemToggle> itemWithTarget(Object* target, SEL_MenuHandler selector,
                                                   std::vector<RefPtr<CCMenuItem>> items);
    static RefPtr<CCMenuItemToggle> itemWithItems(std::vector<RefPtr<CCMenuItem>> items);
    static RefPtr<CCMenuItemToggle> itemWithItems(std::vector<RefPtr<CCMenuItem>> items, CCMenuItemBlock block);

    // Keeps the sub-items and shows the first. A null sub-item throws NamedException
    // "NSInvalidArgumentException".
    bool initWithItems(std::vector<RefPtr<CCMenuItem>> items, CCMenuItemBlock block);

    // Shows sub-item `index`: the shown one leaves without cleanup (it keeps its actions and
    // callback), the new one becomes the child at z order 0, centred, and gives the toggle its
    // size. The current index, or one past the sub-items, changes nothing.
    void setSelectedIndex(uint64_t index);
    // kCCMenuItemToggleNoIndex while none is shown.
    uint64_t selectedIndex() const { return selectedIndex_; }
    // The sub-item at selectedIndex; null when there is none.
    CCMenuItem* selectedItem() const;
    // The sub-item that is now the child; null when none.
    CCMenuItem* currentItem() const { return currentItem_.get(); }
    void setCurrentItem(RefPtr<CCMenuItem> item) { currentItem_ = std::move(item); }
    // The sub-items in order.
    const std::vector<RefPtr<CCMenuItem>>& subItems() const { return subItems_; }
    // Replaces the list; the shown sub-item stays until the index changes. Null entries throw
    // NamedException "NSInvalidArgumentException".
    void setSubItems(std::vector<RefPtr<CCMenuItem>> items);

    // The toggle's own flag, then the shown sub-item's.
    void selected() override;
    void unselected() override;
    // When enabled and not empty: the next sub-item, then the callback.
    void activate() override;
    // On a change, the toggle and every sub-item: a sub-item disabled on its own is enabled with
    // the toggle.
    void setIsEnabled(bool enabled) override;

    // Setting stores the value and passes it to every sub-item that has a colour; reading answers
    // the stored value (black and 0 until set).
    ccColor3B color() const override { return color_; }
    void setColor(ccColor3B color) override;
    uint8_t opacity() const override { return opacity_; }
    void setOpacity(uint8_t opacity) override;

private:
    uint64_t selectedIndex_ = kCCMenuItemToggleNoIndex;
    std::vector<RefPtr<CCMenuItem>> subItems_;
    RefPtr<CCMenuItem> currentItem_;  // also the child; null when none
    uint8_t opacity_ = 0;
    ccColor3B color_{0, 0, 0};
};
