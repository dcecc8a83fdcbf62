#include "platform/gameservice/LocalGameService.h"

#include <unistd.h>

#include <algorithm>

#include "platform/foundation/Folders.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/SavedFile.h"
#include "platform/foundation/StringUtils.h"

namespace {
constexpr const char* kLeaderboards = "leaderboards";
constexpr const char* kAchievements = "achievements";
constexpr double kSecondsPerDay = 86400;

bool isEntryDictionary(const Value& entries, const char* numberKey, bool integerOnly) {
    if (entries.isNone()) return true;
    if (!entries.isDictionary()) return false;
    for (const auto& [identifier, entry] : entries.entries()) {
        const Value& number = entry[numberKey];
        const bool numberOK = integerOnly ? number.isInteger() && !number.isUnsignedInteger() : number.isInteger() || number.isReal();
        if (!numberOK || !entry["date"].isDate()) return false;
    }
    return true;
}

Value emptyStore() {
    Value store = Value::dictionary();
    store.set(kLeaderboards, Value::dictionary());
    store.set(kAchievements, Value::dictionary());
    return store;
}

// The store as read, with both tables present.
Value normalisedStore(const Value& read) {
    Value store = emptyStore();
    if (read[kLeaderboards].isDictionary()) store.set(kLeaderboards, read[kLeaderboards]);
    if (read[kAchievements].isDictionary()) store.set(kAchievements, read[kAchievements]);
    return store;
}

Value entry(const char* numberKey, Value number, double date) {
    Value dictionary = Value::dictionary();
    dictionary.set(numberKey, std::move(number));
    dictionary.set("date", Value::date(date));
    return dictionary;
}

double scopeStart(GameServiceScoreRequest::TimeScope scope) {
    switch (scope) {
    case GameServiceScoreRequest::TimeScope::Today: return GameService::currentDate() - kSecondsPerDay;
    case GameServiceScoreRequest::TimeScope::Week: return GameService::currentDate() - 7 * kSecondsPerDay;
    case GameServiceScoreRequest::TimeScope::AllTime: break;
    }
    return -1e300;
}
}  // namespace

RefPtr<LocalGameService> LocalGameService::create(const std::string& folder, RunLoop& loop) {
    return RefPtr<LocalGameService>(new LocalGameService(folder, loop));
}

LocalGameService::LocalGameService(const std::string& folder, RunLoop& loop)
    : folder_(folder),
      storePath_(stringByAppendingPathComponent(folder, kStoreFileName)),
      loop_(loop),
      available_(createFolder(folder)),
      playerID_(stringWithFormat("local:%u", static_cast<unsigned>(getuid()))),
      store_(emptyStore()) {}

void LocalGameService::later(std::function<void()> work) {
    loop_.performBlock([self = RefPtr<LocalGameService>(this), work = std::move(work)] { work(); });
}

RefPtr<Error> LocalGameService::requestError() const {
    if (!available_) return error(kNotAvailable, "The game service is not available on this computer");
    if (!authenticated_) return error(kNotAuthenticated, "The local player is not signed in");
    return nullptr;
}

bool LocalGameService::openStore() {
    if (access(folder_.c_str(), W_OK) != 0) return false;
    const SavedDictionary read = readSavedDictionary(storePath_);
    if (read.found && !(isEntryDictionary(read.dictionary[kLeaderboards], "value", true) &&
                        isEntryDictionary(read.dictionary[kAchievements], "percent", false))) {
        moveFileAside(storePath_, "an entry is not a number with a date");
        store_ = emptyStore();
    } else {
        store_ = normalisedStore(read.dictionary);
    }
    return true;
}

RefPtr<Error> LocalGameService::replaceStore(Value store) {
    if (!writeSavedDictionary(storePath_, store)) return error(kStoreNotWritable, "The scores cannot be saved on this computer");
    store_ = std::move(store);
    return nullptr;
}

void LocalGameService::authenticate(Completion completion) {
    later([this, completion = std::move(completion)] {
        if (!available_) return completion(requestError());
        const bool wasAuthenticated = authenticated_;
        authenticated_ = openStore();
        completion(authenticated_ ? nullptr : error(kStoreNotWritable, "The scores folder cannot be written"));
        if (authenticated_ != wasAuthenticated) {
            NotificationCenter::defaultCenter().postNotification(kAuthenticationDidChangeNotification, this);
        }
    });
}

void LocalGameService::reportScore(RefPtr<GameServiceScore> score, Completion completion) {
    later([this, score = std::move(score), completion = std::move(completion)] {
        if (RefPtr<Error> failure = requestError()) return completion(failure);
        const Value& held = store_[kLeaderboards][score->category()];
        if (!held.isNone() && held["value"].integerValue() >= score->value()) return completion(nullptr);
        Value store = store_;
        Value leaderboards = store[kLeaderboards];
        leaderboards.set(score->category(), entry("value", score->value(), score->date()));
        store.set(kLeaderboards, std::move(leaderboards));
        completion(replaceStore(std::move(store)));
    });
}

void LocalGameService::loadScores(GameServiceScoreRequest request, ScoresCompletion completion) {
    later([this, request = std::move(request), completion = std::move(completion)] {
        if (RefPtr<Error> failure = requestError()) return completion({}, failure);
        std::vector<RefPtr<GameServiceScore>> scores;
        const Value& held = store_[kLeaderboards][request.category];
        const double date = held["date"].timeIntervalSinceReferenceDate();
        const bool ranked = request.localPlayerOnly || (request.first <= 1 && request.first + request.length > 1);
        if (!held.isNone() && ranked && date >= scopeStart(request.timeScope)) {
            scores.push_back(makeRef<GameServiceScore>(request.category, held["value"].integerValue(), date, playerID_));
        }
        completion(std::move(scores), nullptr);
    });
}

void LocalGameService::loadBestScores(ScoresCompletion completion) {
    later([this, completion = std::move(completion)] {
        if (RefPtr<Error> failure = requestError()) return completion({}, failure);
        std::vector<RefPtr<GameServiceScore>> scores;
        for (const auto& [category, held] : store_[kLeaderboards].entries()) {
            scores.push_back(makeRef<GameServiceScore>(category, held["value"].integerValue(),
                                                       held["date"].timeIntervalSinceReferenceDate(), playerID_));
        }
        std::sort(scores.begin(), scores.end(), [](const auto& a, const auto& b) { return a->category() < b->category(); });
        completion(std::move(scores), nullptr);
    });
}

void LocalGameService::reportAchievement(RefPtr<GameServiceAchievement> achievement, Completion completion) {
    later([this, achievement = std::move(achievement), completion = std::move(completion)] {
        if (RefPtr<Error> failure = requestError()) return completion(failure);
        const Value& held = store_[kAchievements][achievement->identifier()];
        if (!held.isNone() && held["percent"].doubleValue() >= achievement->percentComplete()) return completion(nullptr);
        Value store = store_;
        Value achievements = store[kAchievements];
        achievements.set(achievement->identifier(), entry("percent", achievement->percentComplete(), currentDate()));
        store.set(kAchievements, std::move(achievements));
        completion(replaceStore(std::move(store)));
    });
}

void LocalGameService::loadAchievements(AchievementsCompletion completion) {
    later([this, completion = std::move(completion)] {
        if (RefPtr<Error> failure = requestError()) return completion({}, failure);
        std::vector<RefPtr<GameServiceAchievement>> achievements;
        for (const auto& [identifier, held] : store_[kAchievements].entries()) {
            auto achievement = makeRef<GameServiceAchievement>(identifier);
            achievement->setPercentComplete(held["percent"].doubleValue());
            achievement->setLastReportedDate(held["date"].timeIntervalSinceReferenceDate());
            achievements.push_back(std::move(achievement));
        }
        completion(std::move(achievements), nullptr);
    });
}

void LocalGameService::resetAchievements(Completion completion) {
    later([this, completion = std::move(completion)] {
        if (RefPtr<Error> failure = requestError()) return completion(failure);
        Value store = store_;
        store.set(kAchievements, Value::dictionary());
        completion(replaceStore(std::move(store)));
    });
}
