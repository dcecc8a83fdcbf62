#pragma once

#include <string_view>

#include "game/core/GameObjectFactory.h"

namespace game {

// Every kind of level object in one table, one line a kind: its class name, the type codes the
// factory builds it for and its constructor from an instance dictionary. A kind's own "which of my
// codes is this" questions ask the table too, so each code is written once.
class GameObjectKinds {
public:
    // Hands every kind of the table to the game-object factory and the path and orbit movers to
    // the game-object base. The program calls it once before any level is loaded; calling it
    // again changes nothing.
    static void registerKinds();
    // Undoes registerKinds: the factory forgets every kind (stand-ins too) and the base its movers.
    static void unregisterKinds();
    // Registers the table's kind of that name at its codes, built by another constructor: a
    // stand-in, for tests and benchmarks that build levels without the kind's art or physics.
    static void registerStandIn(std::string_view name, GameObjectFactory::Constructor constructor);

    // The table's line for the class name; a name the table does not hold is a programming error
    // (NamedException "GameObjectKindsException").
    static const GameObjectFactory::Kind& kind(std::string_view name);
    // Whether the table's kind of that name is built for the code.
    static bool isKind(std::string_view name, int64_t type) { return kind(name).builds(type); }
};

}  // namespace game
