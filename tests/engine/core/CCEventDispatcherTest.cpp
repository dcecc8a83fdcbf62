#include "engine/core/CCEventDispatcher.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/core/CCEventObject.h"

namespace {

using Log = std::vector<std::string>;

// A delegate of every kind that logs "name:handler" for each call, runs `action` inside the
// handler and answers `consumes`.
class Recorder : public Object,
                 public CCMouseEventDelegate,
                 public CCKeyboardEventDelegate,
                 public CCTouchEventDelegate {
public:
    Recorder(std::string name, Log& log, bool* destroyed) : name_(std::move(name)), log_(log), destroyed_(destroyed) {}
    ~Recorder() override { if (destroyed_) *destroyed_ = true; }

    bool consumes = false;
    std::function<void()> action;
    uint64_t mouseMask = kCCAllMouseEventsMask;
    uint64_t touchMask = kCCAllTouchEventsMask;

    uint64_t mouseEventMask() const override { return mouseMask; }
    uint64_t touchEventMask() const override { return touchMask; }
    bool ccMouseDown(const Event&) override { return record("mouseDown"); }
    bool ccMouseMoved(const Event&) override { return record("mouseMoved"); }
    bool ccMouseUp(const Event&) override { return record("mouseUp"); }
    bool ccKeyDown(const Event&) override { return record("keyDown"); }
    bool ccTouchesMovedWithEvent(const Event&) override { return record("touchesMoved"); }
    bool ccTouchesEndedWithEvent(const Event&) override { return record("touchesEnded"); }

private:
    bool record(const char* handler) {
        log_.push_back(name_ + ":" + handler);
        if (auto run = action) run();  // a copy, so that the action may replace itself
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

class CCEventDispatcherTest : public ::testing::Test {
protected:
    RefPtr<Recorder> recorder(const std::string& name, bool* destroyed = nullptr) {
        return makeRef<Recorder>(name, log, destroyed);
    }
    // What one event of the type, sent through its view operation, reached.
    Log deliver(EventType type = EventType::mouseDown) {
        log.clear();
        dispatcher->dispatchEvent(makeRef<CCEventObject>(eventOfType(type)).get());
        return log;
    }
    // A mouse delegate whose handler runs `action` on its first delivery only.
    void onNextClick(Recorder& delegate, std::function<void()> action) {
        delegate.action = [&delegate, action] {
            delegate.action = nullptr;
            action();
        };
    }

    Log log;
    const RefPtr<CCEventDispatcher> dispatcher = makeRef<CCEventDispatcher>();
};

TEST_F(CCEventDispatcherTest, OffersEventsInPriorityOrderToTheReportedHandlersUntilOneConsumesThem) {
    auto layer = recorder("layer"), menu = recorder("menu"), other = recorder("other");
    dispatcher->addMouseDelegate(layer.get(), 0);
    dispatcher->addMouseDelegate(menu.get(), -127);
    dispatcher->addMouseDelegate(other.get(), 0);  // equal priorities keep registration order
    dispatcher->addMouseDelegate(static_cast<Recorder*>(nullptr), 0);
    EXPECT_EQ(deliver(), (Log{"menu:mouseDown", "layer:mouseDown", "other:mouseDown"}));
    dispatcher->addMouseDelegate(other.get(), -200);  // listed twice
    menu->consumes = true;
    EXPECT_EQ(deliver(), (Log{"other:mouseDown", "menu:mouseDown"}));
    dispatcher->addKeyboardDelegate(layer.get(), 5);
    EXPECT_EQ(deliver(EventType::keyDown), (Log{"layer:keyDown"}));  // the lists are separate
    // An explicit entry point wins over the event's type.
    dispatcher->dispatchEvent(makeRef<CCEventObject>(eventOfType(EventType::keyUp), &CCEventDispatcher::keyDown).get());
    EXPECT_EQ(log, (Log{"layer:keyDown", "layer:keyDown"}));
    // Handlers missing from the mask reported at registration are never called; the mask is not
    // asked again.
    dispatcher->removeAllMouseDelegates();
    auto picky = recorder("picky");
    picky->mouseMask = kCCMouseDownMask;
    picky->touchMask = kCCTouchesBeganMask | kCCTouchesEndedMask;
    picky->consumes = true;
    dispatcher->addMouseDelegate(picky.get(), -1);
    dispatcher->addMouseDelegate(layer.get(), 0);
    dispatcher->addTouchDelegate(picky.get(), 0);
    picky->mouseMask = picky->touchMask = 0;
    EXPECT_EQ(deliver(EventType::mouseMoved), (Log{"layer:mouseMoved"}));
    EXPECT_EQ(deliver(EventType::mouseDown), (Log{"picky:mouseDown"}));
    EXPECT_EQ(deliver(EventType::touchesMoved), Log{});
    EXPECT_EQ(deliver(EventType::touchesEnded), (Log{"picky:touchesEnded"}));
}

TEST_F(CCEventDispatcherTest, RemovalsDuringADeliveryWaitForItsEnd) {
    // A handler removes its own delegate, which only the dispatcher keeps alive: the walk goes on,
    // and the delegate goes when the delivery ends.
    bool selfDestroyed = false;
    {
        auto self = recorder("self", &selfDestroyed);
        self->action = [this, raw = self.get()] { dispatcher->removeMouseDelegate(raw); };
        dispatcher->addMouseDelegate(self.get(), -1);
    }
    auto next = recorder("next");
    dispatcher->addMouseDelegate(next.get(), 0);
    EXPECT_EQ(deliver(), (Log{"self:mouseDown", "next:mouseDown"}));
    EXPECT_TRUE(selfDestroyed);
    // A delegate removed further down still gets the event under way, then no more.
    auto remover = recorder("remover");
    dispatcher->addMouseDelegate(remover.get(), -1);
    onNextClick(*remover, [&] { dispatcher->removeMouseDelegate(next.get()); });
    EXPECT_EQ(deliver(), (Log{"remover:mouseDown", "next:mouseDown"}));
    EXPECT_EQ(deliver(), (Log{"remover:mouseDown"}));
    // Remove-all from a handler lets the walk finish; it cancels the additions queued before it,
    // not those after it.
    auto last = recorder("last"), early = recorder("early"), late = recorder("late");
    dispatcher->addMouseDelegate(last.get(), 10);
    onNextClick(*remover, [&] {
        dispatcher->addMouseDelegate(early.get(), 0);
        dispatcher->removeAllMouseDelegates();
        dispatcher->addMouseDelegate(late.get(), 0);
    });
    EXPECT_EQ(deliver(), (Log{"remover:mouseDown", "last:mouseDown"}));
    EXPECT_EQ(deliver(), (Log{"late:mouseDown"}));
}

TEST_F(CCEventDispatcherTest, QueuedRemovalsAndAdditionsOfOneDelegateCancelOut) {
    auto a = recorder("a"), b = recorder("b"), c = recorder("c"), d = recorder("d"), keys = recorder("keys");
    dispatcher->addMouseDelegate(a.get(), -5);
    dispatcher->addMouseDelegate(b.get(), 0);
    dispatcher->addMouseDelegate(c.get(), 5);
    dispatcher->addKeyboardDelegate(keys.get(), 0);
    const Log abc = {"a:mouseDown", "b:mouseDown", "c:mouseDown"};
    const std::vector<std::pair<std::function<void()>, Log>> steps = {
        // Removed and added back: one entry, in its first place.
        {[&] { dispatcher->removeMouseDelegate(b.get()); dispatcher->addMouseDelegate(b.get(), 100); }, abc},
        // Added and removed: left out.
        {[&] { dispatcher->addMouseDelegate(d.get(), 0); dispatcher->removeMouseDelegate(d.get()); }, abc},
        // Not listed, removed, then added: listed once (the removal had nothing to cancel).
        {[&] { dispatcher->removeMouseDelegate(d.get()); dispatcher->addMouseDelegate(d.get(), 1); },
         {"a:mouseDown", "b:mouseDown", "d:mouseDown", "c:mouseDown"}},
        // A removal from one list is not cancelled by an addition to another.
        {[&] { dispatcher->removeKeyboardDelegate(keys.get()); dispatcher->addMouseDelegate(keys.get(), 50); },
         {"a:mouseDown", "b:mouseDown", "d:mouseDown", "c:mouseDown", "keys:mouseDown"}},
    };
    for (const auto& [changes, after] : steps) {
        onNextClick(*a, changes);
        deliver();
        EXPECT_EQ(deliver(), after);
    }
    EXPECT_EQ(deliver(EventType::keyDown), Log{});
}

TEST_F(CCEventDispatcherTest, AdditionsWaitForTheOutermostDeliveryToEnd) {
    auto a = recorder("a"), nested = recorder("nested");
    bool addedDestroyed = false;
    dispatcher->addMouseDelegate(a.get(), 0);
    onNextClick(*a, [&] { dispatcher->addMouseDelegate(recorder("added", &addedDestroyed).get(), 100); });
    EXPECT_EQ(deliver(), (Log{"a:mouseDown"}));
    EXPECT_FALSE(addedDestroyed);  // kept alive by the dispatcher alone
    EXPECT_EQ(deliver(), (Log{"a:mouseDown", "added:mouseDown"}));

    onNextClick(*a, [&] {
        dispatcher->dispatchEvent(makeRef<CCEventObject>(eventOfType(EventType::mouseMoved)).get());
        dispatcher->addMouseDelegate(nested.get(), -10);
        dispatcher->mouseUp(eventOfType(EventType::mouseUp));
    });
    EXPECT_EQ(deliver(), (Log{"a:mouseDown", "a:mouseMoved", "added:mouseMoved", "a:mouseUp", "added:mouseUp",
                              "added:mouseDown"}));
    EXPECT_EQ(deliver(), (Log{"nested:mouseDown", "a:mouseDown", "added:mouseDown"}));
}

TEST_F(CCEventDispatcherTest, EventsOfferedWhileDeliveryIsOffAreDropped) {
    auto a = recorder("a"), b = recorder("b");
    dispatcher->addMouseDelegate(a.get(), 0);
    dispatcher->addMouseDelegate(b.get(), 1);
    // Switched off from a handler: the walk under way finishes, later events are dropped, not kept.
    onNextClick(*a, [&] { dispatcher->setDispatchEvents(false); });
    EXPECT_EQ(deliver(), (Log{"a:mouseDown", "b:mouseDown"}));
    EXPECT_EQ(deliver(), Log{});
    dispatcher->setDispatchEvents(true);
    EXPECT_EQ(log, Log{});
}

}  // namespace
