#pragma once

#include <cstdint>
#include <mutex>
#include <type_traits>
#include <vector>

#include "engine/core/CCEventDelegate.h"
#include "platform/foundation/Object.h"
#include "platform/window/Event.h"

class CCEventObject;

// Offers each input event to the delegates registered for its kind (mouse, keyboard, touch), in
// ascending priority, until one consumes it.
//
// Registrations and removals made while an event is being delivered (from a handler, say) are
// queued and take effect when the outermost delivery ends, so a delivery always walks the list
// as it was when it began: a delegate added during it is not offered that event, and one removed
// during it still is, if its turn comes. A delegate is retained while it is listed or queued.
//
// Thread safety: one recursive lock guards the lists and every delivery, so registrations from
// other threads wait for the delivery under way. Handlers run on the delivering thread.
class CCEventDispatcher : public Object, public CCEventDelegate {
public:
    CCEventDispatcher() = default;
    ~CCEventDispatcher() override;

    // Registration of an object that is both an Object and the delegate interface; the object is
    // retained while it is listed. Lower priorities are offered events first; equal priorities keep
    // registration order. Registering a delegate twice lists it twice. Null does nothing. Taken as a
    // raw pointer because layers and menus register themselves.
    template <class T>
    void addMouseDelegate(T* delegate, int64_t priority) {
        static_assert(std::is_base_of_v<Object, T> && std::is_base_of_v<CCMouseEventDelegate, T>);
        addMouseDelegate(static_cast<Object*>(delegate), static_cast<CCMouseEventDelegate*>(delegate), priority);
    }
    template <class T>
    void addKeyboardDelegate(T* delegate, int64_t priority) {
        static_assert(std::is_base_of_v<Object, T> && std::is_base_of_v<CCKeyboardEventDelegate, T>);
        addKeyboardDelegate(static_cast<Object*>(delegate), static_cast<CCKeyboardEventDelegate*>(delegate), priority);
    }
    template <class T>
    void addTouchDelegate(T* delegate, int64_t priority) {
        static_assert(std::is_base_of_v<Object, T> && std::is_base_of_v<CCTouchEventDelegate, T>);
        addTouchDelegate(static_cast<Object*>(delegate), static_cast<CCTouchEventDelegate*>(delegate), priority);
    }
    // `owner` is the object that `delegate` is an interface of.
    void addMouseDelegate(Object* owner, CCMouseEventDelegate* delegate, int64_t priority);
    void addKeyboardDelegate(Object* owner, CCKeyboardEventDelegate* delegate, int64_t priority);
    void addTouchDelegate(Object* owner, CCTouchEventDelegate* delegate, int64_t priority);

    // Removes the first entry of the object from the list; nothing when it is not listed.
    void removeMouseDelegate(Object* delegate);
    void removeKeyboardDelegate(Object* delegate);
    void removeTouchDelegate(Object* delegate);

    void removeAllMouseDelegates();
    void removeAllKeyboardDelegates();
    void removeAllTouchDelegates();

    // Delivers the event to its entry point while delivery is on; drops it otherwise. Null does
    // nothing.
    void dispatchEvent(CCEventObject* eventObject);

    // Delivery on (the default) or off. Events offered while it is off are dropped, not kept.
    bool dispatchEvents() const;
    void setDispatchEvents(bool dispatchEvents);

    // Entry points: each offers the event to its list's delegates that have the matching handler.
    void mouseDown(const Event& event) override;
    void mouseUp(const Event& event) override;
    void mouseMoved(const Event& event) override;
    void mouseDragged(const Event& event) override;
    void rightMouseDown(const Event& event) override;
    void rightMouseDragged(const Event& event) override;
    void rightMouseUp(const Event& event) override;
    void otherMouseDown(const Event& event) override;
    void otherMouseDragged(const Event& event) override;
    void otherMouseUp(const Event& event) override;
    void scrollWheel(const Event& event) override;
    void mouseEntered(const Event& event) override;
    void mouseExited(const Event& event) override;
    void keyDown(const Event& event) override;
    void keyUp(const Event& event) override;
    void flagsChanged(const Event& event) override;
    void touchesBeganWithEvent(const Event& event) override;
    void touchesMovedWithEvent(const Event& event) override;
    void touchesEndedWithEvent(const Event& event) override;
    void touchesCancelledWithEvent(const Event& event) override;

private:
    template <class D>
    struct DelegateList {
        struct Entry {
            RefPtr<Object> owner;  // identity of the delegate, retained
            D* delegate;           // the owner's interface
            int64_t priority;
            uint64_t flags;        // handler bits, probed at registration
        };
        std::vector<Entry> entries;  // ascending priority, registration order among equals
        // Changes asked for during a delivery, applied when it ends in this order: the clear, the
        // removals, the additions. A clear drops the changes queued before it.
        bool clearLater = false;
        std::vector<RefPtr<Object>> removeLater;
        std::vector<Entry> addLater;
    };

    // Counts a delivery under way; the outermost one applies the queued changes when it ends.
    class DeliveryScope;

    template <class D>
    void add(DelegateList<D>& list, Object* owner, D* delegate, int64_t priority, uint64_t flags);
    template <class D>
    void remove(DelegateList<D>& list, Object* owner);
    template <class D>
    void removeAll(DelegateList<D>& list);
    template <class D>
    void offer(DelegateList<D>& list, uint64_t bit, bool (D::*handler)(const Event&), const Event& event);
    void applyQueuedChanges();

    mutable std::recursive_mutex mutex_;
    bool dispatchEvents_ = true;
    int deliveryDepth_ = 0;  // nested deliveries under way; changes are queued while above 0
    DelegateList<CCKeyboardEventDelegate> keyboardDelegates_;
    DelegateList<CCMouseEventDelegate> mouseDelegates_;
    DelegateList<CCTouchEventDelegate> touchDelegates_;
};
