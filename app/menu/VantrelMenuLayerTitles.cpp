// The title screen and the seven-page instructions screen.

#include "app/menu/VantrelMenuLayer.h"
#include "app/menu/VantrelMenuScreenData.h"
#include "engine/core/support/CCArray.h"
#include "engine/render/CCSprite.h"
#include "game/core/KSMenu.h"
#include "game/core/KSMenuItem.h"
#include "platform/foundation/StringUtils.h"

namespace {

constexpr int32_t kInstructionsPages = 7;
constexpr uint8_t kCurrentPageDotOpacity = 204;
constexpr uint8_t kOtherPageDotOpacity = 51;

}  // namespace

void VantrelMenuLayer::createMainTitles() {
    VantrelMenuScreenData* title = createScreen("title", "menu_bg_title.png");
    addFrame(title->screenNode, "vantrel_title.png", {346, 241});
}

void VantrelMenuLayer::createInstructions() {
    VantrelMenuScreenData* screen = createScreen("instructions", "menu_bg_title.png");
    CCNode* screenNode = screen->screenNode;
    addFrame(screenNode, "instructions_title.png", {305, 565});

    const auto addHolder = [screenNode](CGPoint position) {
        RefPtr<CCSprite> holder = holderSprite(screenNode);
        if (!holder) return holder;
        holder->setAnchorPoint(CGPointZero);
        holder->setPosition(position);
        screenNode->addChild(holder.get());
        return holder;
    };
    instructionsText_ = addHolder({645, 334});
    instructionsImages_ = addHolder({290, 204});
    instructionsIndicators_ = addHolder({651, 221});
    currentInstructionsPage_ = 1;

    for (int32_t page = 1; page <= kInstructionsPages; ++page) {
        if (CCSprite* text = addFrame(instructionsText_.get(), stringWithFormat("how_to_play_text_%i.png", page), {0, 0})) {
            text->setTag(page);
        }
        if (CCSprite* image = addFrame(instructionsImages_.get(), stringWithFormat("how_to_play_image_%i.png", page),
                                       {0, 0})) {
            image->setTag(page);
        }
        if (CCSprite* dot = addFrame(instructionsIndicators_.get(), "how_to_play_spot_indicator.png", {0, 0})) {
            dot->setTag(page);
            dot->setPosition({(dot->contentSize().width + 2) * (page - 1), 0});
        }
    }
    updateInstructions();

    // The next button's images stay where the screen places them; its hit area reaches well to
    // the right of and below the arrow, over the page dots.
    const RefPtr<CCSprite> normal = frameSprite("menu_next_button.png");
    const RefPtr<CCSprite> selected = frameSprite("menu_next_button_selected.png");
    if (!normal || !selected) return;
    const RefPtr<KSMenuItem> next =
        makePlacedButton(screenNode, normal, selected, {651, 272}, &VantrelMenuLayer::onNextInstructionsMenuItemPressed);
    next->setSizeOffsets(10, 187, 60, 5);
    const RefPtr<KSMenu> menu = KSMenu::menuWithArrayOfMenuItems({next});
    menu->setIgnoreAnchorPointForPosition(false);
    menu->setAnchorPoint(CGPointZero);
    // In the base node, at the screen node's origin, so that the item is placed in screen points.
    menu->setPosition({-halfScreenSize_.width, screenRadius_ - halfScreenSize_.height});
    screen->baseNode->addChild(menu.get());
}

void VantrelMenuLayer::updateInstructions() {
    const auto showPage = [](CCNode* holder, const auto& apply) {
        if (!holder || !holder->children()) return;
        for (uint64_t i = 0; i < holder->children()->count(); ++i) {
            if (auto* sprite = dynamic_cast<CCSprite*>(holder->children()->objectAtIndex(i))) apply(sprite);
        }
    };
    const auto visibleOnPage = [this](CCSprite* sprite) { sprite->setVisible(sprite->tag() == currentInstructionsPage_); };
    showPage(instructionsText_.get(), visibleOnPage);
    showPage(instructionsImages_.get(), visibleOnPage);
    showPage(instructionsIndicators_.get(), [this](CCSprite* dot) {
        dot->setOpacity(dot->tag() == currentInstructionsPage_ ? kCurrentPageDotOpacity : kOtherPageDotOpacity);
    });
}

void VantrelMenuLayer::nextInstructions() {
    const size_t pages = instructionsText_ && instructionsText_->children() ? instructionsText_->children()->count() : 0;
    ++currentInstructionsPage_;
    if (static_cast<size_t>(currentInstructionsPage_) > pages) currentInstructionsPage_ = 1;
    updateInstructions();
}

void VantrelMenuLayer::onNextInstructionsMenuItemPressed(Object* /*sender*/) {
    if (isBusy()) return;
    playInterfaceSound();
    nextInstructions();
}
