#pragma once

#include <string>

#include "platform/foundation/Object.h"
#include "platform/foundation/Value.h"

// The player's progress towards one achievement. Used on the engine thread only.
class GameServiceAchievement : public Object {
public:
    explicit GameServiceAchievement(std::string identifier);

    const std::string& identifier() const { return identifier_; }
    // 0 to 100.
    double percentComplete() const { return percentComplete_; }
    // Clamped to 0..100; NaN counts as 0.
    void setPercentComplete(double percent);
    // Whether the service shows a banner when the achievement completes.
    bool showsCompletionBanner() const { return showsCompletionBanner_; }
    void setShowsCompletionBanner(bool shows) { showsCompletionBanner_ = shows; }
    // Seconds since 2001-01-01 UTC of the last report; 0 before the first.
    double lastReportedDate() const { return lastReportedDate_; }
    void setLastReportedDate(double date) { lastReportedDate_ = date; }

    // {"identifier": string, "percent": real, "banner": bool, "date": date}.
    Value propertyList() const;
    // The achievement such a dictionary describes; null when a key is missing or of the wrong kind.
    static RefPtr<GameServiceAchievement> fromPropertyList(const Value& dictionary);

private:
    const std::string identifier_;
    double percentComplete_ = 0;
    bool showsCompletionBanner_ = false;
    double lastReportedDate_ = 0;
};
