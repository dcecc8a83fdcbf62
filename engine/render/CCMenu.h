#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "engine/core/CCLayer.h"
#include "engine/core/CCRGBAProtocol.h"
#include "engine/core/ccTypes.h"

class CCMenuItem;

// Tracking states of a menu.
inline constexpr int32_t kCCMenuStateWaiting = 0;
inline constexpr int32_t kCCMenuStateTrackingTouch = 1;  // a press that began on an item
// The mouse priority of menus: they are offered mouse events before layers at priority 0.
inline constexpr int64_t kCCMenuHandlerPriority = -127;

// A layer of menu items: it takes the left button ahead of ordinary layers, marks the item under
// the pointer selected while the button is held, and activates it when the button is released
// over it. It covers the window and stands at its centre, so an item at (0, 0) is in the middle
// of the screen. It also lays its items out in lines or grids and passes colour and opacity on.
//
// Children are expected to be CCMenuItem objects; other nodes are laid out and tinted but never
// hit. The item under a press is held (retained) until the release, so that removing it from the
// menu meanwhile is safe: the release still unselects and activates it, and an item removed with
// cleanup has no callback left to run.
//
// Engine thread only.
class CCMenu : public CCLayer, public CCRGBAProtocol {
public:
    // Menus from initWithArray. menuWithItems takes the items up to the first null.
    static RefPtr<CCMenu> menuWithArray(const std::vector<RefPtr<CCMenuItem>>& items);
    static RefPtr<CCMenu> menuWithItems(std::initializer_list<RefPtr<CCMenuItem>> items);

    // An empty menu.
    bool init() { return initWithArray({}); }
    // Mouse enabled, the window's size at its centre, and the items as children in order, each
    // with z order equal to its index and its own tag. A null item throws NamedException
    // "NSInvalidArgumentException".
    bool initWithArray(const std::vector<RefPtr<CCMenuItem>>& items);

    // kCCMenuHandlerPriority.
    int64_t mouseDelegatePriority() const override { return kCCMenuHandlerPriority; }
    // Only the left button's press, drag and release.
    uint64_t mouseEventMask() const override;
    // Registers the menu's mouse handling again at `priority`, whether or not it was registered;
    // the next onEnter registers it at mouseDelegatePriority again.
    void setHandlerPriority(int64_t priority);

    // The press, drag and release of the left button, while the menu is visible and enabled
    // (otherwise they answer false and change nothing). A press on an item selects it and is
    // consumed; dragging moves the selection to the item under the pointer (none off every item);
    // the release unselects and activates the selected item. Drags and the release are consumed
    // exactly when the press was.
    bool ccMouseDown(const Event& event) override;
    bool ccMouseDragged(const Event& event) override;
    bool ccMouseUp(const Event& event) override;
    // The first visible, enabled item in children order whose content rectangle holds the
    // event's point (left and bottom edges inside, right and top edges outside); null when none.
    virtual CCMenuItem* itemForMouseEvent(const Event& event);

    // A press in progress ends with its item unselected; then the layer leaves the dispatcher.
    void onExit() override;

    // Lines through the menu's origin in children order, items `padding` points apart (5 by
    // default), using their scaled sizes: top to bottom, or left to right.
    virtual void alignItemsVertically() { alignItemsVerticallyWithPadding(5); }
    virtual void alignItemsVerticallyWithPadding(float padding);
    virtual void alignItemsHorizontally() { alignItemsHorizontallyWithPadding(5); }
    virtual void alignItemsHorizontallyWithPadding(float padding);
    // The grid layouts, with unscaled sizes. Their counts should add up to the number of items:
    // items beyond them are left where they are, and a last row or column that the items do not
    // fill is placed short.
    // Rows from the top, 5 points apart, each holding the given count of items spread evenly
    // across the window's width.
    virtual void alignItemsInColumns(std::initializer_list<uint64_t> rows) { alignItemsInColumnsWithArray(rows); }
    virtual void alignItemsInColumnsWithArray(const std::vector<uint64_t>& rows);
    // Columns from the left, each holding the given count of items from the top.
    virtual void alignItemsInRows(std::initializer_list<uint64_t> columns) { alignItemsInRowsWithArray(columns); }
    virtual void alignItemsInRowsWithArray(const std::vector<uint64_t>& columns);

    // Setting stores the value and passes it to every child that has a colour; reading answers
    // the stored value (black and 0 until set).
    ccColor3B color() const override { return color_; }
    void setColor(ccColor3B color) override;
    uint8_t opacity() const override { return opacity_; }
    void setOpacity(uint8_t opacity) override;

    // A disabled menu ignores the mouse.
    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled) { enabled_ = enabled; }

private:
    // Calls f with each child in children order.
    template <typename F>
    void eachChild(F f) const {
        if (CCArray* nodes = children()) {
            for (Object* node : *nodes) f(static_cast<CCNode*>(node));
        }
    }
    // The line layouts: `direction` 1 places left to right along x, -1 top to bottom along y.
    void alignItemsInLine(int direction, float padding);

    int32_t state_ = kCCMenuStateWaiting;
    RefPtr<CCMenuItem> selectedItem_;  // the item of the press in progress; null otherwise
    uint8_t opacity_ = 0;
    ccColor3B color_{0, 0, 0};
    bool enabled_ = true;
};
