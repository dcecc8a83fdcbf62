#include "engine/core/CCEventDispatcher.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;

// A delegate of every kind that writes "name:handler" for each call it gets, optionally runs an
// action inside the handler, and answers `consumes`.
class Recorder : public Object,
                 public CCMouseEventDelegate,
                 public CCKeyboardEventDelegate,
                 public CCTouchEventDelegate {
public:
    Recorder(std::string name, Log& log, bool* destroyed = nullptr)
        : name_(std::move(name)), log_(log), destroyed_(destroyed) {}
    ~Recorder() override {
        if (destroyed_) *destroyed_ = true;
    }

    bool consumes = false;
    std::function<void()> action;  // runs inside every handler, before it answers
    uint64_t mouseMask = kCCAllMouseEventsMask;
    uint64_t touchMask = kCCAllTouchEventsMask;

    uint64_t mouseEventMask() const override { return mouseMask; }
    uint64_t touchEventMask() const override { return touchMask; }

    bool ccMouseDown(const Event&) override { return record("mouseDown"); }
    bool ccMouseDragged(const Event&) override { return record("mouseDragged"); }
    bool ccMouseMoved(const Event&) override { return record("mouseMoved"); }
    bool ccMouseUp(const Event&) override { return record("mouseUp"); }
    bool ccRightMouseDown(const Event&) override { return record("rightMouseDown"); }
    bool ccRightMouseDragged(const Event&) override { return record("rightMouseDragged"); }
    bool ccRightMouseUp(const Event&) override { return record("rightMouseUp"); }
    bool ccOtherMouseDown(const Event&) override { return record("otherMouseDown"); }
    bool ccOtherMouseDragged(const Event&) override { return record("otherMouseDragged"); }
    bool ccOtherMouseUp(const Event&) override { return record("otherMouseUp"); }
    bool ccScrollWheel(const Event&) override { return record("scrollWheel"); }
    bool ccMouseEntered(const Event&) override { return record("mouseEntered"); }
    bool ccMouseExited(const Event&) override { return record("mouseExited"); }
    bool ccKeyUp(const Event&) override { return record("keyUp"); }
    bool ccKeyDown(const Event&) override { return record("keyDown"); }
    bool ccFlagsChanged(const Event&) override { return record("flagsChanged"); }
    bool ccTouchesBeganWithEvent(const Event&) override { return record("touchesBegan"); }
    bool ccTouchesMovedWithEvent(const Event&) override { return record("touchesMoved"); }
    bool ccTouchesEndedWithEvent(const Event&) override { return record("touchesEnded"); }
    bool ccTouchesCancelledWithEvent(const Event&) override { return record("touchesCancelled"); }

private:
    bool record(const char* handler) {
        log_.push_back(name_ + ":" + handler);
        // A copy, so that the action may replace itself.
        if (auto run = action) run();
        return consumes;
    }

    std::string name_;
    Log& log_;
    bool* destroyed_;
};

Event eventOfType(EventType type) {
    Event event;
    event.type = type;
    return event;
}

const Event kMouseDown = eventOfType(EventType::mouseDown);

class CCEventDispatcherTest : public ::testing::Test {
protected:
    RefPtr<Recorder> recorder(const std::string& name, bool* destroyed = nullptr) {
        return makeRef<Recorder>(name, log, destroyed);
    }
    // The log of one mouse-down, cleared before.
    Log clickLog() {
        log.clear();
        dispatcher->mouseDown(kMouseDown);
        return log;
    }
    Log keyLog() {
        log.clear();
        dispatcher->keyDown(eventOfType(EventType::keyDown));
        return log;
    }

    Log log;
    RefPtr<CCEventDispatcher> dispatcher = makeRef<CCEventDispatcher>();
};

TEST_F(CCEventDispatcherTest, OffersEventsInPriorityOrderUntilOneConsumesThem) {
    auto layer = recorder("layer"), menu = recorder("menu"), other = recorder("other");
    dispatcher->addMouseDelegate(layer.get(), 0);
    dispatcher->addMouseDelegate(menu.get(), -127);
    dispatcher->addMouseDelegate(other.get(), 0);  // equal priorities keep registration order
    EXPECT_EQ(clickLog(), (Log{"menu:mouseDown", "layer:mouseDown", "other:mouseDown"}));

    menu->consumes = true;
    EXPECT_EQ(clickLog(), (Log{"menu:mouseDown"}));

    // Lists are separate: a key goes to keyboard delegates only.
    dispatcher->addKeyboardDelegate(layer.get(), 5);
    EXPECT_EQ(keyLog(), (Log{"layer:keyDown"}));

    // A delegate registered twice is listed twice.
    menu->consumes = false;
    dispatcher->removeMouseDelegate(layer.get());
    dispatcher->removeMouseDelegate(other.get());
    dispatcher->addMouseDelegate(menu.get(), 3);
    EXPECT_EQ(clickLog(), (Log{"menu:mouseDown", "menu:mouseDown"}));
    dispatcher->removeMouseDelegate(menu.get());
    EXPECT_EQ(clickLog(), (Log{"menu:mouseDown"}));

    // Null registrations and removals of unlisted delegates do nothing.
    dispatcher->addMouseDelegate(static_cast<Recorder*>(nullptr), 0);
    dispatcher->removeMouseDelegate(nullptr);
    dispatcher->removeMouseDelegate(layer.get());
    EXPECT_EQ(clickLog(), (Log{"menu:mouseDown"}));
}

TEST_F(CCEventDispatcherTest, DelegatesAreOfferedOnlyTheEventsTheyHandle) {
    auto picky = recorder("picky");
    picky->mouseMask = kCCMouseDownMask;  // no mouseMoved handler
    picky->consumes = true;
    auto behind = recorder("behind");
    dispatcher->addMouseDelegate(picky.get(), -1);
    dispatcher->addMouseDelegate(behind.get(), 0);

    dispatcher->mouseMoved(eventOfType(EventType::mouseMoved));
    EXPECT_EQ(log, (Log{"behind:mouseMoved"}));
    EXPECT_EQ(clickLog(), (Log{"picky:mouseDown"}));

    // The mask is probed once, at registration.
    picky->mouseMask = kCCAllMouseEventsMask;
    log.clear();
    dispatcher->mouseMoved(eventOfType(EventType::mouseMoved));
    EXPECT_EQ(log, (Log{"behind:mouseMoved"}));

    // Touch handlers have their own bits (13 to 16).
    auto fingers = recorder("fingers");
    fingers->touchMask = kCCTouchesBeganMask | kCCTouchesEndedMask;
    dispatcher->addTouchDelegate(fingers.get(), 0);
    log.clear();
    for (EventType type : {EventType::touchesBegan, EventType::touchesMoved, EventType::touchesEnded,
                           EventType::touchesCancelled}) {
        dispatcher->dispatchEvent(makeRef<CCEventObject>(eventOfType(type)).get());
    }
    EXPECT_EQ(log, (Log{"fingers:touchesBegan", "fingers:touchesEnded"}));
}

TEST_F(CCEventDispatcherTest, EachEventTypeReachesItsHandler) {
    auto all = recorder("d");
    dispatcher->addMouseDelegate(all.get(), 0);
    dispatcher->addKeyboardDelegate(all.get(), 0);
    dispatcher->addTouchDelegate(all.get(), 0);
    const std::vector<std::pair<EventType, std::string>> routes = {
        {EventType::mouseDown, "mouseDown"}, {EventType::mouseUp, "mouseUp"}, {EventType::mouseMoved, "mouseMoved"},
        {EventType::mouseDragged, "mouseDragged"}, {EventType::rightMouseDown, "rightMouseDown"},
        {EventType::rightMouseDragged, "rightMouseDragged"}, {EventType::rightMouseUp, "rightMouseUp"},
        {EventType::otherMouseDown, "otherMouseDown"}, {EventType::otherMouseDragged, "otherMouseDragged"},
        {EventType::otherMouseUp, "otherMouseUp"}, {EventType::scrollWheel, "scrollWheel"},
        {EventType::mouseEntered, "mouseEntered"}, {EventType::mouseExited, "mouseExited"},
        {EventType::keyDown, "keyDown"}, {EventType::keyUp, "keyUp"}, {EventType::flagsChanged, "flagsChanged"},
        {EventType::touchesBegan, "touchesBegan"}, {EventType::touchesMoved, "touchesMoved"},
        {EventType::touchesEnded, "touchesEnded"}, {EventType::touchesCancelled, "touchesCancelled"}};
    for (const auto& [type, handler] : routes) {
        log.clear();
        dispatcher->dispatchEvent(makeRef<CCEventObject>(eventOfType(type)).get());
        EXPECT_EQ(log, (Log{"d:" + handler}));
    }

    // An explicit entry point wins over the event's type; a null object does nothing.
    log.clear();
    auto redirected = makeRef<CCEventObject>(kMouseDown, &CCEventDispatcher::keyUp);
    dispatcher->dispatchEvent(redirected.get());
    dispatcher->dispatchEvent(nullptr);
    EXPECT_EQ(log, (Log{"d:keyUp"}));
}

TEST_F(CCEventDispatcherTest, HandlersRemovingDelegatesDuringADelivery) {
    // A handler removes its own delegate, which only the dispatcher keeps alive: the walk goes on
    // to the next delegate, and the removal takes effect when the delivery ends.
    bool selfDestroyed = false;
    {
        auto self = recorder("self", &selfDestroyed);
        self->action = [this, raw = self.get()] { dispatcher->removeMouseDelegate(raw); };
        dispatcher->addMouseDelegate(self.get(), -1);
    }
    auto next = recorder("next");
    dispatcher->addMouseDelegate(next.get(), 0);
    EXPECT_EQ(clickLog(), (Log{"self:mouseDown", "next:mouseDown"}));
    EXPECT_TRUE(selfDestroyed);
    EXPECT_EQ(clickLog(), (Log{"next:mouseDown"}));

    // A handler removes a delegate further down: that delegate still sees the event being
    // delivered (the walk is over the list as the delivery found it), then it is gone.
    auto remover = recorder("remover");
    remover->action = [this, &next] { dispatcher->removeMouseDelegate(next.get()); };
    dispatcher->addMouseDelegate(remover.get(), -1);
    EXPECT_EQ(clickLog(), (Log{"remover:mouseDown", "next:mouseDown"}));
    remover->action = nullptr;
    EXPECT_EQ(clickLog(), (Log{"remover:mouseDown"}));

    // Remove-all from a handler is queued too: the walk finishes, then the list is empty.
    auto last = recorder("last");
    dispatcher->addMouseDelegate(last.get(), 10);
    remover->action = [this] { dispatcher->removeAllMouseDelegates(); };
    EXPECT_EQ(clickLog(), (Log{"remover:mouseDown", "last:mouseDown"}));
    EXPECT_EQ(clickLog(), Log{});

    // Remove-all cancels additions queued before it, not those made after it.
    auto first = recorder("first"), early = recorder("early"), late = recorder("late");
    first->action = [&] {
        dispatcher->addMouseDelegate(early.get(), 0);
        dispatcher->removeAllMouseDelegates();
        dispatcher->addMouseDelegate(late.get(), 0);
    };
    dispatcher->addMouseDelegate(first.get(), 0);
    EXPECT_EQ(clickLog(), (Log{"first:mouseDown"}));
    EXPECT_EQ(clickLog(), (Log{"late:mouseDown"}));

    // Outside a delivery, remove-all acts at once and releases the delegates.
    bool lateDestroyed = false;
    {
        auto only = recorder("only", &lateDestroyed);
        dispatcher->addMouseDelegate(only.get(), 0);
    }
    dispatcher->removeAllMouseDelegates();
    EXPECT_TRUE(lateDestroyed);
    EXPECT_EQ(clickLog(), Log{});
}

TEST_F(CCEventDispatcherTest, RemovingAndAddingBackDuringOneDeliveryKeepsOneEntryInItsPlace) {
    auto a = recorder("a"), b = recorder("b"), c = recorder("c");
    dispatcher->addMouseDelegate(a.get(), -5);
    dispatcher->addMouseDelegate(b.get(), 0);
    dispatcher->addMouseDelegate(c.get(), 5);
    b->action = [&] {
        dispatcher->removeMouseDelegate(b.get());
        dispatcher->addMouseDelegate(b.get(), 100);  // the first place and priority are kept
    };
    EXPECT_EQ(clickLog(), (Log{"a:mouseDown", "b:mouseDown", "c:mouseDown"}));
    b->action = nullptr;
    EXPECT_EQ(clickLog(), (Log{"a:mouseDown", "b:mouseDown", "c:mouseDown"}));

    // Adding and then removing during one delivery leaves the delegate out.
    auto d = recorder("d");
    a->action = [&] {
        dispatcher->addMouseDelegate(d.get(), 0);
        dispatcher->removeMouseDelegate(d.get());
    };
    clickLog();
    a->action = nullptr;
    EXPECT_EQ(clickLog(), (Log{"a:mouseDown", "b:mouseDown", "c:mouseDown"}));

    // A delegate that was not listed, removed and then added during one delivery, ends up listed
    // once (the removal found nothing to cancel).
    a->action = [&] {
        dispatcher->removeMouseDelegate(d.get());
        dispatcher->addMouseDelegate(d.get(), 1);
    };
    clickLog();
    a->action = nullptr;
    EXPECT_EQ(clickLog(), (Log{"a:mouseDown", "b:mouseDown", "d:mouseDown", "c:mouseDown"}));

    // A removal from one list is not cancelled by an addition to another.
    auto keys = recorder("keys");
    dispatcher->addKeyboardDelegate(keys.get(), 0);
    a->action = [&] {
        dispatcher->removeKeyboardDelegate(keys.get());
        dispatcher->addMouseDelegate(keys.get(), 50);
    };
    clickLog();
    a->action = nullptr;
    EXPECT_EQ(clickLog(), (Log{"a:mouseDown", "b:mouseDown", "d:mouseDown", "c:mouseDown", "keys:mouseDown"}));
    EXPECT_EQ(keyLog(), Log{});
}

TEST_F(CCEventDispatcherTest, DelegatesAddedDuringADeliveryWaitForTheNextEvent) {
    auto a = recorder("a");
    bool addedDestroyed = false;
    a->action = [&] {
        auto added = recorder("added", &addedDestroyed);  // kept alive by the dispatcher alone
        dispatcher->addMouseDelegate(added.get(), 100);
        a->action = nullptr;
    };
    dispatcher->addMouseDelegate(a.get(), 0);
    EXPECT_EQ(clickLog(), (Log{"a:mouseDown"}));
    EXPECT_FALSE(addedDestroyed);
    EXPECT_EQ(clickLog(), (Log{"a:mouseDown", "added:mouseDown"}));

    // Changes made by a nested delivery wait for the outermost one to end.
    auto nested = recorder("nested");
    a->action = [&] {
        a->action = nullptr;
        auto inner = makeRef<CCEventObject>(eventOfType(EventType::mouseMoved));
        dispatcher->dispatchEvent(inner.get());
        dispatcher->addMouseDelegate(nested.get(), -10);
        dispatcher->mouseUp(eventOfType(EventType::mouseUp));
    };
    EXPECT_EQ(clickLog(), (Log{"a:mouseDown", "a:mouseMoved", "added:mouseMoved", "a:mouseUp", "added:mouseUp",
                               "added:mouseDown"}));
    EXPECT_EQ(clickLog(), (Log{"nested:mouseDown", "a:mouseDown", "added:mouseDown"}));
}

TEST_F(CCEventDispatcherTest, EventsOfferedWhileDeliveryIsOffAreDropped) {
    auto a = recorder("a");
    dispatcher->addMouseDelegate(a.get(), 0);
    dispatcher->setDispatchEvents(false);
    dispatcher->dispatchEvent(makeRef<CCEventObject>(kMouseDown).get());
    dispatcher->mouseDown(kMouseDown);
    EXPECT_EQ(log, Log{});

    // Nothing was kept for later.
    dispatcher->setDispatchEvents(true);
    EXPECT_EQ(log, Log{});
    dispatcher->dispatchEvent(makeRef<CCEventObject>(kMouseDown).get());
    EXPECT_EQ(log, (Log{"a:mouseDown"}));

    // A handler switching delivery off stops the events after it, not the walk under way.
    auto b = recorder("b");
    dispatcher->addMouseDelegate(b.get(), 1);
    a->action = [&] { dispatcher->setDispatchEvents(false); };
    EXPECT_EQ(clickLog(), (Log{"a:mouseDown", "b:mouseDown"}));
    EXPECT_EQ(clickLog(), Log{});
}

}  // namespace
