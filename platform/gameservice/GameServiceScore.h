#pragma once

#include <cstdint>
#include <string>

#include "platform/foundation/Object.h"
#include "platform/foundation/Value.h"

// One score on a leaderboard: which leaderboard (its category), the value, when it was made and
// whose it is. Made on the engine thread and not changed once reported.
class GameServiceScore : public Object {
public:
    // `date` is seconds since 2001-01-01 UTC (property-list dates).
    GameServiceScore(std::string category, int64_t value, double date, std::string playerID);

    const std::string& category() const { return category_; }
    int64_t value() const { return value_; }
    double date() const { return date_; }
    const std::string& playerID() const { return playerID_; }

    // {"category": string, "value": integer, "date": date, "player_id": string}.
    Value propertyList() const;
    // The score such a dictionary describes; null when a key is missing or of the wrong kind.
    static RefPtr<GameServiceScore> fromPropertyList(const Value& dictionary);

private:
    const std::string category_;
    const int64_t value_;
    const double date_;
    const std::string playerID_;
};
