// Menu items on real labels and sprites: every creation form runs the callback it was given, font
// items take the class-wide font when made and rebuild their label when their own font changes,
// atlas-font items lay their text out in cells, image items install sprite frames, and colour and
// opacity reach every label or image an item shows.

#include "engine/render/CCMenuItem.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "SpriteGLTest.h"
#include "engine/actions/instant/CCCallFunc.h"
#include "engine/core/CCLabelAtlas.h"
#include "engine/render/CCLabelTTF.h"
#include "engine/render/CCMenuItemAtlasFont.h"
#include "engine/render/CCMenuItemFont.h"
#include "engine/render/CCMenuItemImage.h"
#include "engine/render/CCMenuItemLabel.h"
#include "engine/render/CCMenuItemSprite.h"
#include "engine/render/CCSprite.h"
#include "engine/render/CCSpriteFrame.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NamedException.h"

namespace {

class Target : public Object {
public:
    void onPress(Object* sender) { pressedBy = sender; }
    Object* pressedBy = nullptr;
};

// The picture of SpriteGLTest ("cells.png") doubles as a character map of four 32 x 32 cells from
// '0'; a copy of a system font stands in for the class-wide default family "Marker Felt".
class CCMenuItemGLTest : public SpriteGLTest {
protected:
    void SetUp() override {
        SpriteGLTest::SetUp();
        folder_.write("Marker Felt.ttf", readFileBytes("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"));
        ASSERT_EQ(CCLabelTTF::getFontName("Marker Felt.ttf"), "Marker Felt");
    }
    void TearDown() override {
        CCMenuItemFont::setDefaultFontSize(32);
        CCMenuItemFont::setDefaultFontName("Marker Felt");
        SpriteGLTest::TearDown();
    }

    static CCLabelTTF* labelOf(const RefPtr<CCMenuItemFont>& item) { return static_cast<CCLabelTTF*>(item->label()); }
};

TEST_F(CCMenuItemGLTest, EachCreationFormRunsTheCallbackItWasGiven) {
    const auto target = makeRef<Target>();
    const SEL_MenuHandler press = ccCallSelector(&Target::onPress);
    CCMenuItem* blockSender = nullptr;
    const CCMenuItemBlock block = [&](CCMenuItem* sender) { blockSender = sender; };
    enum Callback { none, selector, blockRun };
    const struct {
        const char* name;
        std::function<RefPtr<CCMenuItem>()> make;
        Callback callback;
    } forms[] = {
        {"font", [] { return CCMenuItemFont::itemWithString("Go"); }, none},
        {"font, target", [&] { return CCMenuItemFont::itemWithString("Go", target.get(), press); }, selector},
        {"font, block", [&] { return CCMenuItemFont::itemWithString("Go", block); }, blockRun},
        {"atlas", [] { return CCMenuItemAtlasFont::itemWithString("01", "cells.png", 32, 32, '0'); }, none},
        {"atlas, target",
         [&] { return CCMenuItemAtlasFont::itemWithString("01", "cells.png", 32, 32, '0', target.get(), press); },
         selector},
        {"atlas, block", [&] { return CCMenuItemAtlasFont::itemWithString("01", "cells.png", 32, 32, '0', block); },
         blockRun},
        {"image", [] { return CCMenuItemImage::itemWithNormalImage("cells.png", "cells.png"); }, none},
        {"image, disabled", [] { return CCMenuItemImage::itemWithNormalImage("cells.png", "", "cells.png"); }, none},
        {"image, target",
         [&] { return CCMenuItemImage::itemWithNormalImage("cells.png", "cells.png", target.get(), press); }, selector},
        {"image, disabled, target",
         [&] { return CCMenuItemImage::itemWithNormalImage("cells.png", "", "cells.png", target.get(), press); },
         selector},
        {"image, block", [&] { return CCMenuItemImage::itemWithNormalImage("cells.png", "cells.png", block); },
         blockRun},
        {"image, disabled, block",
         [&] { return CCMenuItemImage::itemWithNormalImage("cells.png", "", "cells.png", block); }, blockRun},
    };
    for (const auto& form : forms) {
        target->pressedBy = nullptr;
        blockSender = nullptr;
        const RefPtr<CCMenuItem> item = form.make();
        ASSERT_NE(item, nullptr) << form.name;
        item->activate();
        EXPECT_EQ(target->pressedBy, form.callback == selector ? item.get() : nullptr) << form.name;
        EXPECT_EQ(blockSender, form.callback == blockRun ? item.get() : nullptr) << form.name;
    }
}

TEST_F(CCMenuItemGLTest, FontItemsKeepTheirOwnFontAndRebuildTheirLabelWhenItChanges) {
    const RefPtr<CCMenuItemFont> first = CCMenuItemFont::itemWithString("Play");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(labelOf(first)->fontName(), "Marker Felt");
    EXPECT_FLOAT_EQ(labelOf(first)->fontSize(), 32);
    EXPECT_EQ(first->contentSize(), labelOf(first)->contentSize());

    // Class-wide defaults changed later reach only the items made afterwards.
    CCMenuItemFont::setDefaultFontSize(16);
    CCMenuItemFont::setDefaultFontName("DejaVu Sans");
    const RefPtr<CCMenuItemFont> second = CCMenuItemFont::itemWithString("Play");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(labelOf(second)->fontName(), "DejaVu Sans");
    EXPECT_FLOAT_EQ(labelOf(second)->fontSize(), 16);
    EXPECT_EQ(labelOf(first)->fontName(), "Marker Felt");
    EXPECT_FLOAT_EQ(labelOf(first)->fontSize(), 32);

    // An item's own size or name replaces its label at once, with the same text; the item takes
    // the new label's size.
    const struct {
        const char* name;
        std::function<void()> change;
        const char* fontName;
        float fontSize;
    } changes[] = {
        {"size", [&] { first->setFontSize(64); }, "Marker Felt", 64},
        {"name", [&] { first->setFontName("DejaVu Sans"); }, "DejaVu Sans", 64},
        // Its own name, with the label's font changed behind its back, gives a label in that name.
        {"its own name",
         [&] {
             labelOf(first)->setFontName("Marker Felt");
             first->setFontName(first->fontName());
         },
         "DejaVu Sans", 64},
    };
    for (const auto& c : changes) {
        const RefPtr<CCNode> before(first->label());
        c.change();
        CCLabelTTF* label = labelOf(first);
        ASSERT_NE(label, before.get()) << c.name;
        EXPECT_EQ(before->parent(), nullptr) << c.name;
        EXPECT_EQ(first->children()->count(), 1u) << c.name;
        EXPECT_EQ(label->string(), "Play") << c.name;
        EXPECT_EQ(label->fontName(), c.fontName) << c.name;
        EXPECT_FLOAT_EQ(label->fontSize(), c.fontSize) << c.name;
        EXPECT_EQ(first->contentSize(), label->contentSize()) << c.name;
    }
    EXPECT_GT(first->contentSize().height, second->contentSize().height * 3);

    // A font that cannot be opened is refused: the item keeps its font and its label.
    const CCNode* shown = first->label();
    LogCapture log;
    first->setFontName("No Such Family");
    first->setFontSize(0);
    EXPECT_EQ(log.lines().size(), 2u);
    EXPECT_EQ(first->label(), shown);
    EXPECT_EQ(first->fontName(), "DejaVu Sans");
    EXPECT_EQ(first->fontSize(), 64u);

    // An empty item opens no font, so it takes one it cannot open; the text it is given later is
    // refused by the label and the item stays empty.
    const RefPtr<CCMenuItemFont> empty = CCMenuItemFont::itemWithString("");
    ASSERT_NE(empty, nullptr);
    empty->setFontName("No Such Family");
    empty->setString("Play");
    EXPECT_EQ(log.lines().size(), 3u);
    EXPECT_EQ(empty->fontName(), "No Such Family");
    EXPECT_EQ(labelOf(empty)->string(), "");
    EXPECT_EQ(empty->contentSize(), CGSizeZero);
}

TEST_F(CCMenuItemGLTest, AtlasFontItemsShowTheirTextInCells) {
    const RefPtr<CCMenuItemAtlasFont> item = CCMenuItemAtlasFont::itemWithString("0312", "cells.png", 32, 32, '0');
    ASSERT_NE(item, nullptr);
    const auto* label = static_cast<CCLabelAtlas*>(item->label());
    EXPECT_EQ(label->string(), "0312");
    EXPECT_EQ(item->contentSize(), CGSizeMake(4 * 32, 32));
    EXPECT_EQ(label->anchorPoint(), CGPointZero);
    item->setPosition({160, 120});
    scene_->addChild(item.get());
    runFrames(1);
    // Cells from the left: red, yellow, green, blue.
    for (auto [x, colour] : {std::pair{112, kRed}, {144, kYellow}, {176, kGreen}, {208, kBlue}}) {
        EXPECT_TRUE(pixelNear(x, 120, colour)) << x;
    }

    // A character map that cannot be loaded gives no item; a negative cell is a programming error.
    EXPECT_EQ(CCMenuItemAtlasFont::itemWithString("0", "missing.png", 32, 32, '0'), nullptr);
    EXPECT_THROW(CCMenuItemAtlasFont::itemWithString("0", "cells.png", -32, 32, '0'), NamedException);
}

TEST_F(CCMenuItemGLTest, ImageItemsInstallSpriteFramesAsTheirImages) {
    const RefPtr<CCMenuItemImage> item = CCMenuItemImage::itemWithNormalImage("cells.png", "");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->selectedImage(), nullptr);
    EXPECT_EQ(CCMenuItemImage::itemWithNormalImage("missing.png", "cells.png"), nullptr);

    // Only the normal frame gives the item its size; each image shows its own frame.
    const RefPtr<CCSpriteFrame> green = CCSpriteFrame::frameWithTexture(texture_, CGRectMake(32, 0, 32, 16));
    const RefPtr<CCSpriteFrame> blue = CCSpriteFrame::frameWithTexture(texture_, CGRectMake(0, 32, 16, 16));
    const RefPtr<CCSpriteFrame> yellow = CCSpriteFrame::frameWithTexture(texture_, CGRectMake(32, 32, 32, 32));
    item->setNormalSpriteFrame(green.get());
    item->setSelectedSpriteFrame(blue.get());
    item->setDisabledSpriteFrame(yellow.get());
    EXPECT_EQ(item->contentSize(), CGSizeMake(32, 16));
    EXPECT_EQ(item->children()->count(), 3u);
    for (const auto& [image, frame] : {std::pair{item->normalImage(), green.get()},
                                       {item->selectedImage(), blue.get()}, {item->disabledImage(), yellow.get()}}) {
        ASSERT_NE(image, nullptr);
        EXPECT_TRUE(static_cast<CCSprite*>(image)->isFrameDisplayed(frame));
        EXPECT_EQ(image->anchorPoint(), CGPointZero);
    }

    // Drawn at the item's place: the normal frame, then the disabled one.
    item->setPosition({100, 100});
    scene_->addChild(item.get());
    runFrames(1);
    EXPECT_TRUE(pixelNear(100, 100, kGreen));
    item->setIsEnabled(false);
    runFrames(1);
    EXPECT_TRUE(pixelNear(100, 100, kYellow));
}

TEST_F(CCMenuItemGLTest, ColourAndOpacityReachEveryPieceOfTheItemAndAreReadFromItsFirst) {
    const auto sprite = [&] { return CCSprite::spriteWithTexture(texture_); };
    const RefPtr<CCNode> label = CCLabelAtlas::labelWithString("01", "cells.png", 32, 32, '0');
    ASSERT_NE(label, nullptr);
    const RefPtr<CCNode> normal = sprite(), selected = sprite(), disabled = sprite(), alone = sprite();
    const struct {
        const char* name;
        RefPtr<CCMenuItem> item;
        std::vector<CCNode*> parts;  // the one read first
    } cases[] = {
        {"label", CCMenuItemLabel::itemWithLabel(label), {label.get()}},
        {"three images", CCMenuItemSprite::itemWithNormalSprite(normal, selected, disabled, nullptr),
         {normal.get(), selected.get(), disabled.get()}},
        {"normal image only", CCMenuItemSprite::itemWithNormalSprite(alone, nullptr), {alone.get()}},
    };
    for (const auto& c : cases) {
        auto* item = dynamic_cast<CCRGBAProtocol*>(c.item.get());
        ASSERT_NE(item, nullptr) << c.name;
        item->setColor({10, 20, 30});
        item->setOpacity(40);
        for (CCNode* part : c.parts) {
            EXPECT_EQ(dynamic_cast<CCRGBAProtocol*>(part)->color(), (ccColor3B{10, 20, 30})) << c.name;
            EXPECT_EQ(dynamic_cast<CCRGBAProtocol*>(part)->opacity(), 40) << c.name;
        }
        auto* first = dynamic_cast<CCRGBAProtocol*>(c.parts.front());
        first->setColor({50, 60, 70});
        first->setOpacity(80);
        EXPECT_EQ(item->color(), (ccColor3B{50, 60, 70})) << c.name;
        EXPECT_EQ(item->opacity(), 80) << c.name;
    }
}

}  // namespace
