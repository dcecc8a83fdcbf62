#pragma once

#include <box2d/box2d.h>

// The collision filtering of every fixture the game makes. A category is one bit of
// b2Filter::categoryBits and says what a fixture is; a mask (b2Filter::maskBits) is the set of
// categories it meets. Two fixtures collide when each one's mask holds the other's category and
// their group does not keep them apart. Categories and masks are types of their own, made only from
// the names below, so that neither a bare number nor a mask in a category's place compiles.
enum class CollisionCategory : uint16 {
    kScenery = 1 << 0,      // level ground and solid machines; what a fixture is unless told
    kBeeHead = 1 << 1,      // the bee's solid head
    kBeePart = 1 << 2,      // antennae and body: they meet nothing
    kBeeSensing = 1 << 3,   // the sensor with which the bee finds flowers
    kBeeGate = 1 << 4,      // level geometry that stops everything but the bee
    kSensorArea = 1 << 5,   // the hive's doorway and the hiding places (level sensors, hiding clouds)
    kFlyingEnemy = 1 << 6,  // birds, hunters, clouds, steam puffs
    kGroundEnemy = 1 << 7,  // ground creatures, robot cameras, roosters, ground puffs
    kFlowerHead = 1 << 8,
    kPickup = 1 << 9,
    kDestructable = 1 << 10,
    kPlankBox = 1 << 11,  // the destructable plank box, which flowers, pickups and props pass
    kProp = 1 << 12,      // loose props, rafts and wheels
    kShot = 1 << 13,
    kWindBlade = 1 << 14,    // the blades of wind turbines
    kEnemyVision = 1 << 15,  // sensors with which enemies see the bee
};

class CollisionMask {
public:
    // A single category is a mask.
    constexpr CollisionMask(CollisionCategory category) : bits_(static_cast<uint16>(category)) {}

    static constexpr CollisionMask none() { return CollisionMask(uint16{0}); }
    static constexpr CollisionMask all() { return CollisionMask(uint16{0xFFFF}); }

    constexpr CollisionMask operator|(CollisionMask other) const { return CollisionMask(uint16(bits_ | other.bits_)); }
    constexpr CollisionMask without(CollisionMask other) const { return CollisionMask(uint16(bits_ & ~other.bits_)); }
    constexpr uint16 bits() const { return bits_; }

private:
    explicit constexpr CollisionMask(uint16 bits) : bits_(bits) {}

    uint16 bits_;
};

constexpr CollisionMask operator|(CollisionCategory a, CollisionCategory b) { return CollisionMask(a) | b; }

constexpr uint16 categoryBits(CollisionCategory category) { return static_cast<uint16>(category); }

// The filter of one fixture. Fixtures of one negative group never meet, of one positive group
// always; 0 leaves it to the bits.
struct CollisionFilter {
    int16 group;
    CollisionCategory category;
    CollisionMask mask;
};

inline b2Filter filterFor(CollisionFilter filter) {
    b2Filter made;
    made.categoryBits = categoryBits(filter.category);
    made.maskBits = filter.mask.bits();
    made.groupIndex = filter.group;
    return made;
}

namespace collision {

// The bee's fixtures, which the contact listener tells by this group, never meet each other.
inline constexpr int16 kBeeGroup = -1;
// Enemies never meet each other.
inline constexpr int16 kEnemyGroup = -2;

// What solid objects meet (machines, balloons, carts, cranes, wheels, destructables, shots): the
// scenery, the bee's head, the bee gates and every solid object.
inline constexpr CollisionMask kSolidMask =
    CollisionCategory::kScenery | CollisionCategory::kBeeHead | CollisionCategory::kBeeGate |
    CollisionCategory::kFlowerHead | CollisionCategory::kPickup | CollisionCategory::kDestructable |
    CollisionCategory::kPlankBox | CollisionCategory::kProp | CollisionCategory::kShot | CollisionCategory::kWindBlade;
// Pickups pass through the plank box.
inline constexpr CollisionMask kPickupMask = kSolidMask.without(CollisionCategory::kPlankBox);
// Props also carry ground creatures.
inline constexpr CollisionMask kPropMask = kPickupMask | CollisionCategory::kGroundEnemy;
// Flower heads also meet the bee's sensing.
inline constexpr CollisionMask kFlowerHeadMask = kPickupMask | CollisionCategory::kBeeSensing;
// The plank box meets no flowers, pickups or props.
inline constexpr CollisionMask kPlankBoxMask =
    kSolidMask.without(CollisionCategory::kFlowerHead | CollisionCategory::kPickup | CollisionCategory::kProp);

}  // namespace collision
