#include "engine/render/CCMenu.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/core/CCScene.h"
#include "engine/render/CCMenuItem.h"
#include "support/HeadlessDirectorTest.h"

namespace {

using Log = std::vector<std::string>;

// A 40 x 20 item that logs "name:selected", "name:unselected" and "name:activate".
class RecordingItem : public CCMenuItem {
public:
    RecordingItem(std::string name, Log* log) : name_(std::move(name)), log_(log) { setContentSize({40, 20}); }
    void selected() override { note("selected"); CCMenuItem::selected(); }
    void unselected() override { note("unselected"); CCMenuItem::unselected(); }
    void activate() override { note("activate"); CCMenuItem::activate(); }

private:
    void note(const char* what) { log_->push_back(name_ + ":" + what); }
    std::string name_;
    Log* log_;
};

// A 480 x 320 window, so the menu's origin is at window point (240, 160); items A at (0, 0) and
// B at (100, 0) in menu space, in a running scene.
class CCMenuTest : public HeadlessDirectorTest {
protected:
    void SetUp() override {
        HeadlessDirectorTest::SetUp();
        static_cast<CCDirectorMac*>(CCDirector::sharedDirector())->setOriginalWinSize({480, 320});
        scene_ = CCScene::node();
        scene_->onEnter();
        a_ = makeRef<RecordingItem>("A", &log_);
        b_ = makeRef<RecordingItem>("B", &log_);
        b_->setPosition({100, 0});
        menu_ = CCMenu::menuWithItems({a_, b_});
        scene_->addChild(menu_.get());
    }
    void TearDown() override {
        scene_->onExit();
        HeadlessDirectorTest::TearDown();
    }

    // Menu-space point to a mouse event.
    static Event at(double x, double y) {
        Event event;
        event.locationInWindow = {240 + x, 160 + y};
        return event;
    }

    Log log_;
    RefPtr<CCScene> scene_;
    RefPtr<RecordingItem> a_, b_;
    RefPtr<CCMenu> menu_;
};

TEST_F(CCMenuTest, HitsTheFirstVisibleEnabledItemWithLeftAndBottomEdgesInside) {
    // A spans [-20, 20) x [-10, 10).
    const struct { double x, y; bool hit; } points[] = {{-20, 0, true}, {0, -10, true}, {19.99, 9.99, true}, {20, 0, false}, {0, 10, false},
                  {-20.01, 0, false}};
    for (const auto& p : points) {
        EXPECT_EQ(menu_->itemForMouseEvent(at(p.x, p.y)) == a_.get(), p.hit) << p.x << ", " << p.y;
    }

    // Overlapping: the earlier child wins; disabled or invisible ones are passed over.
    b_->setPosition({0, 0});
    EXPECT_EQ(menu_->itemForMouseEvent(at(0, 0)), a_.get());
    a_->setIsEnabled(false);
    EXPECT_EQ(menu_->itemForMouseEvent(at(0, 0)), b_.get());
    b_->setVisible(false);
    EXPECT_EQ(menu_->itemForMouseEvent(at(0, 0)), nullptr);
    EXPECT_FALSE(menu_->ccMouseDown(at(0, 0)));
}

TEST_F(CCMenuTest, PressDragAndReleaseSequences) {
    enum Kind { down, drag, up };
    struct Step { Kind kind; double x; bool consumed; };  // x in menu space, y = 0; 50 is off every item
    const struct {
        const char* name;
        std::vector<Step> steps;
        Log expected;
    } cases[] = {
        {"off and back",
         {{down, 0, true}, {drag, 50, true}, {drag, 0, true}, {up, 0, true}},
         {"A:selected", "A:unselected", "A:selected", "A:unselected", "A:activate"}},
        {"onto another item", {{down, 0, true}, {drag, 100, true}, {up, 100, true}},
         {"A:selected", "A:unselected", "B:selected", "B:unselected", "B:activate"}},
        {"released off every item", {{down, 0, true}, {drag, 50, true}, {up, 50, true}},
         {"A:selected", "A:unselected"}},
        {"press that misses", {{down, 50, false}, {drag, 0, false}, {up, 0, false}}, {}},
    };
    for (const auto& c : cases) {
        log_.clear();
        for (const Step& step : c.steps) {
            const Event event = at(step.x, 0);
            const bool consumed = step.kind == down   ? menu_->ccMouseDown(event)
                                  : step.kind == drag ? menu_->ccMouseDragged(event)
                                                      : menu_->ccMouseUp(event);
            EXPECT_EQ(consumed, step.consumed) << c.name;
        }
        EXPECT_EQ(log_, c.expected) << c.name;
    }
}

TEST_F(CCMenuTest, DisablingOrLeavingMidPressEndsIt) {
    ASSERT_TRUE(menu_->ccMouseDown(at(0, 0)));
    menu_->setEnabled(false);
    EXPECT_FALSE(menu_->ccMouseUp(at(0, 0)));
    EXPECT_TRUE(a_->isSelected());
    menu_->setEnabled(true);

    // Leaving the scene unselects the item and returns to waiting.
    scene_->removeChild(menu_.get(), false);
    EXPECT_FALSE(a_->isSelected());
    EXPECT_FALSE(menu_->ccMouseUp(at(0, 0)));
    EXPECT_EQ(log_, (Log{"A:selected", "A:unselected"}));
}

TEST_F(CCMenuTest, AnItemRemovedDuringThePressOrByItsCallbackIsSafe) {
    // The menu is the only owner of the pressed item when it is removed with cleanup.
    RecordingItem* pressed = a_.get();
    a_.reset();
    int calls = 0;
    pressed->setBlock([&](CCMenuItem*) { ++calls; });
    ASSERT_TRUE(menu_->ccMouseDown(at(0, 0)));
    menu_->removeChild(pressed, true);
    EXPECT_TRUE(menu_->ccMouseUp(at(0, 0)));
    EXPECT_EQ(calls, 0);  // cleaned up: no callback left
    EXPECT_EQ(log_, (Log{"A:selected", "A:unselected", "A:activate"}));

    // A callback that removes its own item with cleanup goes on running to its end.
    std::string seen;
    b_->setBlock([&seen, name = std::string(64, 'b')](CCMenuItem* sender) {
        sender->removeFromParentAndCleanup(true);
        seen = name;
    });
    b_.reset();
    ASSERT_TRUE(menu_->ccMouseDown(at(100, 0)));
    EXPECT_TRUE(menu_->ccMouseUp(at(100, 0)));
    EXPECT_EQ(seen, std::string(64, 'b'));
    EXPECT_EQ(menu_->children()->count(), 0u);
}

TEST_F(CCMenuTest, Layouts) {
    const CGPoint unplaced{999, 999};
    const struct {
        const char* name;
        std::vector<CGSize> sizes;  // of 3 items; the second has scale 2 along x
        std::function<void(CCMenu*)> align;
        std::vector<CGPoint> expected;
    } cases[] = {
        {"vertical", {{10, 20}, {10, 30}, {10, 40}}, [](CCMenu* m) { m->alignItemsVertically(); },
         {{0, 40}, {0, 10}, {0, -30}}},
        {"horizontal, scaled, padding 10", {{20, 5}, {15, 5}, {40, 5}},
         [](CCMenu* m) { m->alignItemsHorizontallyWithPadding(10); }, {{-45, 0}, {-10, 0}, {35, 0}}},
        {"columns 2, 1", {{10, 30}, {10, 30}, {10, 30}}, [](CCMenu* m) { m->alignItemsInColumns({2, 1}); },
         {{-80, 17}, {80, 17}, {0, -18}}},
        {"columns 2: the third is left", {{10, 30}, {10, 30}, {10, 30}},
         [](CCMenu* m) { m->alignItemsInColumns({2}); }, {{-80, 0}, {80, 0}, unplaced}},
        {"columns 2, 2: a short last row", {{10, 30}, {10, 30}, {10, 30}},
         [](CCMenu* m) { m->alignItemsInColumns({2, 2}); }, {{-80, 17}, {80, 17}, {-80, -18}}},
        {"rows 2, 1", {{20, 30}, {40, 30}, {30, 30}}, [](CCMenu* m) { m->alignItemsInRows({2, 1}); },
         {{-20, 32.5}, {-20, -7.5}, {20, 15}}},
        {"rows 1: the rest are left", {{20, 30}, {40, 30}, {30, 30}}, [](CCMenu* m) { m->alignItemsInRows({1}); },
         {{0, 15}, unplaced, unplaced}},
    };
    for (const auto& c : cases) {
        std::vector<RefPtr<CCMenuItem>> items;
        for (const CGSize& size : c.sizes) {
            auto item = makeRef<CCMenuItem>();
            item->setContentSize(size);
            item->setPosition(unplaced);
            items.push_back(item);
        }
        items[1]->setScaleX(2);
        const auto menu = CCMenu::menuWithArray(items);
        c.align(menu.get());
        for (size_t i = 0; i < items.size(); ++i) {
            EXPECT_EQ(items[i]->position(), c.expected[i]) << c.name << ", item " << i;
        }
    }
}

}  // namespace
