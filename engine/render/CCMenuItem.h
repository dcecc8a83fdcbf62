#pragma once

#include <functional>

#include "engine/core/CCNode.h"
#include "platform/foundation/Geometry.h"

class CCMenuItem;

// What an item runs when it is activated; the argument is the item (the sender).
using CCMenuItemBlock = std::function<void(CCMenuItem* sender)>;
// A method that an item calls on its target with itself as the argument. Make one with
// ccCallSelector (engine/actions/instant/CCCallFunc.h) from a `void (T::*)(Object* sender)`.
using SEL_MenuHandler = void (Object::*)(Object* sender);

// A node that a CCMenu holds: it runs its callback when activated, can be disabled, and is marked
// selected while the menu's pointer is held over it. Subclasses draw it (labels, images) and
// change how selection and disabling look.
//
// The callback is a block, or a target and selector wrapped into one. A target given to the
// initialisers is not retained: it must outlive the item, or the item must be cleaned up first.
//
// Engine thread only.
class CCMenuItem : public CCNode {
public:
    // Items from the initialisers below; a null target or selector makes an item that runs
    // nothing.
    static RefPtr<CCMenuItem> itemWithTarget(Object* target, SEL_MenuHandler selector);
    static RefPtr<CCMenuItem> itemWithBlock(CCMenuItemBlock block);

    // Enabled, unselected, anchor point (0.5, 0.5), no callback.
    CCMenuItem();

    // Enabled and unselected with the callback: none, a call of `selector` on `target` (not
    // retained; the call is (target->*selector)(item)), or the block.
    bool init() { return initWithBlock(nullptr); }
    bool initWithTarget(Object* target, SEL_MenuHandler selector);
    bool initWithBlock(CCMenuItemBlock block);

    // Replaces the callback; null runs nothing.
    void setBlock(CCMenuItemBlock block) { block_ = std::move(block); }
    // Replaces the callback with a call of `selector` on `target`, which is retained while the
    // callback is stored.
    void setTarget(RefPtr<Object> target, SEL_MenuHandler selector);

    // Drops the callback for good, then cleans up as a node: an item removed from its menu with
    // cleanup runs nothing when activated later.
    void cleanup() override;

    // The selected flag, which the menu sets while its pointer is held over the item.
    virtual void selected() { isSelected_ = true; }
    virtual void unselected() { isSelected_ = false; }
    bool isSelected() const { return isSelected_; }

    // Runs the callback with this item when the item is enabled. The callback may remove the item
    // from its menu, with cleanup, while it runs.
    virtual void activate();

    virtual void setIsEnabled(bool enabled) { isEnabled_ = enabled; }
    bool isEnabled() const { return isEnabled_; }

    // The content rectangle placed by the anchor point in the parent's space, without scale or
    // rotation.
    virtual CGRect rect() const;

protected:
    // The callback of the target/selector initialisers: calls `selector` on `target`, which it does
    // not retain; none when either is null.
    static CCMenuItemBlock callbackFor(Object* target, SEL_MenuHandler selector);

private:
    CCMenuItemBlock block_;  // null: nothing to run
    bool isEnabled_ = true;
    bool isSelected_ = false;
};
