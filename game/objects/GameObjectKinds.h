#pragma once

namespace game {

// Hands every object kind to the game-object factory, by class name (the dangers through
// EnemyKinds, the machines and composite scenery through MachineKinds), and the path and orbit
// movers to the game-object base. The program calls it once before any level is loaded; calling it
// again changes nothing.
class GameObjectKinds {
public:
    static void registerKinds();
};

}  // namespace game
