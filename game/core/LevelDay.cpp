#include "game/core/Level.h"

#include <algorithm>
#include <cmath>

#include "game/core/Player.h"
#include "game/core/Units.h"
#include "game/core/VantrelGameLayer.h"
#include "platform/foundation/Log.h"

// The day clock: dawn (the first kDawnSeconds, the sky turning from the night colours to the
// day's), day, dusk (kDuskSeconds of the sky turning from the end-of-day colours to the night's)
// and night, when the clock stands still. Times in seconds.

namespace {

constexpr float kDawnSeconds = 5.0f;
constexpr float kDuskSeconds = 4.0f;
// A day-length change is applied at most this many seconds per second of play.
constexpr float kDayLengthChangePerSecond = 30.0f;
// The sky keeps its start colours up to this fraction of the day, then turns at this rate
// (1 / 0.4, rounded up in float so the end colours come with the end of the day).
constexpr float kSkyTurnStart = 0.6f;
constexpr float kSkyTurnRate = 2.5000002f;
// The bee warns of the day's end as the seconds left pass these marks: a short message at the
// first two, a long one at the last.
constexpr float kFirstWarning = 60.0f;
constexpr float kSecondWarning = 30.0f;
constexpr float kLastWarning = 10.0f;
constexpr float kWarningMessageSeconds = 6.0f;
constexpr float kLastWarningMessageSeconds = 11.0f;

uint8_t toByte(float value) { return static_cast<uint8_t>(static_cast<int>(value)); }

ccColor3B rgbOf(ccColor4B colour) { return {colour.r, colour.g, colour.b}; }

void colourRange(ccColor4B to, ccColor4B from, int16_t range[3]) {
    range[0] = static_cast<int16_t>(to.r - from.r);
    range[1] = static_cast<int16_t>(to.g - from.g);
    range[2] = static_cast<int16_t>(to.b - from.b);
}

// start + range x f per channel, single precision, truncated.
ccColor3B blendRange(ccColor4B start, const int16_t range[3], float f) {
    return {toByte(start.r + range[0] * f), toByte(start.g + range[1] * f), toByte(start.b + range[2] * f)};
}

// a x d + b x (1 - d) per channel.
ccColor3B mix(ccColor3B a, ccColor4B b, float d) {
    return {toByte(a.r * d + b.r * (1 - d)), toByte(a.g * d + b.g * (1 - d)), toByte(a.b * d + b.b * (1 - d))};
}

}  // namespace

void Level::startDayClock() {
    colourRange(info_.skyColourEndTop, info_.skyColourStartTop, skyColourRangeTop_);
    colourRange(info_.skyColourEndBottom, info_.skyColourStartBottom, skyColourRangeBottom_);
    colourRange(info_.skyColourNightTop, info_.skyColourEndTop, skyColourNightRangeTop_);
    colourRange(info_.skyColourNightBottom, info_.skyColourEndBottom, skyColourNightRangeBottom_);
    skyColourPreviousTop_ = skyColourPreviousBottom_ = {0, 0, 0};
    skyColourRequiresUpdate_ = true;
    lengthOfDay_ = info_.lengthOfDay;
    dayTimeRemaining_ = lastDayTimeRemaining_ = lengthOfDay_;
    timeState_ = kTimeDawn;
    currentTimeOfDay_ = currentTimeOfDayPerc_ = currentTimeOfNight_ = currentTimeOfNightPerc_ = 0;
    lengthOfDayExtension_ = 0;
    isDayLengthChanging_ = false;
}

void Level::blendSkyColours(ccColor4B fromTop, ccColor4B fromBottom, const int16_t rangeTop[3],
                            const int16_t rangeBottom[3], float fraction) {
    skyColourCurrentTop_ = blendRange(fromTop, rangeTop, fraction);
    skyColourCurrentBottom_ = blendRange(fromBottom, rangeBottom, fraction);
}

void Level::updateDay(float dt) {
    if (timeState_ == kTimeDawn || timeState_ == kTimeDay) {
        if (isDayLengthChanging_) {
            const float step = dt * kDayLengthChangePerSecond;
            float& extension = lengthOfDayExtension_;
            if (extension >= 0) {
                if (player_) player_->hideTimeInfoMessage();
                if (step >= extension) {
                    lengthOfDay_ += extension;
                    extension = 0;
                    isDayLengthChanging_ = false;
                } else {
                    lengthOfDay_ += step;
                    extension -= step;
                }
            } else if (extension >= -step) {
                lengthOfDay_ += extension;
                extension = 0;
                isDayLengthChanging_ = false;
            } else {
                lengthOfDay_ -= step;
                extension += step;
            }
        }
        lastDayTimeRemaining_ = dayTimeRemaining_;
        currentTimeOfDay_ = std::min(currentTimeOfDay_ + dt, lengthOfDay_);
        dayTimeRemaining_ = lengthOfDay_ - currentTimeOfDay_;
        currentTimeOfDayPerc_ = lengthOfDay_ > 0 ? std::clamp(currentTimeOfDay_ / lengthOfDay_, 0.0f, 1.0f) : 1.0f;
        if (lengthOfDay_ - currentTimeOfDay_ < units::kEpsilon) {
            lengthOfDayExtension_ = 0;
            isDayLengthChanging_ = false;
            timeState_ = kTimeDusk;
            skyColourCurrentTop_ = rgbOf(info_.skyColourEndTop);
            skyColourCurrentBottom_ = rgbOf(info_.skyColourEndBottom);
            if (player_) player_->showTimeUpInfoMessage();
            onDayIsOver();
        } else {
            const float f = std::max((currentTimeOfDayPerc_ - kSkyTurnStart) * kSkyTurnRate, 0.0f);
            const ccColor3B dayTop = blendRange(info_.skyColourStartTop, skyColourRangeTop_, f);
            const ccColor3B dayBottom = blendRange(info_.skyColourStartBottom, skyColourRangeBottom_, f);
            bool dayColours = true;
            if (timeState_ == kTimeDawn) {
                const float d = currentTimeOfDay_ / kDawnSeconds;
                if (d < 1) {
                    skyColourCurrentTop_ = mix(dayTop, info_.skyColourNightTop, d);
                    skyColourCurrentBottom_ = mix(dayBottom, info_.skyColourNightBottom, d);
                    dayColours = false;
                } else {
                    timeState_ = kTimeDay;
                }
            } else {
                const float r = dayTimeRemaining_;
                const float p = lastDayTimeRemaining_;
                if (r <= kFirstWarning && p > kLastWarning) {
                    if (p > kFirstWarning || (r <= kSecondWarning && p > kSecondWarning)) {
                        if (player_) player_->showTimeInfoMessage(kWarningMessageSeconds);
                    } else if (r <= kLastWarning) {
                        if (player_) player_->showTimeInfoMessage(kLastWarningMessageSeconds);
                    }
                }
            }
            if (dayColours) {
                skyColourCurrentTop_ = dayTop;
                skyColourCurrentBottom_ = dayBottom;
            }
        }
    } else if (timeState_ == kTimeDusk) {
        currentTimeOfNight_ += dt;
        const float q = currentTimeOfNight_ / kDuskSeconds;
        currentTimeOfNightPerc_ = std::min(q, 1.0f);
        if (q >= 1) {
            timeState_ = kTimeNight;
            skyColourCurrentTop_ = rgbOf(info_.skyColourNightTop);
            skyColourCurrentBottom_ = rgbOf(info_.skyColourNightBottom);
        } else {
            blendSkyColours(info_.skyColourEndTop, info_.skyColourEndBottom, skyColourNightRangeTop_,
                            skyColourNightRangeBottom_, currentTimeOfNightPerc_);
        }
    }
    skyColourRequiresUpdate_ =
        !(skyColourCurrentTop_ == skyColourPreviousTop_) || !(skyColourCurrentBottom_ == skyColourPreviousBottom_);
    skyColourPreviousTop_ = skyColourCurrentTop_;
    skyColourPreviousBottom_ = skyColourCurrentBottom_;
}

void Level::setLengthOfDay(float seconds) {
    if (!std::isfinite(seconds) || seconds <= 0) {
        logLine("Level: a day of %g s is refused", seconds);
        return;
    }
    lengthOfDay_ = seconds;
    currentTimeOfDay_ = std::min(currentTimeOfDay_, lengthOfDay_);
    updateDay(0);
}

void Level::changeLengthOfDay(float seconds) {
    if (!std::isfinite(seconds) || std::fabs(seconds) <= units::kEpsilon) return;
    lengthOfDayExtension_ += seconds;
    isDayLengthChanging_ = true;
}

void Level::onDayIsOver() {
    if (gameLayer_) gameLayer_->onGameComplete();
}

void Level::onLevelStart() {
    if (!gameLayer_) return;
    gameLayer_->tintWorld(rgbOf(info_.nightColour), 0);
    gameLayer_->tintWorld({255, 255, 255}, kDawnSeconds);
}

void Level::onLevelEnding() {
    createSkyBackgroundEndOfDay();
    if (gameLayer_) gameLayer_->tintWorld(rgbOf(info_.nightColour), kDuskSeconds);
    playBackgroundNightAudio();
    if (player_) {
        player_->setCanFlyThroughWorld(true);
        player_->setCanSenseWorld(false);
        player_->setShowStatsMessages(true);
        player_->setBuddiesUnderneath(true);
    }
    flowers_.forEach([](GameObject* object) { object->onDayIsOver(); });
    pickups_.forEachReversed([](GameObject* object) { object->onDayIsOver(); });
    enemies_.forEach([](GameObject* object) { object->onDayIsOver(); });
    projectiles_.forEachReversed([](GameObject* object) { object->onDayIsOver(); });
    gameObjectsPriorityHigh_.forEach([](GameObject* object) { object->onDayIsOver(); });
    gameObjectsPriorityNone_.forEach([](GameObject* object) { object->onDayIsOver(); });
}
