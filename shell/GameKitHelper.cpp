#include "shell/GameKitHelper.h"

#include "shell/GameKitOverlay.h"
#include "platform/foundation/Folders.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/SavedFile.h"
#include "platform/foundation/SharedInstances.h"
#include "platform/foundation/StringUtils.h"
#include "platform/gameservice/LocalGameService.h"

namespace {
// Reads a cache file of identifier -> entry dictionaries through `decode`. A file with an entry
// that does not decode, or that is filed under another identifier, is kept aside as unreadable.
template <typename Entry, typename Decode, typename IdentifierOf>
std::map<std::string, RefPtr<Entry>> readCache(const std::string& path, Decode decode, IdentifierOf identifierOf) {
    std::map<std::string, RefPtr<Entry>> cache;
    const SavedDictionary saved = readSavedDictionary(path);
    for (const auto& [identifier, entry] : saved.dictionary.entries()) {
        RefPtr<Entry> decoded = decode(entry);
        if (!decoded || identifierOf(*decoded) != identifier) {
            moveFileAside(path, "the entry \"" + identifier + "\" is not a cached result");
            return {};
        }
        cache.emplace(identifier, std::move(decoded));
    }
    return cache;
}

template <typename Entry>
void writeCache(const std::string& path, const std::map<std::string, RefPtr<Entry>>& cache) {
    Value dictionary = Value::dictionary();
    for (const auto& [identifier, entry] : cache) dictionary.set(identifier, entry->propertyList());
    writeSavedDictionary(path, dictionary);
}

RefPtr<GameServiceAchievement> copyOf(const GameServiceAchievement& achievement) {
    auto copy = makeRef<GameServiceAchievement>(achievement.identifier());
    copy->setPercentComplete(achievement.percentComplete());
    copy->setShowsCompletionBanner(achievement.showsCompletionBanner());
    copy->setLastReportedDate(achievement.lastReportedDate());
    return copy;
}
}  // namespace

GameKitHelper* GameKitHelper::sharedInstance() {
    static GameKitHelper* const shared = [] {
        noteSharedInstanceMade("GameKitHelper");
        const std::string folder = applicationDataFolder();
        const RefPtr<LocalGameService> service = LocalGameService::create(folder);
        static GameKitHelper helper(service, folder);
        // Never destroyed: a view still open at exit would free its textures without a GL context.
        static GameKitOverlay* const overlay = new GameKitOverlay(helper, service);
        helper.setViewPresenter(overlay);
        return &helper;
    }();
    return shared;
}

GameKitHelper::GameKitHelper(RefPtr<GameService> service, std::string cacheFolder)
    : service_(std::move(service)),
      scoresPath_(stringByAppendingPathComponent(cacheFolder, kCachedScoresFileName)),
      achievementsPath_(stringByAppendingPathComponent(cacheFolder, kCachedAchievementsFileName)),
      alive_(std::make_shared<GameKitHelper*>(this)) {
    if (service_->isAvailable()) {
        NotificationCenter::defaultCenter().addObserver(
            this, GameService::kAuthenticationDidChangeNotification, service_.get(),
            [this](const Notification&) { tellDelegate([](GameKitHelperProtocol& d) { d.onLocalPlayerAuthenticationChanged(); }); });
    }
    initCachedScoresAndAchievements();
}

GameKitHelper::~GameKitHelper() {
    NotificationCenter::defaultCenter().removeObserver(this);
}

template <typename Function>
auto GameKitHelper::whileAlive(Function function) {
    return [alive = std::weak_ptr<GameKitHelper*>(alive_), function = std::move(function)](auto&&... arguments) {
        if (alive.lock()) function(std::forward<decltype(arguments)>(arguments)...);
    };
}

template <typename Call>
void GameKitHelper::tellDelegate(Call call) {
    const RefPtr<const Object> keep = delegateOwner_;
    if (GameKitHelperProtocol* delegate = delegate_) call(*delegate);
}

void GameKitHelper::setDelegate(GameKitHelperProtocol* delegate) {
    delegate_ = delegate;
    delegateOwner_ = RefPtr<const Object>(dynamic_cast<const Object*>(delegate));
}

bool GameKitHelper::isLocalPlayerAuthenticated() const {
    return service_->isAvailable() && service_->isAuthenticated();
}

void GameKitHelper::authenticateLocalPlayer() {
    if (!service_->isAvailable()) return;
    service_->authenticate(whileAlive([this](RefPtr<Error> error) {
        lastError_ = error;
        if (!error && service_->isAuthenticated()) {
            reportCachedScoresAndAchievements();
            loadAchievements();
        } else {
            achievements_.clear();
        }
    }));
}

void GameKitHelper::submitScore(int64_t value, const std::string& category) {
    if (!isLocalPlayerAuthenticated()) return;
    auto score = makeRef<GameServiceScore>(category, value, GameService::currentDate(), service_->playerID());
    service_->reportScore(score, whileAlive([this, score](RefPtr<Error> error) {
        lastError_ = error;
        if (error) cacheScore(score);
        tellDelegate([&](GameKitHelperProtocol& d) { d.onScoreSubmitted(!error, score->category()); });
    }));
}

void GameKitHelper::retrieveScoreForCategory(const std::string& category) {
    if (!isLocalPlayerAuthenticated()) return;
    GameServiceScoreRequest request;
    request.category = category;
    request.localPlayerOnly = true;
    service_->loadScores(request, whileAlive([this, category](std::vector<RefPtr<GameServiceScore>> scores, RefPtr<Error> error) {
        lastError_ = error;
        const RefPtr<GameServiceScore> score = scores.size() == 1 ? scores.front() : nullptr;
        tellDelegate([&](GameKitHelperProtocol& d) { d.onScoreReceived(!error, category, score); });
    }));
}

void GameKitHelper::retrieveScoresForPlayers(const std::vector<std::string>& /*playerIDs*/, const std::string& category,
                                             int64_t first, int64_t length, int /*playerScope*/,
                                             GameServiceScoreRequest::TimeScope timeScope) {
    if (!isLocalPlayerAuthenticated()) return;
    GameServiceScoreRequest request;
    request.category = category;
    request.first = first;
    request.length = length;
    request.timeScope = timeScope;
    service_->loadScores(request, whileAlive([this](std::vector<RefPtr<GameServiceScore>> scores, RefPtr<Error> error) {
        lastError_ = error;
        tellDelegate([&](GameKitHelperProtocol& d) { d.onScoresReceived(!error, scores); });
    }));
}

void GameKitHelper::loadAchievements() {
    if (!isLocalPlayerAuthenticated()) return;
    service_->loadAchievements(whileAlive([this](std::vector<RefPtr<GameServiceAchievement>> loaded, RefPtr<Error> error) {
        lastError_ = error;
        achievements_.clear();
        if (!error) {
            for (auto& achievement : loaded) achievements_[achievement->identifier()] = achievement;
        }
        tellDelegate([&](GameKitHelperProtocol& d) { d.onAchievementsLoaded(!error, achievements_); });
    }));
}

RefPtr<GameServiceAchievement> GameKitHelper::getAchievementByIdentifier(const std::string& identifier) {
    if (!isLocalPlayerAuthenticated()) return nullptr;
    RefPtr<GameServiceAchievement>& achievement = achievements_[identifier];
    if (!achievement) achievement = makeRef<GameServiceAchievement>(identifier);
    return achievement;
}

void GameKitHelper::reportAchievementWithIdentifer(const std::string& identifier, float percent, bool showNotification) {
    const RefPtr<GameServiceAchievement> achievement = getAchievementByIdentifier(identifier);
    if (!achievement || !(achievement->percentComplete() < percent)) return;
    achievement->setPercentComplete(percent);
    achievement->setShowsCompletionBanner(showNotification);
    achievement->setLastReportedDate(GameService::currentDate());
    const RefPtr<GameServiceAchievement> sent = copyOf(*achievement);
    service_->reportAchievement(sent, whileAlive([this, sent, achievement](RefPtr<Error> error) {
        lastError_ = error;
        if (error) cacheAchievement(sent);
        tellDelegate([&](GameKitHelperProtocol& d) { d.onAchievementReported(!error, achievement); });
    }));
}

void GameKitHelper::resetAchievements() {
    if (!isLocalPlayerAuthenticated()) return;
    achievements_.clear();
    cachedAchievements_.clear();
    saveCachedAchievements();
    service_->resetAchievements(whileAlive([this](RefPtr<Error> error) {
        lastError_ = error;
        tellDelegate([&](GameKitHelperProtocol& d) { d.onResetAchievements(!error); });
    }));
}

void GameKitHelper::initCachedScoresAndAchievements() {
    cachedScores_ = readCache<GameServiceScore>(scoresPath_, GameServiceScore::fromPropertyList,
                                                [](const GameServiceScore& score) { return score.category(); });
    cachedAchievements_ = readCache<GameServiceAchievement>(
        achievementsPath_, GameServiceAchievement::fromPropertyList,
        [](const GameServiceAchievement& achievement) { return achievement.identifier(); });
}

void GameKitHelper::cacheScore(RefPtr<GameServiceScore> score) {
    RefPtr<GameServiceScore>& held = cachedScores_[score->category()];
    if (!held || held->value() < score->value()) held = std::move(score);
    saveCachedScores();
}

void GameKitHelper::uncacheScore(const RefPtr<GameServiceScore>& sent) {
    const auto held = cachedScores_.find(sent->category());
    if (held == cachedScores_.end() || held->second != sent) return;  // a newer result took its place
    cachedScores_.erase(held);
    saveCachedScores();
}

void GameKitHelper::cacheAchievement(RefPtr<GameServiceAchievement> achievement) {
    const std::string identifier = achievement->identifier();
    cachedAchievements_[identifier] = std::move(achievement);
    saveCachedAchievements();
}

void GameKitHelper::uncacheAchievement(const RefPtr<GameServiceAchievement>& sent) {
    const auto held = cachedAchievements_.find(sent->identifier());
    if (held == cachedAchievements_.end() || held->second != sent) return;
    cachedAchievements_.erase(held);
    saveCachedAchievements();
}

void GameKitHelper::saveCachedScores() { writeCache(scoresPath_, cachedScores_); }

void GameKitHelper::saveCachedAchievements() { writeCache(achievementsPath_, cachedAchievements_); }

void GameKitHelper::reportCachedScoresAndAchievements() {
    // Snapshots: completions change the caches while the resends are out.
    const auto scores = cachedScores_;
    for (const auto& entry : scores) {
        const RefPtr<GameServiceScore> score = entry.second;
        service_->reportScore(score, whileAlive([this, score](RefPtr<Error> error) {
            lastError_ = error;
            if (!error) uncacheScore(score);
        }));
    }
    const auto achievements = cachedAchievements_;
    for (const auto& entry : achievements) {
        const RefPtr<GameServiceAchievement> achievement = entry.second;
        service_->reportAchievement(achievement, whileAlive([this, achievement](RefPtr<Error> error) {
            lastError_ = error;
            if (!error) uncacheAchievement(achievement);
        }));
    }
}

void GameKitHelper::showGameCenter(int viewState) {
    if (!isLocalPlayerAuthenticated() || viewRequest_ != 0 || viewOpen_) return;
    const uint64_t request = viewRequest_ = ++requestsMade_;
    RunLoop::main().performBlock(whileAlive([this, request, viewState] {
        if (viewRequest_ != request) return;  // closed before its pass
        viewRequest_ = 0;
        presentView(viewState);
    }));
}

void GameKitHelper::presentView(int viewState) {
    if (!presenter_ || !presenter_->presentView(viewState)) {
        logLine("The game-service view cannot be shown: there is no window");
        return;
    }
    viewOpen_ = true;
    tellDelegate([&](GameKitHelperProtocol& d) { d.onGameCenterViewPresented(viewState); });
}

void GameKitHelper::closeGameCenter() {
    viewRequest_ = 0;
    if (viewOpen_) gameCenterViewControllerDidFinish();
}

void GameKitHelper::finishView(void (GameKitHelperProtocol::*dismissed)()) {
    if (!viewOpen_) return;
    viewOpen_ = false;
    if (presenter_) presenter_->dismissView();
    tellDelegate([dismissed](GameKitHelperProtocol& d) { (d.*dismissed)(); });
}
