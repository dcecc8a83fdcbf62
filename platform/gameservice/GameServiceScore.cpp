#include "platform/gameservice/GameServiceScore.h"

GameServiceScore::GameServiceScore(std::string category, int64_t value, double date, std::string playerID)
    : category_(std::move(category)), value_(value), date_(date), playerID_(std::move(playerID)) {}

Value GameServiceScore::propertyList() const {
    Value dictionary = Value::dictionary();
    dictionary.set("category", category_);
    dictionary.set("value", value_);
    dictionary.set("date", Value::date(date_));
    dictionary.set("player_id", playerID_);
    return dictionary;
}

RefPtr<GameServiceScore> GameServiceScore::fromPropertyList(const Value& dictionary) {
    const Value& category = dictionary["category"];
    const Value& value = dictionary["value"];
    const Value& date = dictionary["date"];
    const Value& playerID = dictionary["player_id"];
    if (!category.isString() || !value.isInteger() || value.isUnsignedInteger() || !date.isDate() || !playerID.isString()) {
        return nullptr;
    }
    return makeRef<GameServiceScore>(category.stringValue(), value.integerValue(), date.timeIntervalSinceReferenceDate(),
                                     playerID.stringValue());
}
