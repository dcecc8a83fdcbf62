#pragma once

#include <cstdint>

#include "game/core/GameObject.h"
#include "game/core/GameObjectList.h"
#include "game/core/LevelDataRange.h"

namespace game {

class ProjectileData;

// An invisible spawner of the level data: after a random delay it emits a steam
// cloud (emit types 209, 216), which it keeps and updates as its child, or a burst of shots
// (304), which it hands to the level; then it waits a new delay. It stops emitting at nightfall,
// while its clouds live on. Priority 2: the level updates it every frame.
//
// Type keys: "emit_type"; "max_objects" (cap on live clouds; 0 or less means none); "delay", or
// "delay_min" with "delay_max" (seconds, default 1); "offset_distance_x", "offset_distance_y"
// (points: the spawn point lies in that rectangle around the emitter), "offset_relative_to_gravity"
// (the rectangle's y axis points away from the planet centre; otherwise it is turned at random);
// "projectile" (the burst).
class Emitter : public GameObject {
public:
    // From a level-data instance ("position", "rotation"; its scale is not used).
    static RefPtr<Emitter> emitterWithGameData(const Value& data) {
        return withGameData(data, &emitterWithType, InstanceScale::kIgnored);
    }
    // Position in points, rotation in degrees counter-clockwise; the scales are not used.
    static RefPtr<Emitter> emitterWithType(int32_t type, CGPoint position, float rotation, float scaleX,
                                           float scaleY);

    // The clouds' frame (each held through its own update, so one may leave during it), then the
    // delay and, once it has run out, an emission.
    void update(float dt) override;
    // One emission: a cloud or a burst; false when nothing was emitted (the cap is reached, the
    // emit type is unknown, or the burst drew no shots), so the emitter tries again next frame.
    bool emit();
    void onDayIsOver() override;
    // A cloud that has run its course leaves.
    void removeChild(GameObject* child) override { children_.remove(child); }
    // Stops emitting and leaves its owner.
    void destroy();

    bool active() const { return active_; }
    size_t childCount() const { return children_.count(); }
    GameObject* childAt(size_t index) const { return children_.at(index); }
    float delay() const { return delay_; }

protected:
    ~Emitter() override;

private:
    Emitter() = default;
    void createEmitter(CGPoint position, float rotation);
    // A point in the offset rectangle around the emitter.
    CGPoint spawnPoint() const;
    bool emitSteamCloud();
    bool fireProjectiles();
    void resetDelay() { delay_ = delayRange_.draw(); }

    CGPoint position_ = CGPointZero;   // points
    float rotation_ = 0;               // degrees
    GameObjectList children_;
    bool active_ = true;
    int32_t emitType_ = 0;
    int32_t maxObjects_ = 0;
    float delay_ = 0;                  // seconds left; may be negative while emission is refused
    LevelDataRange delayRange_{1.0f, 1.0f, 0};
    float offsetX_ = 0;                // points
    float offsetY_ = 0;
    bool offsetRelativeToGravity_ = false;
    RefPtr<ProjectileData> projectile_;
};

}  // namespace game
