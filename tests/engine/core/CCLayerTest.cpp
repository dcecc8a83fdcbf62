#include "engine/core/CCLayer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/CCEventDispatcher.h"
#include "engine/core/CCLayerMultiplex.h"
#include "engine/core/CCScene.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NamedException.h"
#include "support/HeadlessDirectorTest.h"

namespace {

using Log = std::vector<std::string>;

// A layer that notes each event it is offered as "name:kind" and never consumes it; its
// priorities are settable.
class RecordingLayer : public CCLayer {
public:
    RecordingLayer(std::string name, Log* log) : name_(std::move(name)), log_(log) {}

    int64_t mousePriority = 0, keyboardPriority = 0, touchPriority = 0;
    int64_t mouseDelegatePriority() const override { return mousePriority; }
    int64_t keyboardDelegatePriority() const override { return keyboardPriority; }
    int64_t touchDelegatePriority() const override { return touchPriority; }

    bool ccMouseDown(const Event&) override { return note("mouse"); }
    bool ccKeyDown(const Event&) override { return note("key"); }
    bool ccTouchesBeganWithEvent(const Event&) override { return note("touch"); }

    void update(float) override { ++updates; }
    int updates = 0;

private:
    bool note(const char* kind) {
        log_->push_back(name_ + ":" + kind);
        return false;
    }

    std::string name_;
    Log* log_;
};

class CCLayerTest : public HeadlessDirectorTest {
protected:
    void SetUp() override {
        HeadlessDirectorTest::SetUp();
        scene_ = CCScene::node();
        scene_->onEnter();
    }

    void TearDown() override {
        scene_->onExit();
        scene_.reset();
        HeadlessDirectorTest::TearDown();
    }

    RefPtr<RecordingLayer> make(const std::string& name) { return makeRef<RecordingLayer>(name, &log_); }

    // Offers one event of each kind and returns what the layers noted.
    Log deliver() {
        log_.clear();
        CCEventDispatcher* dispatcher = CCDirector::sharedDirector()->eventDispatcher();
        Event event;
        event.type = EventType::mouseDown;
        dispatcher->mouseDown(event);
        event.type = EventType::keyDown;
        dispatcher->keyDown(event);
        event.type = EventType::touchesBegan;
        dispatcher->touchesBeganWithEvent(event);
        return log_;
    }

    RefPtr<CCScene> scene_;
    Log log_;
};

TEST_F(CCLayerTest, IsRegisteredExactlyWhileRunningWithAKindEnabled) {
    auto layer = make("a");
    // Enabled before entering: nothing is registered yet.
    layer->setIsTouchEnabled(true);
    layer->setIsTouchEnabled(true);
    EXPECT_EQ(deliver(), Log{});

    // Entering registers the enabled kind, once despite the repeated setter.
    scene_->addChild(layer.get());
    EXPECT_EQ(deliver(), Log{"a:touch"});

    // While running, enabling and disabling act at once; repeating a value changes nothing.
    layer->setIsMouseEnabled(true);
    layer->setIsKeyboardEnabled(true);
    layer->setIsKeyboardEnabled(true);
    EXPECT_EQ(deliver(), (Log{"a:mouse", "a:key", "a:touch"}));
    layer->setIsTouchEnabled(false);
    EXPECT_EQ(deliver(), (Log{"a:mouse", "a:key"}));

    // Leaving removes every enabled kind, letting go of the layer; the flags stay, so entering
    // again registers them again.
    scene_->removeChild(layer.get(), false);
    EXPECT_EQ(deliver(), Log{});
    scene_->addChild(layer.get());
    EXPECT_EQ(deliver(), (Log{"a:mouse", "a:key"}));
    const uint32_t owners = layer->retainCount();
    scene_->removeChild(layer.get(), true);
    EXPECT_EQ(layer->retainCount(), owners - 3);  // the scene and the two registrations
}

TEST_F(CCLayerTest, RegistersAtEachKindsPriority) {
    auto low = make("low"), high = make("high");
    low->mousePriority = -127;
    high->keyboardPriority = -1;
    for (RecordingLayer* layer : {high.get(), low.get()}) {
        layer->setIsMouseEnabled(true);
        layer->setIsKeyboardEnabled(true);
        scene_->addChild(layer);
    }
    EXPECT_EQ(deliver(), (Log{"low:mouse", "high:mouse", "high:key", "low:key"}));

    // Enabling a kind while running registers at that kind's priority.
    high->touchPriority = -1;
    low->setIsTouchEnabled(true);
    high->setIsTouchEnabled(true);
    const Log got = deliver();
    EXPECT_EQ(Log(got.end() - 2, got.end()), (Log{"high:touch", "low:touch"}));
}

TEST_F(CCLayerTest, MultiplexShowsOneLayerAtATime) {
    auto first = make("first"), second = make("second"), third = make("third");
    auto multiplex = CCLayerMultiplex::layerWithLayers({first, second, third});
    ASSERT_NE(multiplex, nullptr);
    ASSERT_NE(multiplex->children(), nullptr);
    EXPECT_EQ(multiplex->children()->objectAtIndex(0), first.get());

    scene_->addChild(multiplex.get());
    first->scheduleUpdate();
    CCDirector::sharedDirector()->scheduler()->update(0.1f);
    EXPECT_EQ(first->updates, 1);

    // The shown layer leaves with cleanup: its schedules stop for good.
    multiplex->switchTo(1);
    EXPECT_TRUE(second->isRunning());
    EXPECT_FALSE(first->isRunning());
    CCDirector::sharedDirector()->scheduler()->update(0.1f);
    EXPECT_EQ(first->updates, 1);

    // Releasing: the slot of the layer shown so far empties and the multiplex no longer owns it.
    const uint32_t owners = second->retainCount();
    multiplex->switchToAndReleaseMe(2);
    EXPECT_EQ(multiplex->children()->objectAtIndex(0), third.get());
    EXPECT_EQ(multiplex->layers()[1], nullptr);
    EXPECT_EQ(second->retainCount(), owners - 2);  // as child and in the list

    // Caller errors throw and change nothing.
    EXPECT_THROW(multiplex->switchTo(1), NamedException);
    EXPECT_THROW(multiplex->switchTo(3), NamedException);
    EXPECT_THROW(multiplex->switchToAndReleaseMe(2), NamedException);
    EXPECT_EQ(multiplex->children()->objectAtIndex(0), third.get());
    scene_->removeChild(multiplex.get(), true);

    LogCapture capture;
    EXPECT_EQ(CCLayerMultiplex::layerWithLayers({}), nullptr);
    EXPECT_EQ(CCLayerMultiplex::layerWithLayers({make("a"), nullptr}), nullptr);
    EXPECT_TRUE(capture.contains("CCLayerMultiplex"));
}

}  // namespace
