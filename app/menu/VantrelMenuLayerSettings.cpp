// The settings screen: the phone's game controls, the game service (on or off, leaderboards,
// achievements) and the message about playing with a phone.

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "app/menu/VantrelMenuLayer.h"
#include "app/menu/VantrelMenuScreenData.h"
#include "shell/ApplicationPreferences.h"
#include "shell/GameKitHelper.h"
#include "shell/VantrelNetworkControl.h"
#include "engine/core/support/CCArray.h"
#include "engine/core/support/CCFileUtils.h"
#include "engine/render/CCSprite.h"
#include "engine/render/CCSpriteFrameCache.h"
#include "game/core/KSMenu.h"
#include "game/core/KSMenuItem.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/StringUtils.h"
#include "platform/window/UrlOpener.h"

namespace {

// Game-controls preference values with a picture: 0 joystick, 1 tilt, 2 d-pad.
constexpr int64_t kGameControlsCount = 3;
// The service toggle's states.
constexpr int32_t kGameCenterOff = 0;
constexpr int32_t kGameCenterOn = 1;

constexpr const char* kPadlinkFrame = "controls_padlink.png";
constexpr const char* kPadlinkConnectedFrame = "controls_padlink_connected.png";
// Our page on connecting a phone, among the resources.
constexpr const char* kPadlinkPage = "phones.html";

// A file: address of an absolute path, every byte but the unreserved ones and '/' percent-encoded.
std::string fileURL(const std::string& path) {
    std::string url = "file://";
    for (const unsigned char c : path) {
        if (std::isalnum(c) || c == '/' || c == '-' || c == '.' || c == '_' || c == '~') {
            url += static_cast<char>(c);
        } else {
            url += stringWithFormat("%%%02X", c);
        }
    }
    return url;
}

}  // namespace

void VantrelMenuLayer::createSettings() {
    VantrelMenuScreenData* screen = createScreen("settings", "menu_bg_title.png");
    CCNode* screenNode = screen->screenNode;
    addFrame(screenNode, "settings_title.png", {305, 565});
    addFrame(screenNode, "gamecontrols_title.png", {288, 453});
    addFrame(screenNode, "leaderboard_title.png", {656, 453});

    std::vector<RefPtr<CCMenuItem>> items;
    const RefPtr<KSMenuItem> gameControls =
        makeHolderButton(screenNode, {288, 355}, {{0, "controls_joystick"}, {1, "controls_tilt"}, {2, "controls_dpad"}},
                         gameControlsSprite_, gameControlsSelectedSprite_,
                         &VantrelMenuLayer::onGameControlsMenuItemPressed);
    gameControls->setSizeOffset(8, 16);
    gameControlsMenuItem_ = gameControls.get();
    items.push_back(gameControls);
    updateGameControlsMenuItem();

    GameKitHelper* gameKit = gameKitHelper();
    hasGameCenterButtons_ = gameKit->isGameCenterAvailable();
    if (!hasGameCenterButtons_) {
        addFrame(screenNode, "gamecenter_unavailable.png", {656, 355});
    } else {
        const RefPtr<KSMenuItem> toggle = makeHolderButton(
            screenNode, {656, 355}, {{kGameCenterOn, "gamecenter_enabled"}, {kGameCenterOff, "gamecenter_disabled"}},
            gameCenterSprite_, gameCenterSelectedSprite_, &VantrelMenuLayer::onGameCenterMenuItemPressed);
        toggle->setSizeOffsets(16, 8, 2, 8);
        gameCenterMenuItem_ = toggle.get();
        items.push_back(toggle);

        const auto viewButton = [this, &items, screenNode](const std::string& frameName, CGPoint position,
                                                           void (VantrelMenuLayer::*handler)(Object*)) -> KSMenuItem* {
            const RefPtr<CCSprite> normal = frameSprite(frameName + ".png");
            const RefPtr<CCSprite> selected = frameSprite(frameName + "_selected.png");
            if (!normal || !selected) return nullptr;
            items.push_back(makePlacedButton(screenNode, normal, selected, position, handler));
            return static_cast<KSMenuItem*>(items.back().get());
        };
        leaderboardMenuItem_ = viewButton("gamecenter_view_leaderboard", {656, 258},
                                          &VantrelMenuLayer::onGameCenterLeaderboardMenuItemPressed);
        if (leaderboardMenuItem_) leaderboardMenuItem_->setSizeOffsets(2, 8, 2, 8);
        achievementsMenuItem_ = viewButton("gamecenter_view_achievements", {656, 162},
                                           &VantrelMenuLayer::onGameCenterAchievementsMenuItemPressed);
        if (achievementsMenuItem_) achievementsMenuItem_->setSizeOffsets(2, 8, 16, 8);
        updateGameCenterMenuItems();
    }

    const RefPtr<CCSprite> padlink =
        frameSprite(networkControl()->padlinkConnected() ? kPadlinkConnectedFrame : kPadlinkFrame);
    if (padlink) {
        const RefPtr<KSMenuItem> message =
            makePlacedButton(screenNode, padlink, nullptr, {284, 221}, &VantrelMenuLayer::onPadlinkMenuItemPressed);
        // Below the game-controls button, closer than their margins (16 below it, 8 above this)
        // reach: the two click areas meet halfway across the gap.
        const double gap = gameControls->normalImage()->position().y - (221 + padlink->contentSize().height);
        const double halfGap = std::clamp(gap / 2, 0.0, 8.0);
        gameControls->setSizeOffsets(16, 8, std::clamp(gap - halfGap, 0.0, 16.0), 8);
        message->setSizeOffsets(halfGap, 8, 8, 8);
        padlinkSprite_ = padlink.get();
        padlinkMenuItem_ = message.get();
        items.push_back(message);
    }

    // In the base node, at the screen node's origin, so that the items are placed in screen points.
    const RefPtr<KSMenu> menu = KSMenu::menuWithArrayOfMenuItems(items);
    menu->setIgnoreAnchorPointForPosition(false);
    menu->setAnchorPoint(CGPointZero);
    menu->setPosition({-halfScreenSize_.width, screenRadius_ - halfScreenSize_.height});
    screen->baseNode->addChild(menu.get());
}

RefPtr<KSMenuItem> VantrelMenuLayer::makeHolderButton(CCNode* screenNode, CGPoint position,
                                                      const std::vector<std::pair<int32_t, std::string>>& states,
                                                      RefPtr<CCSprite>& normalHolder, RefPtr<CCSprite>& selectedHolder,
                                                      void (VantrelMenuLayer::*handler)(Object*)) {
    normalHolder = holderSprite(screenNode);
    selectedHolder = holderSprite(screenNode);
    // Before the item takes the holders: it takes its size from the normal one.
    for (const auto& [state, imageName] : states) addMenuItemState(state, imageName, normalHolder.get(), selectedHolder.get());
    return makePlacedButton(screenNode, normalHolder, selectedHolder, position, handler);
}

void VantrelMenuLayer::addMenuItemState(int32_t state, const std::string& imageName, CCSprite* normalHolder,
                                        CCSprite* selectedHolder) {
    const auto add = [state](CCSprite* holder, const std::string& frameName) {
        if (!holder) return;
        CCSprite* sprite = addFrame(holder, frameName, CGPointZero);
        if (!sprite) return;
        sprite->setTag(state);
        holder->setContentSize(sprite->contentSize());
    };
    add(normalHolder, imageName + ".png");
    add(selectedHolder, imageName + "_selected.png");
}

void VantrelMenuLayer::showMenuItemState(int32_t state, CCSprite* normalHolder, CCSprite* selectedHolder) {
    for (CCSprite* holder : {normalHolder, selectedHolder}) {
        if (!holder || !holder->children()) continue;
        for (uint64_t i = 0; i < holder->children()->count(); ++i) {
            auto* child = dynamic_cast<CCNode*>(holder->children()->objectAtIndex(i));
            if (child) child->setVisible(child->tag() == state);
        }
    }
}

// ---- Game controls ----

void VantrelMenuLayer::onGameControlsMenuItemPressed(Object* /*sender*/) {
    if (isBusy()) return;
    playInterfaceSound();
    nextGameControls();
}

void VantrelMenuLayer::nextGameControls() {
    ApplicationPreferences* preferences = ApplicationPreferences::sharedInstance();
    const int64_t controls = preferences->gameControls();
    preferences->setGameControls(controls < 0 || controls >= kGameControlsCount - 1 ? 0 : controls + 1);
    updateGameControlsMenuItem();
}

void VantrelMenuLayer::updateGameControlsMenuItem() {
    const int64_t controls = ApplicationPreferences::sharedInstance()->gameControls();
    // A stored value without a picture shows none (no child carries its tag).
    const int32_t state = controls >= 0 && controls < kGameControlsCount ? static_cast<int32_t>(controls) : -1;
    showMenuItemState(state, gameControlsSprite_.get(), gameControlsSelectedSprite_.get());
}

// ---- Game service ----

void VantrelMenuLayer::onGameCenterMenuItemPressed(Object* /*sender*/) {
    if (isBusy()) return;
    playInterfaceSound();
    toggleGameCenter();
}

void VantrelMenuLayer::toggleGameCenter() {
    ApplicationPreferences* preferences = ApplicationPreferences::sharedInstance();
    preferences->setUseGameCenter(!preferences->useGameCenter());
    updateGameCenterMenuItems();
    updateGameCenter();
}

void VantrelMenuLayer::updateGameCenterMenuItems() {
    if (!hasGameCenterButtons_) return;
    const bool useGameCenter = ApplicationPreferences::sharedInstance()->useGameCenter();
    showMenuItemState(useGameCenter ? kGameCenterOn : kGameCenterOff, gameCenterSprite_.get(),
                      gameCenterSelectedSprite_.get());
    const bool viewable = useGameCenter && gameKitHelper()->isLocalPlayerAuthenticated();
    if (leaderboardMenuItem_) leaderboardMenuItem_->setIsEnabled(viewable);
    if (achievementsMenuItem_) achievementsMenuItem_->setIsEnabled(viewable);
}

void VantrelMenuLayer::onGameCenterLeaderboardMenuItemPressed(Object* /*sender*/) {
    if (isBusy()) return;
    playInterfaceSound();
    showGameCenterLeaderboard();
}

void VantrelMenuLayer::onGameCenterAchievementsMenuItemPressed(Object* /*sender*/) {
    if (isBusy()) return;
    playInterfaceSound();
    showGameCenterAchievements();
}

void VantrelMenuLayer::showGameCenterLeaderboard() {
    if (ApplicationPreferences::sharedInstance()->useGameCenter()) gameKitHelper()->showLeaderboard();
}

void VantrelMenuLayer::showGameCenterAchievements() {
    if (ApplicationPreferences::sharedInstance()->useGameCenter()) gameKitHelper()->showAchievements();
}

// ---- Phones ----

void VantrelMenuLayer::onPadlinkMenuItemPressed(Object* /*sender*/) {
    if (isBusy() || networkControl()->padlinkConnected()) return;
    playInterfaceSound();
    openPadlinkURL();
}

void VantrelMenuLayer::openPadlinkURL() {
    const std::string path = CCFileUtils::sharedFileUtils()->fullPathFromRelativePath(kPadlinkPage);
    std::error_code error;
    if (path.empty() || !std::filesystem::is_regular_file(path, error)) {
        logLine("Vantrel: the page \"%s\" is missing from the resources", kPadlinkPage);
        return;
    }
    UrlOpener::current().openURL(fileURL(std::filesystem::absolute(path, error).string()));
}

void VantrelMenuLayer::updatePadlinkMessage() {
    if (!padlinkSprite_) return;
    const char* frameName = networkControl()->padlinkConnected() ? kPadlinkConnectedFrame : kPadlinkFrame;
    const RefPtr<CCSpriteFrame> frame = CCSpriteFrameCache::sharedSpriteFrameCache()->spriteFrameByName(frameName);
    if (!frame) {
        logLine("Vantrel: the menu has no picture \"%s\"", frameName);
        return;
    }
    padlinkSprite_->setDisplayFrame(frame.get());
}
