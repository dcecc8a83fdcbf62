#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/foundation/Object.h"

class GameObject;
class Value;

// Turns an instance dictionary of a level's objects file into the game object of the right kind,
// by its integer "type", and brackets the life of the shared object data.
//
// Type codes (every other code builds nothing):
//   1-99 Flower, 100-199 Pickup, 200-208 210-215 217 250 251 Cloud, 209 216 SteamCloud,
//   220-229 245-247 252-257 270-272 Bird, 230-239 260-263 GroundEnemy, 240 241 Hunter,
//   265 RoboCam, 300-399 Projectile, 400-499 Destructable, 500-599 Dynamic, 600-699 Structure,
//   700-799 Emitter, 800-899 Animation, 1000 Hive, 1001 1004 1050 1051 Rotator,
//   1002 1008 1009 1052 Cart, 1003 Crane, 1005 Balloon, 1006 1012 Rooster, 1007 Raft,
//   1010 Wheel, 1011 BigBen.
// Each kind registers its constructor under its class name as it is built; a code whose kind
// has not registered, or a code of no kind, builds nothing, with one log line per type code.
class GameObjectFactory {
public:
    // Builds the kind from the whole instance dictionary; the object has set its own priority.
    using Constructor = std::function<RefPtr<GameObject>(const Value& gameData)>;

    // Loads the shared object data (once per level) and lets it go again.
    static void setupFactory();
    static void cleanupFactory();

    // The new object, or null when there is no "type", the code maps to no kind, or its kind has
    // not registered.
    static RefPtr<GameObject> gameObjectWithGameData(const Value& gameData);

    // The class name the code builds ("Cloud"), or empty when it builds nothing.
    static std::string_view kindForType(int64_t type);
    // Replaces any constructor registered under the name; a null one unregisters.
    static void registerKind(const std::string& kind, Constructor constructor);
};
