#pragma once

#include <string>
#include <utility>
#include <vector>

#include "shell/GameKitViewPresenter.h"
#include "platform/gameservice/GameService.h"

class CCNode;
class GameKitHelper;
class GameKitOverlayLayer;

// Shows GameKitHelper's view inside the window: a GameKitOverlayLayer made the director's
// notification node, so that it is drawn over the scene, also while the director is paused, and
// takes the input first. The node it replaces comes back when the view goes.
//
// View state 1 shows the achievements: ranks 1 to 10 with the percentage the service holds (0 %
// for one it has never had). Every other state shows the leaderboards: each leaderboard's best
// value as the service holds it, named by setLeaderboardTitles where a name is known. The values
// are loaded when the view is shown and fill it in a later pass; until then, or when the load
// fails, the view says so.
//
// Engine thread only.
class GameKitOverlay : public GameKitViewPresenter {
public:
    // The shown name of the leaderboard of every level's total.
    static constexpr const char* kTotalTitle = "TOTAL HONEY";
    static constexpr int kRankCount = 10;

    // Reads from `service` and tells `helper` when the player is done. The helper must outlive
    // the overlay.
    GameKitOverlay(GameKitHelper& helper, RefPtr<GameService> service);
    // Takes an open view off screen.
    ~GameKitOverlay();
    GameKitOverlay(const GameKitOverlay&) = delete;
    GameKitOverlay& operator=(const GameKitOverlay&) = delete;

    // Leaderboard identifier -> shown name (the levels'), in the order they are shown. The total
    // comes first as kTotalTitle, then these, then the leaderboards without a name by their
    // identifier without the prefix.
    void setLeaderboardTitles(std::vector<std::pair<std::string, std::string>> titles) { titles_ = std::move(titles); }

    // False, showing nothing, when the director has no view.
    bool presentView(int viewState) override;
    void dismissView() override;

    // The view on screen; null when none.
    GameKitOverlayLayer* layer() const { return layer_.get(); }

private:
    void loadLeaderboards();
    void loadAchievements();

    GameKitHelper& helper_;
    const RefPtr<GameService> service_;
    std::vector<std::pair<std::string, std::string>> titles_;
    RefPtr<GameKitOverlayLayer> layer_;
    RefPtr<CCNode> replacedNode_;  // the notification node before the view
};
