#include "engine/core/CCEventDispatcher.h"

#include <algorithm>
#include <utility>

#include "engine/core/CCEventObject.h"

class CCEventDispatcher::DeliveryScope {
public:
    explicit DeliveryScope(CCEventDispatcher& dispatcher) : dispatcher_(dispatcher) { ++dispatcher_.deliveryDepth_; }
    ~DeliveryScope() {
        if (--dispatcher_.deliveryDepth_ == 0) dispatcher_.applyQueuedChanges();
    }
    DeliveryScope(const DeliveryScope&) = delete;
    DeliveryScope& operator=(const DeliveryScope&) = delete;

private:
    CCEventDispatcher& dispatcher_;
};

namespace {

// Every operation below that lets go of a delegate first takes it out of the list, then releases
// it: the release may destroy the delegate, whose destructor may come back to the dispatcher.

template <class T>
void releaseAll(std::vector<T>& items) {
    std::vector<T> released;
    released.swap(items);
}

template <class Entry>
void insertByPriority(std::vector<Entry>& entries, Entry entry) {
    auto after = std::find_if(entries.begin(), entries.end(),
                              [&](const Entry& e) { return e.priority > entry.priority; });
    entries.insert(after, std::move(entry));
}

template <class Entry>
void removeFirst(std::vector<Entry>& entries, Object* owner) {
    auto found = std::find_if(entries.begin(), entries.end(), [&](const Entry& e) { return e.owner.get() == owner; });
    if (found == entries.end()) return;
    RefPtr<Object> released = std::move(found->owner);
    entries.erase(found);
}

template <class Entry>
bool isListed(const std::vector<Entry>& entries, Object* owner) {
    return std::any_of(entries.begin(), entries.end(), [&](const Entry& e) { return e.owner.get() == owner; });
}

template <class List>
void applyQueued(List& list) {
    const bool clear = std::exchange(list.clearLater, false);
    auto removals = std::exchange(list.removeLater, {});
    auto additions = std::exchange(list.addLater, {});
    if (clear) releaseAll(list.entries);
    for (const RefPtr<Object>& owner : removals) removeFirst(list.entries, owner.get());
    for (auto& entry : additions) insertByPriority(list.entries, std::move(entry));
}

}  // namespace

CCEventDispatcher::~CCEventDispatcher() {
    // Taken out before they are released, so that a delegate unregistering itself from its
    // destructor finds empty lists.
    auto keyboard = std::move(keyboardDelegates_);
    auto mouse = std::move(mouseDelegates_);
    auto touch = std::move(touchDelegates_);
}

template <class D>
void CCEventDispatcher::add(DelegateList<D>& list, Object* owner, D* delegate, int64_t priority, uint64_t flags) {
    using Entry = typename DelegateList<D>::Entry;
    Entry entry{RefPtr<Object>(owner), delegate, priority, flags};
    if (deliveryDepth_ == 0) {
        insertByPriority(list.entries, std::move(entry));
        return;
    }
    // Added back after a removal in the same delivery: the delegate keeps its place and priority.
    auto removal = std::find(list.removeLater.begin(), list.removeLater.end(), owner);
    if (removal != list.removeLater.end() && isListed(list.entries, owner)) {
        list.removeLater.erase(removal);
        return;
    }
    list.addLater.push_back(std::move(entry));
}

template <class D>
void CCEventDispatcher::remove(DelegateList<D>& list, Object* owner) {
    if (deliveryDepth_ == 0) {
        removeFirst(list.entries, owner);
        return;
    }
    // Removed after an addition in the same delivery: the addition is cancelled.
    if (isListed(list.addLater, owner)) {
        removeFirst(list.addLater, owner);
        return;
    }
    list.removeLater.emplace_back(owner);
}

template <class D>
void CCEventDispatcher::removeAll(DelegateList<D>& list) {
    if (deliveryDepth_ == 0) {
        releaseAll(list.entries);
        return;
    }
    list.clearLater = true;
    releaseAll(list.removeLater);
    releaseAll(list.addLater);
}

template <class D>
void CCEventDispatcher::offer(DelegateList<D>& list, uint64_t bit, bool (D::*handler)(const Event&),
                              const Event& event) {
    std::lock_guard lock(mutex_);
    if (!dispatchEvents_) return;
    DeliveryScope delivery(*this);
    // The list does not change during the walk: every change is queued until the delivery ends,
    // and each listed delegate stays retained by its entry until then.
    for (const auto& entry : list.entries) {
        if ((entry.flags & bit) && (entry.delegate->*handler)(event)) break;
    }
}

void CCEventDispatcher::applyQueuedChanges() {
    applyQueued(keyboardDelegates_);
    applyQueued(mouseDelegates_);
    applyQueued(touchDelegates_);
}

void CCEventDispatcher::addMouseDelegate(Object* owner, CCMouseEventDelegate* delegate, int64_t priority) {
    if (!owner || !delegate) return;
    std::lock_guard lock(mutex_);
    add(mouseDelegates_, owner, delegate, priority, delegate->mouseEventMask() & kCCAllMouseEventsMask);
}

void CCEventDispatcher::addKeyboardDelegate(Object* owner, CCKeyboardEventDelegate* delegate, int64_t priority) {
    if (!owner || !delegate) return;
    std::lock_guard lock(mutex_);
    add(keyboardDelegates_, owner, delegate, priority, delegate->keyboardEventMask() & kCCAllKeyboardEventsMask);
}

void CCEventDispatcher::addTouchDelegate(Object* owner, CCTouchEventDelegate* delegate, int64_t priority) {
    if (!owner || !delegate) return;
    std::lock_guard lock(mutex_);
    add(touchDelegates_, owner, delegate, priority, delegate->touchEventMask() & kCCAllTouchEventsMask);
}

void CCEventDispatcher::removeMouseDelegate(Object* delegate) {
    if (!delegate) return;
    std::lock_guard lock(mutex_);
    remove(mouseDelegates_, delegate);
}

void CCEventDispatcher::removeKeyboardDelegate(Object* delegate) {
    if (!delegate) return;
    std::lock_guard lock(mutex_);
    remove(keyboardDelegates_, delegate);
}

void CCEventDispatcher::removeTouchDelegate(Object* delegate) {
    if (!delegate) return;
    std::lock_guard lock(mutex_);
    remove(touchDelegates_, delegate);
}

void CCEventDispatcher::removeAllMouseDelegates() {
    std::lock_guard lock(mutex_);
    removeAll(mouseDelegates_);
}

void CCEventDispatcher::removeAllKeyboardDelegates() {
    std::lock_guard lock(mutex_);
    removeAll(keyboardDelegates_);
}

void CCEventDispatcher::removeAllTouchDelegates() {
    std::lock_guard lock(mutex_);
    removeAll(touchDelegates_);
}

void CCEventDispatcher::dispatchEvent(CCEventObject* eventObject) {
    if (!eventObject || !eventObject->selector()) return;
    std::lock_guard lock(mutex_);
    DeliveryScope delivery(*this);
    if (dispatchEvents_) (this->*eventObject->selector())(eventObject->event());
}

bool CCEventDispatcher::dispatchEvents() const {
    std::lock_guard lock(mutex_);
    return dispatchEvents_;
}

void CCEventDispatcher::setDispatchEvents(bool dispatchEvents) {
    std::lock_guard lock(mutex_);
    dispatchEvents_ = dispatchEvents;
}

void CCEventDispatcher::mouseDown(const Event& event) {
    offer(mouseDelegates_, kCCMouseDownMask, &CCMouseEventDelegate::ccMouseDown, event);
}

void CCEventDispatcher::mouseUp(const Event& event) {
    offer(mouseDelegates_, kCCMouseUpMask, &CCMouseEventDelegate::ccMouseUp, event);
}

void CCEventDispatcher::mouseMoved(const Event& event) {
    offer(mouseDelegates_, kCCMouseMovedMask, &CCMouseEventDelegate::ccMouseMoved, event);
}

void CCEventDispatcher::mouseDragged(const Event& event) {
    offer(mouseDelegates_, kCCMouseDraggedMask, &CCMouseEventDelegate::ccMouseDragged, event);
}

void CCEventDispatcher::rightMouseDown(const Event& event) {
    offer(mouseDelegates_, kCCRightMouseDownMask, &CCMouseEventDelegate::ccRightMouseDown, event);
}

void CCEventDispatcher::rightMouseDragged(const Event& event) {
    offer(mouseDelegates_, kCCRightMouseDraggedMask, &CCMouseEventDelegate::ccRightMouseDragged, event);
}

void CCEventDispatcher::rightMouseUp(const Event& event) {
    offer(mouseDelegates_, kCCRightMouseUpMask, &CCMouseEventDelegate::ccRightMouseUp, event);
}

void CCEventDispatcher::otherMouseDown(const Event& event) {
    offer(mouseDelegates_, kCCOtherMouseDownMask, &CCMouseEventDelegate::ccOtherMouseDown, event);
}

void CCEventDispatcher::otherMouseDragged(const Event& event) {
    offer(mouseDelegates_, kCCOtherMouseDraggedMask, &CCMouseEventDelegate::ccOtherMouseDragged, event);
}

void CCEventDispatcher::otherMouseUp(const Event& event) {
    offer(mouseDelegates_, kCCOtherMouseUpMask, &CCMouseEventDelegate::ccOtherMouseUp, event);
}

void CCEventDispatcher::scrollWheel(const Event& event) {
    offer(mouseDelegates_, kCCScrollWheelMask, &CCMouseEventDelegate::ccScrollWheel, event);
}

void CCEventDispatcher::mouseEntered(const Event& event) {
    offer(mouseDelegates_, kCCMouseEnteredMask, &CCMouseEventDelegate::ccMouseEntered, event);
}

void CCEventDispatcher::mouseExited(const Event& event) {
    offer(mouseDelegates_, kCCMouseExitedMask, &CCMouseEventDelegate::ccMouseExited, event);
}

void CCEventDispatcher::keyDown(const Event& event) {
    offer(keyboardDelegates_, kCCKeyDownMask, &CCKeyboardEventDelegate::ccKeyDown, event);
}

void CCEventDispatcher::keyUp(const Event& event) {
    offer(keyboardDelegates_, kCCKeyUpMask, &CCKeyboardEventDelegate::ccKeyUp, event);
}

void CCEventDispatcher::flagsChanged(const Event& event) {
    offer(keyboardDelegates_, kCCFlagsChangedMask, &CCKeyboardEventDelegate::ccFlagsChanged, event);
}

void CCEventDispatcher::touchesBeganWithEvent(const Event& event) {
    offer(touchDelegates_, kCCTouchesBeganMask, &CCTouchEventDelegate::ccTouchesBeganWithEvent, event);
}

void CCEventDispatcher::touchesMovedWithEvent(const Event& event) {
    offer(touchDelegates_, kCCTouchesMovedMask, &CCTouchEventDelegate::ccTouchesMovedWithEvent, event);
}

void CCEventDispatcher::touchesEndedWithEvent(const Event& event) {
    offer(touchDelegates_, kCCTouchesEndedMask, &CCTouchEventDelegate::ccTouchesEndedWithEvent, event);
}

void CCEventDispatcher::touchesCancelledWithEvent(const Event& event) {
    offer(touchDelegates_, kCCTouchesCancelledMask, &CCTouchEventDelegate::ccTouchesCancelledWithEvent, event);
}
