#pragma once

namespace game {

// The bee's per-game hit counters an enemy contact raises (Player::countHit).
enum class HitStatistic { kNone, kCloud, kRain, kLightning, kTornado, kBird, kGround, kHornet, kProjectile };

}  // namespace game
