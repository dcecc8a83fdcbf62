#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/Object.h"

class GameObject;
class Value;

// Turns an instance dictionary of a level's objects file into the game object of the right kind,
// by its integer "type", and brackets the life of the shared object data.
//
// The factory knows no kind of its own: each kind is registered with the type codes it builds and
// its constructor (the game's kinds in one table, game/objects/GameObjectKinds.cpp). A code that no
// registered kind builds gives no object, with one log line per code.
class GameObjectFactory {
public:
    // Builds the kind from the whole instance dictionary; the object has set its own priority.
    using Constructor = std::function<RefPtr<GameObject>(const Value& gameData)>;

    // Type codes first to last, both included.
    struct CodeRange {
        int64_t first;
        int64_t last;
    };

    // A kind of object: its class name ("Cloud"), the codes it is built for and its constructor.
    struct Kind {
        std::string name;
        std::vector<CodeRange> codes;
        Constructor constructor;

        bool builds(int64_t type) const;
    };

    // Loads the shared object data (once per level) and lets it go again.
    static void setupFactory();
    static void cleanupFactory();

    // The new object, or null when there is no "type" or no registered kind builds the code.
    static RefPtr<GameObject> gameObjectWithGameData(const Value& gameData);

    // The name of the registered kind that builds the code, or empty.
    static std::string_view kindForType(int64_t type);
    // Registers the kind, in place of a kind of the same name. Refused, with one log line, without
    // a name or a constructor, with a range whose first code is above its last, or with a code
    // another registered kind already builds.
    static bool registerKind(Kind kind);
    // Forgets every kind.
    static void unregisterKinds();
};
