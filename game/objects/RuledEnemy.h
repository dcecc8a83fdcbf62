#pragma once

#include <cstdint>

#include "game/core/EnemyProtocol.h"
#include "game/core/GameObject.h"
#include "game/objects/EnemyRules.h"

namespace game {

// The base of the enemy kinds that hurt the bee by the shared rule set: it holds their rules and
// answers for them what the rules alone decide. Each kind adds its body, its contact sequence and
// its frame.
class RuledEnemy : public GameObject, public EnemyProtocol {
public:
    // Nightfall: the enemy hurts no more and its turret stops.
    void onDayIsOver() override { rules_.setActive(false); }

    const EnemyRules& rules() const { return rules_; }
    EnemyRules& rules() { return rules_; }
    bool active() const { return rules_.active(); }
    void setActive(bool active) { rules_.setActive(active); }
    uint32_t nectarDropletsPenalty() const { return rules_.nectarDropletsPenalty(); }
    void setNectarDropletsPenalty(uint32_t droplets) { rules_.setNectarDropletsPenalty(droplets); }

protected:
    RuledEnemy() = default;
    ~RuledEnemy() override = default;

    EnemyRules rules_;
};

}  // namespace game
