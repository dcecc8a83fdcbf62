// The menu's use of the game service: logging in or out by the preference, and its callbacks. While
// the service's view is on screen the director stands still and the menu counts as busy, so that no
// phone or pad press starts a game behind the view (which would leave the director paused).

#include <cctype>

#include "app/menu/VantrelMenuLayer.h"
#include "shell/ApplicationPreferences.h"
#include "shell/GameKitHelper.h"
#include "shell/GameKitOverlay.h"
#include "engine/core/CCDirector.h"
#include "game/core/Levels.h"
#include "platform/foundation/StringUtils.h"

GameKitHelper* VantrelMenuLayer::gameKitHelper() const {
    return gameKitHelper_ ? gameKitHelper_ : GameKitHelper::sharedInstance();
}

void VantrelMenuLayer::updateGameCenter() {
    if (ApplicationPreferences::sharedInstance()->useGameCenter()) {
        loginGameCenter();
    } else {
        logoutGameCenter();
    }
}

void VantrelMenuLayer::loginGameCenter() {
    GameKitHelper* gameKit = gameKitHelper();
    giveLeaderboardTitles();
    gameKit->setDelegate(this);
    gameKit->authenticateLocalPlayer();
}

void VantrelMenuLayer::logoutGameCenter() {
    GameKitHelper* gameKit = gameKitHelper();
    if (gameKit->delegate() == this) gameKit->setDelegate(nullptr);
}

void VantrelMenuLayer::giveLeaderboardTitles() {
    auto* overlay = dynamic_cast<GameKitOverlay*>(gameKitHelper()->viewPresenter());
    if (!overlay || !levels_) return;
    // Levels are named by their group and place in it: "MEADOW 2".
    std::vector<std::pair<std::string, std::string>> titles;
    for (const Value& group : levels_->levelGroupOrder().elements()) {
        const std::string groupId = group.stringValue();
        std::string groupName = levels_->getLevelGroupNameForLevelGroupId(groupId);
        if (groupName.empty()) groupName = groupId;
        for (char& c : groupName) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        int place = 0;
        for (const Value& level : levels_->levelGroups()[groupId].elements()) {
            titles.emplace_back(Levels::leaderboardIdForLevelId(level["id"].stringValue()),
                                stringWithFormat("%s %d", groupName.c_str(), ++place));
        }
    }
    overlay->setLeaderboardTitles(std::move(titles));
}

bool VantrelMenuLayer::isGameServiceViewOpen() const { return gameKitHelper()->isGameCenterViewOpen(); }

void VantrelMenuLayer::onLocalPlayerAuthenticationChanged() { updateGameCenterMenuItems(); }

void VantrelMenuLayer::onGameCenterViewPresented(int /*viewState*/) { CCDirector::sharedDirector()->pause(); }

void VantrelMenuLayer::onLeaderboardViewPresented(int viewState) { onGameCenterViewPresented(viewState); }

void VantrelMenuLayer::onAchievementsViewPresented(int viewState) { onGameCenterViewPresented(viewState); }

void VantrelMenuLayer::onGameCenterViewDismissed() { CCDirector::sharedDirector()->resume(); }

void VantrelMenuLayer::onLeaderboardViewDismissed() { onGameCenterViewDismissed(); }

void VantrelMenuLayer::onAchievementsViewDismissed() { onGameCenterViewDismissed(); }
