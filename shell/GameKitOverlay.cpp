#include "shell/GameKitOverlay.h"

#include <map>
#include <set>

#include "shell/GameKitHelper.h"
#include "shell/GameKitOverlayLayer.h"
#include "engine/core/CCDirector.h"
#include "platform/foundation/StringUtils.h"
#include "platform/window/CursorHider.h"

namespace {
constexpr int kAchievementsState = 1;
constexpr const char* kLoading = "Reading the results...";
constexpr const char* kNoScores = "No scores yet: finish a level to set one.";

std::string identifier(const char* suffix) { return std::string(GameKitHelper::kIdentifierPrefix) + "_" + suffix; }

std::string failureText(const Error& error) { return "The results cannot be read: " + error.localizedDescription(); }

// The total first, then the named leaderboards in the order given, then the others by their
// identifier without the prefix, in the order they came.
GameKitOverlayLayer::Rows leaderboardRows(const std::vector<RefPtr<GameServiceScore>>& scores,
                                          const std::vector<std::pair<std::string, std::string>>& titles) {
    std::map<std::string, int64_t> values;
    for (const auto& score : scores) values[score->category()] = score->value();
    GameKitOverlayLayer::Rows rows;
    std::set<std::string> shown;
    const auto add = [&](const std::string& category, const std::string& name) {
        const auto value = values.find(category);
        if (value == values.end() || !shown.insert(category).second) return;
        rows.emplace_back(name, stringWithFormat("%lld", static_cast<long long>(value->second)));
    };
    add(identifier("global_honey"), GameKitOverlay::kTotalTitle);
    for (const auto& [category, name] : titles) add(category, name);
    const std::string prefix = identifier("");
    for (const auto& score : scores) {
        const std::string& category = score->category();
        add(category, category.starts_with(prefix) ? category.substr(prefix.size()) : category);
    }
    return rows;
}

GameKitOverlayLayer::Rows rankRows(const std::vector<RefPtr<GameServiceAchievement>>& achievements) {
    std::map<std::string, double> percents;
    for (const auto& achievement : achievements) percents[achievement->identifier()] = achievement->percentComplete();
    GameKitOverlayLayer::Rows rows;
    for (int rank = 1; rank <= GameKitOverlay::kRankCount; ++rank) {
        const auto percent = percents.find(identifier(stringWithFormat("rank_%d", rank).c_str()));
        rows.emplace_back(stringWithFormat("RANK %d", rank),
                          stringWithFormat("%.0f %%", percent == percents.end() ? 0.0 : percent->second));
    }
    return rows;
}
}  // namespace

GameKitOverlay::GameKitOverlay(GameKitHelper& helper, RefPtr<GameService> service)
    : helper_(helper), service_(std::move(service)) {}

GameKitOverlay::~GameKitOverlay() { dismissView(); }

bool GameKitOverlay::presentView(int viewState) {
    CCDirector* director = CCDirector::sharedDirector();
    if (!director->view()) return false;
    dismissView();
    const bool achievements = viewState == kAchievementsState;
    layer_ = GameKitOverlayLayer::layerWithTitle(achievements ? "ACHIEVEMENTS" : "LEADERBOARDS", kLoading,
                                                 [&helper = helper_] { helper.gameCenterViewControllerDidFinish(); });
    if (!layer_) return false;
    replacedNode_ = RefPtr<CCNode>(director->notificationNode());
    director->setNotificationNode(layer_);
    layer_->onEnter();
    CursorHider::current().mouseMoved();  // the pointer shows while the view is open
    if (achievements) {
        loadAchievements();
    } else {
        loadLeaderboards();
    }
    return true;
}

void GameKitOverlay::dismissView() {
    if (!layer_) return;
    const RefPtr<GameKitOverlayLayer> layer = std::move(layer_);
    layer->onExit();
    CCDirector* director = CCDirector::sharedDirector();
    if (director->notificationNode() == layer.get()) director->setNotificationNode(std::move(replacedNode_));
    replacedNode_ = nullptr;
}

// The loads fill the layer they were made for, unless it has gone off screen meanwhile.
void GameKitOverlay::loadLeaderboards() {
    service_->loadBestScores([layer = layer_, titles = titles_](std::vector<RefPtr<GameServiceScore>> scores,
                                                                  RefPtr<Error> error) {
        if (!layer->isRunning()) return;
        layer->showRows(error ? GameKitOverlayLayer::Rows{} : leaderboardRows(scores, titles),
                        error ? failureText(*error) : kNoScores);
    });
}

void GameKitOverlay::loadAchievements() {
    service_->loadAchievements([layer = layer_](std::vector<RefPtr<GameServiceAchievement>> achievements,
                                                RefPtr<Error> error) {
        if (!layer->isRunning()) return;
        layer->showRows(error ? GameKitOverlayLayer::Rows{} : rankRows(achievements), error ? failureText(*error) : "");
    });
}
