#pragma once

#include <cstdint>

#include "engine/core/CCEventDelegate.h"
#include "engine/core/CCNode.h"

// The node that receives input: the size of the window, placed by its lower-left corner, and,
// while it is running, registered with the director's event dispatcher for each kind of input it
// has enabled (mouse, keyboard, touch) at that kind's priority. Subclasses override the handlers
// of CCEventDelegate.h they want and, to be asked before or after other layers, the priorities.
//
// Registration follows the running state: onEnter registers the enabled kinds, onExit removes
// them, and enabling or disabling a kind while running adds or removes it at once. A priority
// changed while registered takes effect at the next onEnter.
class CCLayer : public CCNode,
                public CCMouseEventDelegate,
                public CCKeyboardEventDelegate,
                public CCTouchEventDelegate {
public:
    static RefPtr<CCLayer> node();

    // The window's size, anchor point (0.5, 0.5) ignored for positioning, no input enabled.
    CCLayer();

    // Lower priorities are offered events first; 0 here.
    virtual int64_t mouseDelegatePriority() const { return 0; }
    virtual int64_t keyboardDelegatePriority() const { return 0; }
    virtual int64_t touchDelegatePriority() const { return 0; }

    bool isMouseEnabled() const { return isMouseEnabled_; }
    void setIsMouseEnabled(bool enabled);
    bool isKeyboardEnabled() const { return isKeyboardEnabled_; }
    void setIsKeyboardEnabled(bool enabled);
    bool isTouchEnabled() const { return isTouchEnabled_; }
    void setIsTouchEnabled(bool enabled);

    // Registers the enabled kinds (mouse, keyboard, touch, in that order), then enters.
    void onEnter() override;
    // Removes the enabled kinds in the same order, then exits.
    void onExit() override;

private:
    enum class InputKind { mouse, keyboard, touch };
    // Adds this layer to the dispatcher's list of the kind at its priority, or removes it. Nothing
    // when the director has no dispatcher.
    void setRegistered(InputKind kind, bool registered);
    // Stores the flag and, while running, registers or removes the kind at once.
    void setEnabled(InputKind kind, bool* flag, bool enabled);

    bool isMouseEnabled_ = false;
    bool isKeyboardEnabled_ = false;
    bool isTouchEnabled_ = false;
};
