#include "game/core/KSMenu.h"

#include <gtest/gtest.h>

#include "game/core/KSMenuItem.h"
#include "support/HeadlessDirectorTest.h"

namespace {

// An image node of a given size, without texture or GL.
class Swatch : public CCNode, public CCRGBAProtocol {
public:
    explicit Swatch(CGSize size) { setContentSize(size); }
    ccColor3B color() const override { return {}; }
    void setColor(ccColor3B) override {}
    uint8_t opacity() const override { return 255; }
    void setOpacity(uint8_t) override {}
};

// A 1024 x 768 window: the menu's origin is its centre, (512, 384).
class KSMenuTest : public HeadlessDirectorTest {
protected:
    void SetUp() override {
        HeadlessDirectorTest::SetUp();
        setWindowSize({1024, 768});
    }

    // An item with a 100 x 40 image whose lower-left corner is at (x, y) in the window; the image
    // stands on its own, as a picture in a batch node would.
    static RefPtr<KSMenuItem> item(double x, double y, CGSize size = {100, 40}) {
        auto made = makeRef<KSMenuItem>();
        const RefPtr<Swatch> image = makeRef<Swatch>(size);
        image->setPosition({x, y});
        EXPECT_TRUE(made->initWithNormalSprite(image, nullptr, nullptr, nullptr));
        return made;
    }

    static Event click(double x, double y) {
        Event event;
        event.type = EventType::mouseDown;
        event.locationInWindow = {x, y};
        return event;
    }
};

TEST_F(KSMenuTest, TheHitAreaGrowsByTheSizeOffsetsOnEachSide) {
    const RefPtr<KSMenuItem> button = item(200, 300);
    const RefPtr<KSMenu> menu = KSMenu::menuWithArrayOfMenuItems({button});
    const auto hits = [&](double x, double y) { return menu->itemForMouseEvent(click(x, y)) == button.get(); };

    // 10 points more on the left and right, 5 more at the bottom and top: window x 190 to 310,
    // y 295 to 345; the right and top edges are outside.
    button->setSizeOffset(10, 5);
    EXPECT_EQ(button->rect(), CGRectMake(-10, -5, 120, 50));
    EXPECT_TRUE(hits(192, 320) && hits(309.5, 320) && hits(250, 295) && hits(250, 344.5));
    EXPECT_FALSE(hits(189, 320) || hits(310, 320) || hits(250, 294.5) || hits(250, 345));

    // Top 1, right 2, bottom 3, left 4: x 196 to 302, y 297 to 341.
    button->setSizeOffsets(1, 2, 3, 4);
    EXPECT_EQ(button->rect(), CGRectMake(-4, -3, 106, 44));
    EXPECT_EQ(button->sizeOffset(), CGPointMake(6, 4));
    EXPECT_TRUE(hits(196, 320) && hits(301.5, 320) && hits(250, 297) && hits(250, 340.5));
    EXPECT_FALSE(hits(195.5, 320) || hits(302, 320) || hits(250, 296.5) || hits(250, 341));

    // A new normal image keeps the offsets around its own size.
    button->setNormalImage(makeRef<Swatch>(CGSizeMake(50, 20)));
    EXPECT_EQ(button->rect(), CGRectMake(-4, -3, 56, 24));
}

TEST_F(KSMenuTest, TheFirstVisibleEnabledChildUnderThePointerWins) {
    const RefPtr<KSMenuItem> first = item(200, 300);
    const RefPtr<KSMenuItem> second = item(250, 300);  // overlaps the first's right half
    const RefPtr<CCMenuItem> plain = makeRef<CCMenuItem>();
    plain->setContentSize({20, 20});
    plain->setPosition({600 - 512, 100 - 384});  // centred there (anchor 0.5)
    const RefPtr<KSMenu> menu = KSMenu::menuWithArrayOfMenuItems({first, second, plain});

    EXPECT_EQ(menu->itemForMouseEvent(click(280, 320)), first.get());
    first->setIsEnabled(false);
    EXPECT_EQ(menu->itemForMouseEvent(click(280, 320)), second.get());
    second->setVisible(false);
    EXPECT_EQ(menu->itemForMouseEvent(click(280, 320)), nullptr);
    first->setIsEnabled(true);
    EXPECT_EQ(menu->itemForMouseEvent(click(280, 320)), first.get());

    EXPECT_EQ(menu->itemForMouseEvent(click(595, 95)), plain.get());
    EXPECT_EQ(menu->itemForMouseEvent(click(611, 100)), nullptr);
}

// The item only shows and hides its images: each stays where its caller put it, and one that is
// replaced stays there too.
TEST_F(KSMenuTest, ImagesStayWhereTheyArePutTheNormalShownTheOthersHidden) {
    const RefPtr<CCNode> batch = CCNode::node();
    const auto placed = [&batch](CGSize size) {
        RefPtr<Swatch> image = makeRef<Swatch>(size);
        batch->addChild(image.get());
        return image;
    };
    const RefPtr<Swatch> normal = placed({100, 40}), selected = placed({100, 40}), disabled = placed({100, 40});
    const RefPtr<KSMenuItem> button = makeRef<KSMenuItem>();
    ASSERT_TRUE(button->initWithNormalSprite(normal, selected, disabled, nullptr));
    button->setSizeOffset(10, 5);
    for (const Swatch* image : {normal.get(), selected.get(), disabled.get()}) EXPECT_EQ(image->parent(), batch.get());
    EXPECT_TRUE(normal->visible());
    EXPECT_FALSE(selected->visible() || disabled->visible());
    EXPECT_EQ(button->children(), nullptr) << "the item draws nothing of its own";

    const RefPtr<Swatch> pressed = placed({100, 40}), greyed = placed({100, 40}), bigger = placed({50, 20});
    selected->setVisible(true);
    button->setSelectedImage(pressed);
    button->setDisabledImage(greyed);
    button->setNormalImage(bigger);
    EXPECT_FALSE(pressed->visible() || greyed->visible());
    EXPECT_TRUE(bigger->visible());
    for (const Swatch* image : {pressed.get(), greyed.get(), bigger.get(), selected.get(), normal.get()}) {
        EXPECT_EQ(image->parent(), batch.get());
    }
    EXPECT_TRUE(selected->visible()) << "a replaced image is let go as it was";
    EXPECT_EQ(button->selectedImage(), pressed.get());
    EXPECT_EQ(button->disabledImage(), greyed.get());
    EXPECT_EQ(button->contentSize(), CGSizeMake(50, 20));
    EXPECT_EQ(button->rect(), CGRectMake(-10, -5, 70, 30));
    // The same image again changes nothing, not even its visibility.
    pressed->setVisible(true);
    button->setSelectedImage(pressed);
    EXPECT_TRUE(pressed->visible());
}

TEST_F(KSMenuTest, ADisabledItemShowsOnlyItsDisabledImageOrNothing) {
    for (const bool withDisabledImage : {true, false}) {
        const RefPtr<KSMenuItem> button = makeRef<KSMenuItem>();
        const RefPtr<Swatch> normal = makeRef<Swatch>(CGSizeMake(10, 10));
        const RefPtr<Swatch> disabled = withDisabledImage ? makeRef<Swatch>(CGSizeMake(10, 10)) : nullptr;
        ASSERT_TRUE(button->initWithNormalSprite(normal, nullptr, disabled, nullptr));
        button->setIsEnabled(false);
        EXPECT_FALSE(normal->visible());
        EXPECT_TRUE(!disabled || disabled->visible());
        button->setIsEnabled(true);
        EXPECT_TRUE(normal->visible());
        EXPECT_TRUE(!disabled || !disabled->visible());
    }
}

}  // namespace
