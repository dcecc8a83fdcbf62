#include "engine/render/CCMenuItem.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/actions/instant/CCCallFunc.h"
#include "engine/core/CCLabelProtocol.h"
#include "engine/core/CCScene.h"
#include "engine/render/CCMenuItemLabel.h"
#include "engine/render/CCMenuItemSprite.h"
#include "engine/render/CCMenuItemToggle.h"
#include "support/HeadlessDirectorTest.h"

namespace {

// A node with a text and a colour, standing in for labels and sprites: 10 points wide per byte of
// text, 20 high.
class Swatch : public CCNode, public CCLabelProtocol, public CCRGBAProtocol {
public:
    explicit Swatch(std::string_view text = "x") { setString(text); }
    void setString(std::string_view text) override {
        text_ = text;
        setContentSize({10.0 * text.size(), 20});
    }
    const std::string& string() const override { return text_; }
    ccColor3B color() const override { return color_; }
    void setColor(ccColor3B color) override { color_ = color; }
    uint8_t opacity() const override { return 255; }
    void setOpacity(uint8_t) override {}

private:
    std::string text_;
    ccColor3B color_{10, 20, 30};
};

class Target : public Object {
public:
    void onPress(Object* sender) { pressedBy = sender; }
    Object* pressedBy = nullptr;
};

// Items run in a running scene, so that their actions step with the scheduler.
class CCMenuItemTest : public HeadlessDirectorTest {
protected:
    void SetUp() override {
        HeadlessDirectorTest::SetUp();
        scene_ = CCScene::node();
        scene_->onEnter();
    }
    void TearDown() override {
        scene_->onExit();
        HeadlessDirectorTest::TearDown();
    }

    // Lets `seconds` pass after the first step of any action just started.
    static void wait(float seconds) {
        CCDirector::sharedDirector()->scheduler()->update(0);
        CCDirector::sharedDirector()->scheduler()->update(seconds);
    }

    RefPtr<CCScene> scene_;
};

TEST_F(CCMenuItemTest, LabelZoomKeepsTheScaleFromBeforeARunningZoom) {
    float scaleSeen = 0;
    const auto item = CCMenuItemLabel::itemWithLabel(makeRef<Swatch>(), [&](CCMenuItem* sender) {
        scaleSeen = sender->scale();
    });
    scene_->addChild(item.get());

    item->selected();
    wait(0.05f);
    item->selected();  // during the zoom: still towards 1.2
    wait(0.2f);
    EXPECT_FLOAT_EQ(item->scale(), 1.2f);
    item->selected();  // after it: the zoomed scale is the new original
    wait(0.2f);
    EXPECT_FLOAT_EQ(item->scale(), 1.44f);
    item->unselected();
    wait(0.2f);
    EXPECT_FLOAT_EQ(item->scale(), 1.2f);

    // Activation mid-zoom restores the original scale before the callback runs.
    item->selected();
    wait(0.05f);
    item->activate();
    EXPECT_FLOAT_EQ(scaleSeen, 1.2f);
    EXPECT_EQ(item->numberOfRunningActions(), 0u);
}

TEST_F(CCMenuItemTest, DisabledLabelItemIsGreyAndInert) {
    int calls = 0;
    const auto label = makeRef<Swatch>();
    const auto item = CCMenuItemLabel::itemWithLabel(label, [&](CCMenuItem*) { ++calls; });
    scene_->addChild(item.get());
    item->setIsEnabled(false);
    EXPECT_EQ(label->color(), (ccColor3B{126, 126, 126}));
    item->selected();
    item->activate();
    EXPECT_FALSE(item->isSelected());
    EXPECT_EQ(item->numberOfRunningActions(), 0u);
    EXPECT_EQ(calls, 0);

    // A colour set while disabled is overwritten by the one kept when re-enabled.
    item->setColor({1, 2, 3});
    item->setIsEnabled(true);
    EXPECT_EQ(label->color(), (ccColor3B{10, 20, 30}));
    item->activate();
    EXPECT_EQ(calls, 1);
}

TEST_F(CCMenuItemTest, SpriteItemShowsTheImageOfItsState) {
    enum Change { select, selectUnselect, disable };
    const struct {
        const char* name;
        bool withSelected, withDisabled;
        Change change;
        bool normal, selected, disabled;  // visible afterwards
    } cases[] = {
        {"selected", true, true, select, false, true, false},
        {"selected, no selected image", false, true, select, true, false, false},
        {"selected and unselected", true, true, selectUnselect, true, false, false},
        {"disabled", true, true, disable, false, false, true},
        {"disabled, no disabled image", true, false, disable, true, false, false},
    };
    for (const auto& c : cases) {
        const auto normal = makeRef<Swatch>("normal"), selected = makeRef<Swatch>(), disabled = makeRef<Swatch>();
        const auto item = CCMenuItemSprite::itemWithNormalSprite(normal, c.withSelected ? selected : nullptr,
                                                                 c.withDisabled ? disabled : nullptr, nullptr);
        EXPECT_EQ(item->contentSize(), normal->contentSize()) << c.name;
        if (c.change == disable) item->setIsEnabled(false);
        else item->selected();
        if (c.change == selectUnselect) item->unselected();
        EXPECT_EQ(normal->visible(), c.normal) << c.name;
        if (c.withSelected) { EXPECT_EQ(selected->visible(), c.selected) << c.name; }
        if (c.withDisabled) { EXPECT_EQ(disabled->visible(), c.disabled) << c.name; }
    }
}

TEST_F(CCMenuItemTest, ToggleCyclesItsSubItemsBeforeTheCallbackAndNeverPastThem) {
    std::vector<RefPtr<CCMenuItem>> subItems;
    for (double width : {10, 20, 30}) {
        subItems.push_back(makeRef<CCMenuItem>());
        subItems.back()->setContentSize({width, 8});
    }
    std::vector<uint64_t> seen;
    const auto toggle = CCMenuItemToggle::itemWithItems(
        subItems, [&](CCMenuItem* sender) { seen.push_back(static_cast<CCMenuItemToggle*>(sender)->selectedIndex()); });
    for (int i = 0; i < 4; ++i) toggle->activate();
    EXPECT_EQ(seen, (std::vector<uint64_t>{1, 2, 0, 1}));
    ASSERT_EQ(toggle->children()->count(), 1u);
    EXPECT_EQ(toggle->children()->objectAtIndex(0), subItems[1].get());
    EXPECT_EQ(toggle->contentSize(), CGSizeMake(20, 8));
    EXPECT_EQ(subItems[1]->position(), CGPointMake(10, 4));

    // An index past the sub-items is ignored.
    toggle->setSelectedIndex(3);
    EXPECT_EQ(toggle->selectedIndex(), 1u);

    // Enabling the toggle enables a sub-item that was disabled on its own.
    subItems[2]->setIsEnabled(false);
    toggle->setIsEnabled(false);
    toggle->setIsEnabled(true);
    for (const auto& item : subItems) EXPECT_TRUE(item->isEnabled());

    // Without sub-items, activation runs nothing and no index is taken.
    seen.clear();
    const auto empty = CCMenuItemToggle::itemWithItems({}, [&](CCMenuItem*) { seen.push_back(0); });
    empty->activate();
    empty->setSelectedIndex(0);
    EXPECT_EQ(seen.size(), 0u);
    EXPECT_EQ(empty->selectedItem(), nullptr);
}

TEST_F(CCMenuItemTest, TargetAndSelectorCallbacks) {
    const auto target = makeRef<Target>();
    const auto item = CCMenuItem::itemWithTarget(target.get(), ccCallSelector(&Target::onPress));
    item->activate();
    EXPECT_EQ(target->pressedBy, item.get());

    // A cleaned-up item runs nothing.
    target->pressedBy = nullptr;
    item->cleanup();
    item->activate();
    EXPECT_EQ(target->pressedBy, nullptr);

    // A callback set from a target retains it while stored.
    const uint32_t owners = target->retainCount();
    item->setTarget(target, ccCallSelector(&Target::onPress));
    EXPECT_EQ(target->retainCount(), owners + 1);
    item->setBlock(nullptr);
    EXPECT_EQ(target->retainCount(), owners);
}

}  // namespace
