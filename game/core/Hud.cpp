#include "game/core/Hud.h"

#include <cmath>

#include "engine/actions/composite/CCSequence.h"
#include "engine/actions/ease/CCEaseIn.h"
#include "engine/actions/ease/CCEaseOut.h"
#include "engine/actions/instant/CCCallBlockN.h"
#include "engine/actions/interval/CCMoveTo.h"
#include "engine/core/CCDirector.h"
#include "engine/core/support/CCFileUtils.h"
#include "engine/render/CCSprite.h"
#include "engine/render/CCSpriteBatchNode.h"
#include "engine/render/CCSpriteFrame.h"
#include "engine/render/CCSpriteFrameCache.h"
#include "game/core/HudGameDelegate.h"
#include "game/core/KSMenu.h"
#include "game/core/KSMenuItem.h"
#include "game/core/Units.h"
#include "platform/foundation/Log.h"

namespace {

Hud* gCurrentHud = nullptr;

constexpr const char* kFrames[] = {
    "pause_button_alt.png",          "pause_button_selected_alt.png", "position_indicator_alt.png",
    "game_menu_bg.png",              "game_paused_title.png",         "continue_button.png",
    "continue_button_selected.png",  "quit_button.png",               "quit_button_selected.png",
    "main_menu_button.png",          "main_menu_button_selected.png", "play_again_button.png",
    "play_again_button_selected.png", "end_title_try_harder.png",     "end_title_nice_work.png",
    "end_title_sweet.png",           "end_title_busy_times.png",      "end_title_beeeautiful.png",
    "end_title_hive_opened.png"};

}  // namespace

Hud* Hud::currentHud() { return gCurrentHud; }

Hud::Hud() = default;

bool Hud::init(HudGameDelegate* game) {
    CCSpriteFrameCache* frames = CCSpriteFrameCache::sharedSpriteFrameCache();
    for (const char* name : kFrames) {
        if (!frames->spriteFrameByName(name)) {
            logLine("Hud: the frame \"%s\" is missing from \"hud.plist\"", name);
            return false;
        }
    }
    gCurrentHud = this;
    game_ = game;
    winSize_ = CCDirector::sharedDirector()->winSize();
    initAudio();
    createHudMenu();
    createGameMenu();
    createEndGameMenu();
    hideGameMenu();
    hideEndGameMenu();
    return true;
}

Hud::~Hud() {
    positionIndicator_.reset();
    hudMenu_.reset();
    if (gameMenuHolder_ && gameMenuTransition_) gameMenuHolder_->stopAction(gameMenuTransition_.get());
    gameMenuTransition_.reset();
    gameMenuHolder_.reset();
    if (endGameMenuHolder_ && endGameMenuTransition_) endGameMenuHolder_->stopAction(endGameMenuTransition_.get());
    if (endGameMessageHolder_ && endGameMessageTransition_) {
        endGameMessageHolder_->stopAction(endGameMessageTransition_.get());
    }
    endGameMenuTransition_.reset();
    endGameMessageTransition_.reset();
    endGameMenuHolder_.reset();
    cleanupAudio();
    if (gCurrentHud == this) gCurrentHud = nullptr;
}

// Building blocks.

RefPtr<CCSprite> Hud::frameSprite(const char* name) { return CCSprite::spriteWithSpriteFrameName(name); }

RefPtr<CCSpriteBatchNode> Hud::sheetBatch(uint64_t capacity) {
    const RefPtr<CCSpriteFrame> frame = CCSpriteFrameCache::sharedSpriteFrameCache()->spriteFrameByName(kFrames[0]);
    return CCSpriteBatchNode::batchNodeWithTexture(frame->texture(), capacity);
}

RefPtr<KSMenuItem> Hud::button(CCSpriteBatchNode* batch, int z, const char* normal, const char* selected,
                               CGPoint position, CGPoint anchor, CGPoint sizeOffset, void (Hud::*handler)(Object*)) {
    const RefPtr<CCSprite> normalImage = frameSprite(normal);
    const RefPtr<CCSprite> selectedImage = frameSprite(selected);
    for (CCSprite* image : {normalImage.get(), selectedImage.get()}) {
        image->setAnchorPoint(anchor);
        image->setPosition(position);
        batch->addChild(image, z);
    }
    auto item = makeRef<KSMenuItem>();
    item->initWithNormalSprite(normalImage, selectedImage, nullptr, this, static_cast<SEL_MenuHandler>(handler));
    item->setAnchorPoint(anchor);
    item->setPosition(position);
    item->setSizeOffset(sizeOffset.x, sizeOffset.y);
    return item;
}

RefPtr<CCAction> Hud::slide(CCNode* node, CGPoint position, float seconds, bool easeOut, float rate,
                            void (Hud::*done)(CCNode*)) {
    RefPtr<CCActionInterval> move = CCMoveTo::actionWithDuration(seconds, position);
    RefPtr<CCActionInterval> eased = easeOut ? RefPtr<CCActionInterval>(CCEaseOut::actionWithAction(move, rate))
                                             : RefPtr<CCActionInterval>(CCEaseIn::actionWithAction(move, rate));
    // The call does not hold the HUD, which holds the slide: the HUD stops its slides when it goes.
    RefPtr<CCAction> sequence =
        CCSequence::actionOne(eased, CCCallBlockN::actionWithBlock([this, done](CCNode* moved) { (this->*done)(moved); }));
    node->runAction(sequence.get());
    return sequence;
}

// Pause button.

void Hud::createHudMenu() {
    CCNode* holder = game_ ? game_->hudHolder() : nullptr;
    hudMenuSpriteBatchNode_ = sheetBatch(2);
    if (holder) holder->addChild(hudMenuSpriteBatchNode_.get());

    const RefPtr<CCSprite> normal = frameSprite("pause_button_alt.png");
    const CGSize size = normal->contentSize();
    // Overhangs the right edge by 4 points and touches the top.
    const CGPoint position{winSize_.width - (size.width / 2 - 4), winSize_.height - size.height / 2};
    const RefPtr<KSMenuItem> item =
        button(hudMenuSpriteBatchNode_.get(), 2, "pause_button_alt.png", "pause_button_selected_alt.png", position,
               {0.5, 0.5}, {8, 8}, &Hud::onGamePausePressed);
    pauseMenuItem_ = item.get();
    hudMenu_ = KSMenu::menuWithArrayOfMenuItems({item});
    hudMenu_->setPosition(CGPointZero);

    positionIndicator_ = frameSprite("position_indicator_alt.png");
    updateHudPositionIndicator({0, 1});
    positionIndicator_->setPosition(position);
    hudMenuSpriteBatchNode_->addChild(positionIndicator_.get(), 1);
    if (holder) holder->addChild(hudMenu_.get());
}

void Hud::destroyHudMenu() {
    if (!hudMenu_) return;
    positionIndicator_.reset();
    hudMenuSpriteBatchNode_->removeFromParentAndCleanup(false);
    hudMenu_->removeFromParentAndCleanup(true);
    hudMenu_.reset();
    pauseMenuItem_ = nullptr;
}

void Hud::showHudMenu() {
    if (CCNode* holder = game_ ? game_->hudHolder() : nullptr) holder->setVisible(true);
}

void Hud::hideHudMenu() {
    if (CCNode* holder = game_ ? game_->hudHolder() : nullptr) holder->setVisible(false);
}

void Hud::updateHudPositionIndicator(CGPoint position) {
    if (!positionIndicator_) return;
    positionIndicator_->setRotation(
        static_cast<float>(std::atan2(position.y, position.x) * units::kDegreesPerRadian - 90.0));
}

void Hud::onGamePausePressed(Object*) {
    if (!hudMenu_) return;
    playInterfaceSound();
    if (game_) game_->togglePauseGame();
}

// Pause menu.

void Hud::createGameMenu() {
    const double W = winSize_.width, H = winSize_.height;
    gameMenuState_ = kMenuClosed;
    gameMenuClosedPosition_ = {0, H};  // waits above the screen
    gameMenuHolder_ = CCNode::node();
    gameMenuHolder_->setPosition(gameMenuClosedPosition_);
    const RefPtr<CCSpriteBatchNode> batch = sheetBatch(6);
    gameMenuHolder_->addChild(batch.get());

    const RefPtr<CCSprite> background = frameSprite("game_menu_bg.png");
    const CGSize backgroundSize = background->contentSize();
    background->setAnchorPoint(CGPointZero);
    background->setScaleX(static_cast<float>((W + 200) / backgroundSize.width));
    background->setPosition({-100, 0});
    batch->addChild(background.get());
    // The band is centred vertically when open.
    gameMenuOpenPosition_ = {0, H / 2 - backgroundSize.height / 2};

    const RefPtr<CCSprite> title = frameSprite("game_paused_title.png");
    title->setAnchorPoint(CGPointZero);
    title->setPosition({28, 34});
    batch->addChild(title.get());

    const RefPtr<KSMenuItem> resume = button(batch.get(), 0, "continue_button.png", "continue_button_selected.png",
                                             {W - 518, 34}, CGPointZero, {5, 16}, &Hud::onGameContinuePressed);
    const RefPtr<KSMenuItem> quit = button(batch.get(), 0, "quit_button.png", "quit_button_selected.png",
                                           {W - 246, 34}, CGPointZero, {5, 16}, &Hud::onGameQuitPressed);
    const RefPtr<KSMenu> menu = KSMenu::menuWithArrayOfMenuItems({resume, quit});
    menu->setPosition(CGPointZero);
    gameMenuHolder_->addChild(menu.get());
    if (CCNode* holder = game_ ? game_->hudHolder() : nullptr) holder->addChild(gameMenuHolder_.get());
}

void Hud::showGameMenu() { gameMenuHolder_->setVisible(true); }
void Hud::hideGameMenu() { gameMenuHolder_->setVisible(false); }

void Hud::openGameMenu() {
    if (gameMenuState_ == kMenuOpen || gameMenuState_ == kMenuOpening) return;
    showGameMenu();
    if (gameMenuTransition_) gameMenuHolder_->stopAction(gameMenuTransition_.get());
    gameMenuTransition_.reset();
    gameMenuState_ = kMenuOpening;
    gameMenuTransition_ = slide(gameMenuHolder_.get(), gameMenuOpenPosition_, kGameMenuSlideSeconds, true, 5.0f,
                                &Hud::onGameMenuOpened);
}

void Hud::closeGameMenu() {
    if (gameMenuState_ == kMenuClosed || gameMenuState_ == kMenuClosing) return;
    if (gameMenuTransition_) gameMenuHolder_->stopAction(gameMenuTransition_.get());
    gameMenuTransition_.reset();
    gameMenuState_ = kMenuClosing;
    gameMenuTransition_ = slide(gameMenuHolder_.get(), gameMenuClosedPosition_, kGameMenuSlideSeconds, false, 2.0f,
                                &Hud::onGameMenuClosed);
}

void Hud::onGameMenuOpened(CCNode*) {
    gameMenuTransition_.reset();
    gameMenuState_ = kMenuOpen;
}

void Hud::onGameMenuClosed(CCNode*) {
    gameMenuTransition_.reset();
    gameMenuState_ = kMenuClosed;
    hideGameMenu();
}

void Hud::onGameContinuePressed(Object*) {
    if (gameMenuState_ != kMenuOpen) return;
    playInterfaceSound();
    if (game_) game_->resumeGame();
}

void Hud::onGameQuitPressed(Object*) {
    if (gameMenuState_ != kMenuOpen) return;
    playInterfaceSound();
    if (game_) game_->quitGame();
}

// End-of-level menu.

void Hud::createEndGameMenu() {
    const double W = winSize_.width, H = winSize_.height;
    endGameMenuState_ = kMenuClosed;
    endGameMenuOpenPosition_ = CGPointZero;
    endGameMenuHolder_ = CCNode::node();
    const RefPtr<CCSpriteBatchNode> batch = sheetBatch(6);
    endGameMenuHolder_->addChild(batch.get());

    const RefPtr<KSMenuItem> mainMenu = button(batch.get(), 0, "main_menu_button.png", "main_menu_button_selected.png",
                                               {W - 258, 30}, CGPointZero, {16, 16}, &Hud::onMainMenuPressed);
    const RefPtr<KSMenuItem> playAgain = button(batch.get(), 0, "play_again_button.png",
                                                "play_again_button_selected.png", {30, 30}, CGPointZero, {16, 16},
                                                &Hud::onPlayAgainPressed);
    // The buttons wait just below the screen.
    endGameMenuClosedPosition_ = {0, -(30 + mainMenu->contentSize().height)};
    endGameMenuHolder_->setPosition(endGameMenuClosedPosition_);

    const RefPtr<CCSprite> message = CCSprite::spriteWithTexture(RefPtr<CCTexture2D>(batch->texture()), CGRectZero);
    message->setAnchorPoint(CGPointZero);
    batch->addChild(message.get());
    endGameMessageHolder_ = message.get();
    const RefPtr<CCSprite> hiveUnlocked = CCSprite::spriteWithTexture(RefPtr<CCTexture2D>(batch->texture()), CGRectZero);
    hiveUnlocked->setAnchorPoint(CGPointZero);
    // The line announcing a new hive hangs from the title picture's bottom edge, 266 points in:
    // the two pictures meet without overlapping, and the title's empty bottom rows keep their
    // lettering apart.
    hiveUnlocked->setPosition({266, 0});
    message->addChild(hiveUnlocked.get());
    endGameHiveUnlockedMessageHolder_ = hiveUnlocked.get();

    // The title, 632 points wide, shows centred 186 points below the top ((196, 582) in a
    // 1024 x 768 window); it waits just above the top of the screen while the buttons wait below it.
    const double titleX = W / 2 - 316;
    endGameMessageOpenPosition_ = {titleX, H - 186};
    endGameMessageClosedPosition_ = {titleX, H - endGameMenuClosedPosition_.y + 24};
    message->setPosition(endGameMessageClosedPosition_);

    const RefPtr<KSMenu> menu = KSMenu::menuWithArrayOfMenuItems({mainMenu, playAgain});
    menu->setPosition(CGPointZero);
    endGameMenuHolder_->addChild(menu.get());
    if (CCNode* holder = game_ ? game_->hudHolder() : nullptr) holder->addChild(endGameMenuHolder_.get());
}

void Hud::setEndGameMessageForPerc(float fraction) {
    if (!endGameMessageHolder_) return;
    const char* name = fraction < 0.2f   ? "end_title_try_harder.png"
                       : fraction < 0.4f ? "end_title_nice_work.png"
                       : fraction < 0.6f ? "end_title_sweet.png"
                       : fraction < 0.8f ? "end_title_busy_times.png"
                                         : "end_title_beeeautiful.png";
    const RefPtr<CCSprite> title = frameSprite(name);
    title->setAnchorPoint(CGPointZero);
    endGameMessageHolder_->addChild(title.get());
}

void Hud::showEndGameHiveUnlockedMessage() {
    if (!endGameHiveUnlockedMessageHolder_) return;
    const RefPtr<CCSprite> line = frameSprite("end_title_hive_opened.png");
    line->setAnchorPoint({0, 1});
    endGameHiveUnlockedMessageHolder_->addChild(line.get());
}

void Hud::showEndGameMenu() { endGameMenuHolder_->setVisible(true); }
void Hud::hideEndGameMenu() { endGameMenuHolder_->setVisible(false); }

void Hud::openEndGameMenu() {
    if (endGameMenuState_ == kMenuOpen || endGameMenuState_ == kMenuOpening) return;
    showEndGameMenu();
    if (endGameMenuTransition_) endGameMenuHolder_->stopAction(endGameMenuTransition_.get());
    if (endGameMessageTransition_) endGameMessageHolder_->stopAction(endGameMessageTransition_.get());
    endGameMenuTransition_.reset();
    endGameMessageTransition_.reset();
    endGameMenuState_ = kMenuOpening;
    endGameMenuTransition_ = slide(endGameMenuHolder_.get(), endGameMenuOpenPosition_, kEndGameMenuSlideSeconds, true,
                                   3.0f, &Hud::onEndGameMenuOpened);
    endGameMessageTransition_ = slide(endGameMessageHolder_, endGameMessageOpenPosition_, kEndGameMenuSlideSeconds,
                                      true, 3.0f, &Hud::onEndGameMessageMoved);
}

void Hud::closeEndGameMenu() {
    if (endGameMenuState_ == kMenuClosed || endGameMenuState_ == kMenuClosing) return;
    if (endGameMenuTransition_) endGameMenuHolder_->stopAction(endGameMenuTransition_.get());
    if (endGameMessageTransition_) endGameMessageHolder_->stopAction(endGameMessageTransition_.get());
    endGameMenuTransition_.reset();
    endGameMessageTransition_.reset();
    endGameMenuState_ = kMenuClosing;
    endGameMenuTransition_ = slide(endGameMenuHolder_.get(), endGameMenuClosedPosition_, kEndGameMenuSlideSeconds,
                                   false, 3.0f, &Hud::onEndGameMenuClosed);
    endGameMessageTransition_ = slide(endGameMessageHolder_, endGameMessageClosedPosition_, kEndGameMenuSlideSeconds,
                                      true, 3.0f, &Hud::onEndGameMessageMoved);
}

void Hud::onEndGameMenuOpened(CCNode*) {
    endGameMenuTransition_.reset();
    endGameMenuState_ = kMenuOpen;
}

void Hud::onEndGameMenuClosed(CCNode*) {
    endGameMenuTransition_.reset();
    endGameMenuState_ = kMenuClosed;
    hideEndGameMenu();
}

void Hud::onEndGameMessageMoved(CCNode*) { endGameMessageTransition_.reset(); }

void Hud::onMainMenuPressed(Object*) {
    if (endGameMenuState_ != kMenuOpen) return;
    playInterfaceSound();
    if (game_) game_->finishGame();
}

void Hud::onPlayAgainPressed(Object*) {
    if (endGameMenuState_ != kMenuOpen) return;
    playInterfaceSound();
    if (game_) game_->replayGame();
}
