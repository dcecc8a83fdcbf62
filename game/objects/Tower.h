#pragma once

#include <cstdint>
#include <vector>

#include "game/core/GameObject.h"
#include "game/core/StructureProtocol.h"

namespace game {

class Destructable;

// A two-storey frame of nine breakable pieces (type 650: crossed pairs of 456 between uprights of
// 452, a 452 across the top) joined by revolute and weld joints. The pieces are the tower's
// children, not filed with the level: each leaves through the tower when destroyed, and the tower
// leaves its parent or the level with the last one. The factory never builds it (650 is a
// structure code); it is made through its own constructors. The scale is not used. Priority 1.
class Tower : public GameObject, public StructureProtocol {
public:
    static constexpr size_t kPieceCount = 9;

    static RefPtr<Tower> towerWithGameData(const Value& data) {
        return withGameData(data, &towerWithType, InstanceScale::kIgnored);
    }
    static RefPtr<Tower> towerWithType(int32_t type, CGPoint position, float rotation, float scaleX, float scaleY);

    void onDayIsOver() override;
    // Drops the piece; the last one takes the tower down too.
    void removeChild(GameObject* child) override;
    void destroy() override;

    const std::vector<RefPtr<Destructable>>& children() const { return children_; }

protected:
    ~Tower() override;

private:
    Tower() = default;
    void createTower(CGPoint position, float rotation);

    std::vector<RefPtr<Destructable>> children_;
};

}  // namespace game
