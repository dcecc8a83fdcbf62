#pragma once

#include "game/core/LevelDataRange.h"
#include "platform/foundation/Object.h"

class Value;

namespace game {

// The active/rest duty cycle of a creature: an active phase of random length (the stamina time)
// and a rest phase of random length (the recovery time), in seconds. update tells the owner on
// the call the phase flips; the owner decides what the phases mean.
//
// A stamina built from data starts in its given phase with both times at 0, so an owner that only
// calls update sees it flip on the first call; setActive starts a full phase. At most one flip
// happens per update: time beyond the end of a phase is dropped.
class Stamina : public Object {
public:
    // "stamina" or "stamina_min" with "stamina_max" (default 0 to 1), "recovery" likewise,
    // "active" (default YES). Null for a missing dictionary.
    static RefPtr<Stamina> componentWithDictionary(const Value& data);
    static RefPtr<Stamina> stamina(float staminaMin, float staminaMax, float recoveryMin, float recoveryMax,
                                   bool active);

    // True when the phase flipped in this call.
    bool update(float dt);
    // Forces a phase with a fresh time drawn for it.
    void setActive(bool active);

    float randomStamina() const { return staminaRange_.draw(); }
    float randomRecovery() const { return recoveryRange_.draw(); }

    bool active() const { return active_; }
    bool wasActive() const { return wasActive_; }
    void setWasActive(bool wasActive) { wasActive_ = wasActive; }
    float stamina() const { return stamina_; }
    void setStamina(float seconds) { stamina_ = seconds; }
    float recovery() const { return recovery_; }
    void setRecovery(float seconds) { recovery_ = seconds; }

private:
    Stamina(LevelDataRange stamina, LevelDataRange recovery, bool active);

    float stamina_ = 0;               // seconds left of the active phase; 0 while resting
    LevelDataRange staminaRange_;     // seconds
    float recovery_ = 0;              // seconds left of the rest phase; 0 while active
    LevelDataRange recoveryRange_;    // seconds
    bool active_;
    bool wasActive_;
};

}  // namespace game
