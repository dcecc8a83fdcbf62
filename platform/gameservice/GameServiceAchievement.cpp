#include "platform/gameservice/GameServiceAchievement.h"

#include <algorithm>

GameServiceAchievement::GameServiceAchievement(std::string identifier) : identifier_(std::move(identifier)) {}

void GameServiceAchievement::setPercentComplete(double percent) {
    percentComplete_ = percent > 0 ? std::min(percent, 100.0) : 0.0;
}

Value GameServiceAchievement::propertyList() const {
    Value dictionary = Value::dictionary();
    dictionary.set("identifier", identifier_);
    dictionary.set("percent", percentComplete_);
    dictionary.set("banner", showsCompletionBanner_);
    dictionary.set("date", Value::date(lastReportedDate_));
    return dictionary;
}

RefPtr<GameServiceAchievement> GameServiceAchievement::fromPropertyList(const Value& dictionary) {
    const Value& identifier = dictionary["identifier"];
    const Value& percent = dictionary["percent"];
    const Value& banner = dictionary["banner"];
    const Value& date = dictionary["date"];
    if (!identifier.isString() || !(percent.isReal() || percent.isInteger()) || !banner.isBool() || !date.isDate()) {
        return nullptr;
    }
    auto achievement = makeRef<GameServiceAchievement>(identifier.stringValue());
    achievement->setPercentComplete(percent.doubleValue());
    achievement->setShowsCompletionBanner(banner.boolValue());
    achievement->setLastReportedDate(date.timeIntervalSinceReferenceDate());
    return achievement;
}
