#pragma once

#include <cstdint>
#include <optional>

#include "game/core/GameObject.h"
#include "game/core/GameObjectList.h"
#include "game/core/StructureProtocol.h"

namespace game {

class VRope;

// Composite scenery: builds other objects from its type's data, placed relative to
// itself, joins them and files them with the level as objects of their own. 600-606 a potted
// flower ("pot_type" as a Dynamic, "flower_type" at "flower_offset", the pot drawn in front);
// 610 a tree ("tree_type", "flowers" of "flower_type" and "flower_offset"); 620-622 a base
// ("base_type", built by the factory) with its "cargo" (entries "type", "position", "rotation",
// "invert_x", "join_to_parent"); 630-631 an "object_type" pickup hung by a rope from whatever solid
// fixture lies 100 m above it along its rotation ("object_anchor_position", "target_anchor_slop",
// "rope_image_name" a file). Other codes build nothing. Built from level data its scale is 1.
//
// Priority 0, so the level drops it once built, except a roped object with its rope (priority 2),
// which steps the rope every frame. Refused (null, one log line): a base that is this structure's
// own type or one being built around it (a cycle). A tree's flowers and a base's cargo are held
// to 32 parts (the rest refused, one log line). Joined cargo on a base without a body, and a
// roped object without a body, get no joint or rope; a joined buddy (109) is counted either way.
// Joined ground enemies (200-299) are welded to the base; the roped object's ray is cast before
// the object is built, so it never meets the object itself.
//
// A structure may also hold children of its own (addChild; none of the builders gives it any): it
// passes the day's end on to them in order, and the last child to leave takes the structure away
// with it. Without children it keeps no list, and the day's end and removeChild do nothing.
class Structure : public GameObject, public StructureProtocol {
public:
    static RefPtr<Structure> structureWithGameData(const Value& data) {
        return withGameData(data, &structureWithType, InstanceScale::kIgnored);
    }
    static RefPtr<Structure> structureWithType(int32_t type, CGPoint position, float rotation, float scaleX,
                                               float scaleY);

    void update(float dt) override;
    void onDayIsOver() override;
    // The structure becomes the child's parent (not retained) and holds it. Refused, with a log
    // line: the structure itself, or a child it already holds.
    void addChild(RefPtr<GameObject> child);
    // Lets the child go (nothing for one it does not hold); when it was the last, the structure
    // leaves too.
    void removeChild(GameObject* child) override;
    // Leaves its parent, or the level.
    void destroy() override;

    VRope* rope() const { return rope_.get(); }

protected:
    ~Structure() override;

private:
    Structure() = default;
    bool createStructure(CGPoint position, float rotation, float scaleX, float scaleY);
    void createPottedFlower();
    void createTree();
    bool createBaseWithCargo();
    void createCargo(const Value& entry, b2Body* base);
    void createRopedBarrel();
    CGPoint scaledToGlobal(CGPoint local) const;

    RefPtr<VRope> rope_;
    std::optional<GameObjectList> children_;  // absent until the first child
    // The placement while building.
    CGPoint position_{};
    float rotation_ = 0;
    float scaleX_ = 1;
    float scaleY_ = 1;
};

}  // namespace game
