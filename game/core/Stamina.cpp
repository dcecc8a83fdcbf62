#include "game/core/Stamina.h"

#include <cmath>

#include "game/core/Units.h"
#include "platform/foundation/Value.h"

namespace game {

namespace {

// The fixed value, the pair, or 0 to 1.
LevelDataRange secondsRange(const Value& data, const char* key) {
    LevelDataRange range = LevelDataRange::read(data, key, 0);
    if (!LevelDataRange::isPresent(data, key)) range = LevelDataRange{0, 1.0f, 1.0f};
    return range;
}
}  // namespace

RefPtr<Stamina> Stamina::componentWithDictionary(const Value& data) {
    if (data.isNone()) return nullptr;
    const Value& active = data["active"];
    return RefPtr<Stamina>(new Stamina(secondsRange(data, "stamina"), secondsRange(data, "recovery"),
                                       active.isNone() || active.boolValue()));
}

RefPtr<Stamina> Stamina::stamina(float staminaMin, float staminaMax, float recoveryMin, float recoveryMax,
                                 bool active) {
    return RefPtr<Stamina>(new Stamina(LevelDataRange{staminaMin, staminaMax, staminaMax - staminaMin},
                                       LevelDataRange{recoveryMin, recoveryMax, recoveryMax - recoveryMin}, active));
}

Stamina::Stamina(LevelDataRange stamina, LevelDataRange recovery, bool active)
    : staminaRange_(stamina), recoveryRange_(recovery), active_(active), wasActive_(active) {}

bool Stamina::update(float dt) {
    if (!std::isfinite(dt)) dt = 0;
    wasActive_ = active_;
    if (active_) {
        stamina_ -= dt;
        if (stamina_ < units::kEpsilon) {
            stamina_ = 0;
            active_ = false;
            recovery_ = randomRecovery();
        }
    } else {
        recovery_ -= dt;
        if (recovery_ < units::kEpsilon) {
            recovery_ = 0;
            active_ = true;
            stamina_ = randomStamina();
        }
    }
    return active_ != wasActive_;
}

void Stamina::setActive(bool active) {
    wasActive_ = active_;
    active_ = active;
    if (active) {
        stamina_ = randomStamina();
        recovery_ = 0;
    } else {
        stamina_ = 0;
        recovery_ = randomRecovery();
    }
}

}  // namespace game
