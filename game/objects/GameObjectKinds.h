#pragma once

namespace game {

// Hands every object kind built so far (the enemy kinds and shots through EnemyKinds) to the
// game-object factory, by class name, and the path and orbit movers to the game-object base. The play scene calls it before the level is loaded;
// calling it again changes nothing.
class GameObjectKinds {
public:
    static void registerKinds();
};

}  // namespace game
